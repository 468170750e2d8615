// The file information drawn over a picture: five lines in a darkened box
// near the bottom-right corner of the slide area.
#pragma once

#include "ShowRecord.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// File name, size line, date, the two info texts.
std::vector<std::string> OverlayLines(const ShowRecord& record);

// The box for these lines in the area, measured in the context's font.
RECT OverlayBox(HDC dc, const RECT& area, const std::vector<std::string>& lines);

// Draws the overlay into a 24-bit buffer (`pixels`, `rowBytes`; top-down)
// whose context is `dc`, in the dialog font; answers the box.
RECT DrawOverlay(HDC dc, std::uint8_t* pixels, long rowBytes, const RECT& area, const ShowRecord& record);

// Draws the overlay over what a window shows in `area` (a movie playing there).
void DrawOverlayOnWindow(HWND window, const RECT& area, const ShowRecord& record);

// The module's dialog font: the stock GUI font, or the system font.
HFONT SlideDialogFont();
