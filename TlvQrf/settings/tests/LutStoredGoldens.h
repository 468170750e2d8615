// Golden stored forms of the tone curve and of the curve container, written
// byte for byte from their stored layouts (little-endian, no padding), one
// per stored version.
#pragma once

#include <vector>

namespace lut_stored_test {

using Bytes = std::vector<unsigned char>;

// A little-endian double whose low six bytes are zero.
#define TL_LG_DOUBLE(b6, b7) 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, b6, b7
#define TL_LG_INT32(b0) b0, 0x00, 0x00, 0x00
#define TL_LG_ZERO TL_LG_DOUBLE(0x00, 0x00)
#define TL_LG_ONE TL_LG_DOUBLE(0xF0, 0x3F)

#define TL_LG_LUT_ID 0x9d, 0xdc, 0x7d, 0x03, 0x65, 0xd4, 0x11, 0xd1, 0x91, 0x94, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00
#define TL_LG_GROUP_ID 0x9d, 0xdc, 0x7d, 0x00, 0x65, 0xd4, 0x11, 0xd1, 0x91, 0x94, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00

// The red channel, element id 1: colours (255, 0, 0), (0, 0, 0), (255, 0, 0).
#define TL_LG_RED_HEADER TL_LG_LUT_ID, TL_LG_INT32(0x01)
#define TL_LG_RED_COLOURS                                                                         \
    TL_LG_INT32(0xFF), TL_LG_INT32(0x00), TL_LG_INT32(0x00), TL_LG_INT32(0x00), TL_LG_INT32(0x00), \
        TL_LG_INT32(0x00), TL_LG_INT32(0xFF), TL_LG_INT32(0x00), TL_LG_INT32(0x00)
// black 0.125, white 0.875, gamma 2
#define TL_LG_RED_INPUT TL_LG_DOUBLE(0xC0, 0x3F), TL_LG_DOUBLE(0xEC, 0x3F), TL_LG_DOUBLE(0x00, 0x40)
// output low 0.25, high 0.75
#define TL_LG_RED_OUTPUT TL_LG_DOUBLE(0xD0, 0x3F), TL_LG_DOUBLE(0xE8, 0x3F)
#define TL_LG_DEFAULT_OUTPUT TL_LG_ZERO, TL_LG_ONE
// (0, 0), (0.5, 0.75), (1, 1)
#define TL_LG_RED_POINTS \
    TL_LG_INT32(0x03), TL_LG_ZERO, TL_LG_ZERO, TL_LG_DOUBLE(0xE0, 0x3F), TL_LG_DOUBLE(0xE8, 0x3F), TL_LG_ONE, TL_LG_ONE
// brightness 0.5
#define TL_LG_HALF TL_LG_DOUBLE(0xE0, 0x3F)

#define TL_LG_RED_V3 \
    TL_LG_RED_HEADER, 0xFF, 0x03, 0x00, TL_LG_RED_COLOURS, TL_LG_RED_INPUT, TL_LG_RED_OUTPUT, TL_LG_RED_POINTS, TL_LG_HALF
#define TL_LG_RED_V3_DEFAULT_OUTPUT                                                                           \
    TL_LG_RED_HEADER, 0xFF, 0x03, 0x00, TL_LG_RED_COLOURS, TL_LG_RED_INPUT, TL_LG_DEFAULT_OUTPUT, TL_LG_RED_POINTS, \
        TL_LG_HALF
#define TL_LG_RED_V2 TL_LG_RED_HEADER, 0xFF, 0x02, 0x00, TL_LG_RED_COLOURS, TL_LG_RED_INPUT, TL_LG_RED_POINTS, TL_LG_HALF
// No marker: the red colour's bytes FF 00 00 stand where a marker would.
#define TL_LG_RED_OLDEST TL_LG_RED_HEADER, TL_LG_RED_COLOURS, TL_LG_RED_INPUT, TL_LG_RED_POINTS, TL_LG_HALF

// The master, element id 0, as a new container holds it: black colours,
// default levels, the identity pair, brightness `bright`.
#define TL_LG_BLACK_COLOURS                                                                       \
    TL_LG_INT32(0x00), TL_LG_INT32(0x00), TL_LG_INT32(0x00), TL_LG_INT32(0x00), TL_LG_INT32(0x00), \
        TL_LG_INT32(0x00), TL_LG_INT32(0x00), TL_LG_INT32(0x00), TL_LG_INT32(0x00)
#define TL_LG_DEFAULT_INPUT TL_LG_ZERO, TL_LG_ONE, TL_LG_ONE
#define TL_LG_IDENTITY_POINTS TL_LG_INT32(0x02), TL_LG_ZERO, TL_LG_ZERO, TL_LG_ONE, TL_LG_ONE
#define TL_LG_MASTER_V3(bright)                                                                             \
    TL_LG_LUT_ID, TL_LG_INT32(0x00), 0xFF, 0x03, 0x00, TL_LG_BLACK_COLOURS, TL_LG_DEFAULT_INPUT, TL_LG_DEFAULT_OUTPUT, \
        TL_LG_IDENTITY_POINTS, bright
#define TL_LG_MASTER_V2(bright)                                                                                 \
    TL_LG_LUT_ID, TL_LG_INT32(0x00), 0xFF, 0x02, 0x00, TL_LG_BLACK_COLOURS, TL_LG_DEFAULT_INPUT, TL_LG_IDENTITY_POINTS, \
        bright
#define TL_LG_MASTER_OLDEST(bright) \
    TL_LG_LUT_ID, TL_LG_INT32(0x00), TL_LG_BLACK_COLOURS, TL_LG_DEFAULT_INPUT, TL_LG_IDENTITY_POINTS, bright

// Tone curve: 111 + 16·3 bytes.
const Bytes kLutStoredV3 = {TL_LG_RED_V3};
// 95 + 48 bytes; loads as version 3 with default output levels.
const Bytes kLutStoredV2 = {TL_LG_RED_V2};
// 92 + 48 bytes.
const Bytes kLutStoredOldest = {TL_LG_RED_OLDEST};
// What versions 2 and the oldest form are written back as.
const Bytes kLutStoredV3DefaultOutput = {TL_LG_RED_V3_DEFAULT_OUTPUT};
// A new tone curve (master, black colours): 111 + 32 bytes.
const Bytes kLutStoredNewMaster = {TL_LG_MASTER_V3(TL_LG_ZERO)};

// Container, version 4: kind 2, two elements, current element 1, contrast
// 0.5, the new master and the red channel. 33 + 143 + 159 = 335 bytes,
// length word 317.
const Bytes kLutGroupStoredV4 = {TL_LG_GROUP_ID,           0xFF,        0x04, 0x3D, 0x01, 0x00, 0x00, 0x02, 0x02,
                                 0x01,                     TL_LG_HALF,  TL_LG_MASTER_V3(TL_LG_ZERO),
                                 TL_LG_RED_V3};
const Bytes kLutGroupStoredV3 = {TL_LG_GROUP_ID,           0xFF,        0x03, 0x3D, 0x01, 0x00, 0x00, 0x02, 0x02,
                                 0x01,                     TL_LG_HALF,  TL_LG_MASTER_V3(TL_LG_ZERO),
                                 TL_LG_RED_V3};
// Version 2 as its field list lays it out: a byte passed over at 18, count
// at 19, elements from 29. 29 + 127 + 143 = 299 bytes.
const Bytes kLutGroupStoredV2 = {TL_LG_GROUP_ID, 0xFF, 0x02, 0x00, 0x02, 0x01, TL_LG_HALF, TL_LG_MASTER_V2(TL_LG_ZERO),
                                 TL_LG_RED_V2};
// Version 2 with its fields straight after the marker: elements from 28.
const Bytes kLutGroupStoredV2Packed = {TL_LG_GROUP_ID, 0xFF, 0x02, 0x02, 0x01, TL_LG_HALF,
                                       TL_LG_MASTER_V2(TL_LG_ZERO), TL_LG_RED_V2};
// Version 1: count at 16, elements from 26, the oldest element forms.
// 26 + 124 + 140 = 290 bytes.
const Bytes kLutGroupStoredV1 = {TL_LG_GROUP_ID, 0x02, 0x01, TL_LG_HALF, TL_LG_MASTER_OLDEST(TL_LG_ZERO),
                                 TL_LG_RED_OLDEST};
// What versions 1 and 2 are written back as from a new container: its kind
// 1 kept, the channel without output levels.
const Bytes kLutGroupStoredV4FromOlder = {TL_LG_GROUP_ID, 0xFF, 0x04, 0x3D, 0x01, 0x00, 0x00, 0x01, 0x02, 0x01,
                                          TL_LG_HALF, TL_LG_MASTER_V3(TL_LG_ZERO), TL_LG_RED_V3_DEFAULT_OUTPUT};
// Version 2 whose only change is the master's brightness (0.5).
const Bytes kLutGroupStoredV2BrightnessOnly = {TL_LG_GROUP_ID, 0xFF, 0x02, 0x00, 0x01, 0x00, TL_LG_ZERO,
                                               TL_LG_MASTER_V2(TL_LG_HALF)};

} // namespace lut_stored_test
