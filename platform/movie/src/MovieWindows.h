// The toolkit's windows: the full-screen backdrop and the message hooks it
// installs on its clients' windows.
#pragma once

#include "../TlMovie.h"

long MovieBeginFullScreen(const std::uint16_t rgb[3], HWND* window, long* width, long* height);
long MovieEndFullScreen();
long MovieSetWindowHook(HWND window, TlMovieWindowHook hook, void* context);
