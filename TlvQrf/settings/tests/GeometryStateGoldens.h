// Golden stored forms of the geometry record, written byte for byte from its
// stored layout (little-endian, no padding), one per version. The embedded
// step block is the step's own version 3 form.
#pragma once

#include <vector>

namespace geometry_state_test {

using Bytes = std::vector<unsigned char>;

// A little-endian double whose low six bytes are zero.
#define TL_GS_DOUBLE(b6, b7) 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, b6, b7
// One whose low five bytes are zero.
#define TL_GS_DOUBLE3(b5, b6, b7) 0x00, 0x00, 0x00, 0x00, 0x00, b5, b6, b7

#define TL_GS_RECORD_ID 0xe0, 0x33, 0x42, 0x37, 0xb8, 0xcc, 0xd2, 0x11, 0x0a, 0xa9, 0xb7, 0xc1, 0xb1, 0x00, 0xaa, 0x00
#define TL_GS_CROP_TAG 0x70, 0x6F, 0x72, 0x43 /* 'Crop' */
#define TL_GS_STEP_SIZE 0xDF, 0x00, 0x00, 0x00 /* 223 */

// A 'Crop' step of a 100 x 50 image (doubled: 200 x 100), cropped to
// (10, 20)-(110, 80), 72 ppi, source 144 ppi; pixel-size mode off.
#define TL_GS_STEP_FIELDS                                                                                 \
    /* crop left 10, top 20, right 110, bottom 80 */                                                       \
    TL_GS_DOUBLE(0x24, 0x40), TL_GS_DOUBLE(0x34, 0x40), TL_GS_DOUBLE3(0x80, 0x5B, 0x40), TL_GS_DOUBLE(0x54, 0x40), \
        /* reference: none (a copied step does not carry it) */                                             \
        TL_GS_DOUBLE(0x00, 0x00), TL_GS_DOUBLE(0x00, 0x00), TL_GS_DOUBLE(0x00, 0x00), TL_GS_DOUBLE(0x00, 0x00), \
        /* limit 0, 0, 200, 100 */                                                                         \
        TL_GS_DOUBLE(0x00, 0x00), TL_GS_DOUBLE(0x00, 0x00), TL_GS_DOUBLE(0x69, 0x40), TL_GS_DOUBLE(0x59, 0x40), \
        /* image 200 x 100 */                                                                              \
        TL_GS_DOUBLE(0x69, 0x40), TL_GS_DOUBLE(0x59, 0x40),                                                \
        /* print 1.5 x 2.5 */                                                                              \
        TL_GS_DOUBLE(0xF8, 0x3F), TL_GS_DOUBLE(0x04, 0x40),                                                \
        /* resolution 72, minimum 1, source 144, print 72 */                                               \
        TL_GS_DOUBLE(0x52, 0x40), TL_GS_DOUBLE(0xF0, 0x3F), TL_GS_DOUBLE(0x62, 0x40), TL_GS_DOUBLE(0x52, 0x40), \
        /* scale 1, output 50 x 30, area 2048, aspect 2 */                                                 \
        TL_GS_DOUBLE(0xF0, 0x3F), TL_GS_DOUBLE(0x49, 0x40), TL_GS_DOUBLE(0x3E, 0x40), TL_GS_DOUBLE(0xA0, 0x40), \
        TL_GS_DOUBLE(0x00, 0x40), 0x00 /* pixel-size mode off */

#define TL_GS_STEP                                                                                       \
    0x89, 0x2a, 0x64, 0xf4, 0x63, 0xac, 0xd1, 0x11, 0xa7, 0x77, 0x00, 0xaa, 0x00, 0xb1, 0xc1, 0xb7,      \
        0x03, 0x00, 0xCD, 0x00, 0x00, 0x00, TL_GS_STEP_FIELDS

// Mirrored, rotated 90 degrees.
#define TL_GS_ORIENTATION 0x01, 0x5A, 0x00, 0x00, 0x00

// 259 bytes; length word 241; orientation flag 7.
const Bytes kGeometryStateV5 = {TL_GS_RECORD_ID, 0x05, 0x00, 0xF1, 0x00, 0x00, 0x00, TL_GS_CROP_TAG,
                                TL_GS_STEP_SIZE, TL_GS_STEP, TL_GS_ORIENTATION, 0x07};
// 258 bytes; length word 240.
const Bytes kGeometryStateV4 = {TL_GS_RECORD_ID, 0x04, 0x00, 0xF0, 0x00, 0x00, 0x00, TL_GS_CROP_TAG,
                                TL_GS_STEP_SIZE, TL_GS_STEP, TL_GS_ORIENTATION};
const Bytes kGeometryStateV3 = {TL_GS_RECORD_ID, 0x03, 0x00, 0xF0, 0x00, 0x00, 0x00, TL_GS_CROP_TAG,
                                TL_GS_STEP_SIZE, TL_GS_STEP, TL_GS_ORIENTATION};
// 254 bytes: no length word.
const Bytes kGeometryStateV2 = {TL_GS_RECORD_ID, 0x02, 0x00, TL_GS_CROP_TAG, TL_GS_STEP_SIZE, TL_GS_STEP,
                                TL_GS_ORIENTATION};
// 249 bytes: no length word, no orientation.
const Bytes kGeometryStateV1 = {TL_GS_RECORD_ID, 0x01, 0x00, TL_GS_CROP_TAG, TL_GS_STEP_SIZE, TL_GS_STEP};
// What versions 2 to 4 become: version 5 with the flag at 0.
const Bytes kGeometryStateV5NoFlag = {TL_GS_RECORD_ID, 0x05, 0x00, 0xF1, 0x00, 0x00, 0x00, TL_GS_CROP_TAG,
                                      TL_GS_STEP_SIZE, TL_GS_STEP, TL_GS_ORIENTATION, 0x00};
// What version 1 becomes: no orientation, no flag.
const Bytes kGeometryStateV5Plain = {TL_GS_RECORD_ID, 0x05, 0x00, 0xF1, 0x00, 0x00, 0x00, TL_GS_CROP_TAG,
                                     TL_GS_STEP_SIZE, TL_GS_STEP, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

} // namespace geometry_state_test
