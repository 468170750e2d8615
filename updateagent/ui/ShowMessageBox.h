// The agent's message boxes: always topmost, with an icon by kind.
#pragma once

#include "base/TWideString.h"

#include <windows.h>

enum MessageBoxKind {
    kBoxError = 0,
    kBoxInformation = 1,
    kBoxQuestion = 2,
};

// The box style for a kind; an unknown kind gets no icon and only OK.
UINT MessageBoxStyleFor(int kind);

// True when the user answered Yes or OK.
bool ShowMessageBox(const TWideString& caption, const TWideString& text, int kind, HWND owner);
