// Messages of the slideshow: what it asks of the host, the reply tags that
// tell it which request ended, and what the player thread and the media
// items post to the show window (the window does the work on its thread).
#pragma once

#include <windows.h>

enum : unsigned long {
    kSlideMsgRotate = 0x10000113,            // item in words 1 and 2, angle at word 3
    kSlideMsgUpdateSourceData = 0x10000085,  // CTlvSourceData at word 3 (type 144)
};

enum : unsigned long {
    kSlideReplyImageLoad = 0x20020000,
    kSlideReplyRotate = 0x20020001,
    kSlideReplyEdit1 = 0x20020002,
    kSlideReplyEdit2 = 0x20020003,
    kSlideReplyReload = 0x200200FF,
};

// The module's function id, and the edit functions a slide asks the host to run.
enum : unsigned long {
    kSlideshowFunctionId = 0x2002,
    kSlideEditAutoEnhance = 0x2009,
    kSlideEditRedEye = 0x2010,
};

// Posted to the show window.
enum : UINT {
    kShowMsgEnded = 0x8001,        // the player thread is done
    kShowMsgHostCall = 0x8002,     // lParam: a heap record of ten words for the host
    kShowMsgReloadItem = 0x8003,   // wParam, lParam: the item id (low, high)
    kShowMsgSlideChanged = 0x8004, // the current item changed: mark buttons, counter
    kShowMsgUpdateToolbar = 0x8005, // once per step while an item plays (auto-hide)
};
