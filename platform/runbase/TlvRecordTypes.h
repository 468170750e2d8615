// Record-type codes: word 5 of a message says what word 3 points at.
#pragma once

enum : unsigned long {
    TLV_TYPE_INT = 2,              // one 32-bit integer, or an array of them
    TLV_TYPE_TEXT = 3,             // characters; word 4 is the length
    TLV_TYPE_ITEM_IDS = 32,        // item-id pairs (low, high)
    TLV_TYPE_STATUS_WORD = 33,     // a pointer to a receiver's status word
    TLV_TYPE_STRING = 48,          // a std::string
    TLV_TYPE_PART_REQUEST = 81,    // the selector or wanted size of an item part
    TLV_TYPE_ACTION_DATA = 132,    // CTlvActionData
    TLV_TYPE_MENU_DATA = 133,      // CTlvMenuData
    TLV_TYPE_FUNCTION_DATA = 136,  // an array of CTlvFunctionData
    TLV_TYPE_SUBPANEL_DATA = 137,  // an array of CTlvSubPanelData
    TLV_TYPE_SOURCE_DATA = 144,    // CTlvSourceData
    TLV_TYPE_SAVE_DATA = 257,      // CTlvSaveData
    TLV_TYPE_OUTPUT_DATA = 258,    // CTlvOutputData
};

// The information query (message 0) carries the module's information record
// under the function records' code; the message code tells the two apart.
constexpr unsigned long TLV_TYPE_MODULE_INFO = TLV_TYPE_FUNCTION_DATA;
