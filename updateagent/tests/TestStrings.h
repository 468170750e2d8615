// String-table ids of the test programs.
#pragma once

#define IDS_LONG_TEXT 101   // 300 characters
#define IDS_SHORT_TEXT 102
#define IDS_EDGE_TEXT 103   // 254 characters: fills the first buffer of 255
#define IDS_MISSING_TEXT 199
