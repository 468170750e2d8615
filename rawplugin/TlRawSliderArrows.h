// The slider's arrow pictures, shared by every slider of the process with
// one background colour and freed when the last of them lets go.
#pragma once

#include <windows.h>

enum TlRawArrowCell { kTlArrowNormal = 0, kTlArrowHover = 1, kTlArrowPressed = 2 };

struct TlRawArrowSet {
    HBITMAP cells[2][3]; // [left, right][normal, hover, pressed]
    HBRUSH background;
    HBITMAP strip;       // bitmap 3202 as loaded
};

// The set for `background`, made on first use; null when bitmap 3202 could
// not be loaded. Every acquire is paired with one release.
const TlRawArrowSet* TlRawAcquireArrows(COLORREF background);
void TlRawReleaseArrows(COLORREF background);
// How many sliders use the set of `background` (0 when there is none).
int TlRawArrowUsers(COLORREF background);
