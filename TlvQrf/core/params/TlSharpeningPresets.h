// The unsharp-mask settings the development adds by itself: the sharpening
// the camera recorded (or the user's sharpening level), and the channel
// mixer's sharpening, and how an unsharp-mask filter is set up for either.
#pragma once

class CTlUsmState;
class CTlvParamSet;
class CUnsharpMaskFilter;

// Fills `record` (a local one when null) with the camera's sharpening
// preset, after first resetting it to a new record's values. Raw images
// only, and not for the signal-processing cameras, which sharpen by
// themselves. True when the amount is not 0.
bool GetCameraSharpening(const CTlvParamSet* params, CTlUsmState* record = nullptr);

// Fills `record` (a local one when null) with the mixer sharpening: amount
// 10, 20 or 30 for the mixer's sharpening level 1, 2 or 3, radius 15 (three
// pixels), threshold 0. True when the amount is not 0.
bool GetMixerSharpening(const CTlvParamSet* params, CTlUsmState* record = nullptr);

// Sets `filter` up for the sharpening above, at `scale` of the image's
// pixels, with the vertical radius divided by `aspectDivisor`; switches it
// off when there is none. The filter's own failures are released. The
// result is GetCameraSharpening's or GetMixerSharpening's.
bool ApplyCameraSharpening(const CTlvParamSet* params, CUnsharpMaskFilter* filter, double scale,
                           double aspectDivisor);
bool ApplyMixerSharpening(const CTlvParamSet* params, CUnsharpMaskFilter* filter, double scale,
                          double aspectDivisor);

// What an unsharp-mask filter is set to for a sharpening record at `scale`
// of the image's pixels: radii (the vertical one divided by
// `aspectDivisor`), power and threshold in the filter's units, each within
// what the filter accepts. Scale and divisor that would make the radii
// meaningless count as 1.
struct STlUsmValues {
    double radius;
    double secondRadius;
    double power;
    double threshold;
};
STlUsmValues UsmValuesFor(const CTlUsmState& usm, double scale, double aspectDivisor);
