// The notices an upload task sends its progress window (word 0), and what
// their words mean. They stay inside the upload framework and its window.
#pragma once

enum : unsigned long {
    TLV_MSG_UPLOAD_ITEM_BEGIN = 0x20F00001,  // word 3 the item (CTlvModuleItem)
    TLV_MSG_UPLOAD_ITEM_END = 0x20F00002,
    TLV_MSG_UPLOAD_LOGGED_IN = 0x20F00005,   // word 6 = 4: finished
    TLV_MSG_UPLOAD_PREVIEW = 0x20F00006,
    TLV_MSG_UPLOAD_ALBUMS_READY = 0x20F00007, // word 6 = 4: finished
    TLV_MSG_UPLOAD_BEGIN = 0x20F00008,       // word 6 = 4: finished
    TLV_MSG_UPLOAD_END = 0x20F00009,
    TLV_MSG_UPLOAD_ERROR = 0x20F0000A,       // word 3 the text (std::string), word 7 the state
};

// Word 6 of a notice: the step it tells of has finished.
constexpr unsigned long kTlvNoticeFinished = 4;
// Reply tag of the host's render requests, whose progress the window shows.
constexpr unsigned long kTlvRenderReplyTag = 0x20030001;
