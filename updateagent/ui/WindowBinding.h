// What the window and control wrappers do alike to the window they wrap.
#pragma once

#include "base/TWideString.h"

#include <windows.h>

// Stores the wrapper in the window's user-data long and installs the
// wrapper's procedure; answers the procedure it replaced.
WNDPROC BindAndSubclass(HWND window, void* wrapper, WNDPROC procedure);

// The window's whole text; false, with an empty text, for a window that is gone.
bool ReadWindowText(HWND window, TWideString& text);
