// The two notices: the modal one for files that are not camera raw
// pictures (3001) and the modeless one shown while an edited raw file is
// read (3012).
#pragma once

#include <windows.h>

enum : int {
    kTlRawNonRawNoticeId = 3001,
    kTlRawNonRawTextId = 3118,
    kTlRawDontShowAgainId = 3117,
    kTlRawEditedNoticeId = 3012,
    kTlRawEditedTextId = 3023,
};

// True for OK; `dontShowAgain` tells whether the check box was ticked.
bool TlRawRunNonRawNotice(HWND owner, bool* dontShowAgain);

// The notice centred on `editorWindow` (the screen when null), kept on the
// screen; null when it could not be made.
HWND TlRawOpenEditedNotice(HWND editorWindow);
void TlRawCloseEditedNotice(HWND notice);

// Where a window of `size` sits centred on `around`, moved back inside
// `screen` where it would pass an edge (its top left corner first).
POINT TlRawCentredOn(const RECT& around, SIZE size, const RECT& screen);
