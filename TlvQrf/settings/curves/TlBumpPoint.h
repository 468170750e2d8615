// The control point of the periodic bump curves: on a circle of
// circumference 1 (the hue circle) each point raises or lowers the curve by a
// raised-cosine bump of height y and half-width z.
#pragma once

#include <cstdint>

struct TlBumpPoint {
    double x; // position, 0 <= x < 1; lists are sorted by x
    double y; // height, -1..1 of the full output range
    double z; // half-width, 0..0.5
};
static_assert(sizeof(TlBumpPoint) == 24, "a stored bump point is three doubles");

// What the curve editor's last hover test and tracking left behind.
struct TlBumpEditorState {
    int hitIndex = 0;
    int hitCode = 0;
    std::uint8_t toggleArmed = 0;
    std::uint8_t autoWidth = 0;
    TlBumpPoint readout{0, 0, 0}; // what the editor displays
};
