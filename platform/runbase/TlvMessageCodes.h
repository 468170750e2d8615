// Names of the message codes that the host and the modules share (word 0 of
// the nine words). Codes a module uses only inside itself (0x10Fxxxxx,
// 0x20Fxxxxx) live in that module's own header, since modules give them
// different meanings.
#pragma once

enum : unsigned long {
    TLV_MSG_QUERY_INFO = 0,                 // fill the information record at word 3 (type 136)
    TLV_MSG_FUNCTION_ID = 1,                // a function got a new id (word 3 points at it, type 2)
    TLV_MSG_ABORT = 2,                      // abort what the module is doing
    TLV_MSG_STEP = 4,                       // let the module go on (word 3 its argument)
    TLV_MSG_DEACTIVATE = 0x10000011,
    TLV_MSG_CANCEL_REQUEST = 0x10000012,    // module to host: cancel request word 7, reply tag word 8
    TLV_MSG_SHOW = 0x10000028,
    TLV_MSG_HIDE = 0x10000029,
    TLV_MSG_MENU_COMMAND = 0x10000038,      // id in word 1
    TLV_MSG_REGISTER_FUNCTIONS = 0x10000040, // CTlvFunctionData array, type 136
    TLV_MSG_RUN_FUNCTION = 0x10000048,      // run function word 1 on the given items
    TLV_MSG_REGISTER_TOOLS = 0x10000060,
    TLV_MSG_SET_CONTROL_STATE = 0x10000077,
    TLV_MSG_CONTROL_COMMAND = 0x10000078,
    TLV_MSG_SAVE_CURRENT_ITEM = 0x10000095,
    TLV_MSG_LOAD_ITEM_DATA = 0x10000101,    // item in words 1 and 2
    TLV_MSG_LOAD_ITEM_PART = 0x10000102,    // selector in word 3
    TLV_MSG_LOAD_ITEM_IMAGE = 0x10000103,   // word 6 selects 4 or 5
    TLV_MSG_LOAD_SOURCE_DATA = 0x10000105,
    TLV_MSG_RENDER_ITEM = 0x10000111,       // CTlvOutputData at word 3 (type 258), reply tag word 8
    TLV_MSG_REQUEST_DONE = 0x20000013,      // word 3 null or the failure code, word 7 the request, word 8 its tag
    TLV_MSG_RESIZE_SUBPANEL = 0x20000056,
    TLV_MSG_SET_CURSOR = 0x20000091,
    TLV_MSG_REQUEST_PROGRESS = 0x20000201,  // word 3 points at {done, total}, word 8 the reply tag
    TLV_MSG_QUERY_CLOSE = 0x30000010,
    TLV_MSG_QUERY_FUNCTION = 0x30000031,    // function word 1: its owner answers
    TLV_MSG_QUERY_ALL = 0x30000032,
};

// Receiver results.
enum : unsigned long {
    TLV_RES_NOT_CONSUMED = 0xA230,
    TLV_RES_CONSUMED = 0xA231,
};
