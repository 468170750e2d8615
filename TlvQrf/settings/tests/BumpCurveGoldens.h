// Golden stored forms of the bump curves, written byte for byte from their
// layouts (little-endian; ids in the GUID binary layout). The two points
// (0.25, 0.5, 0.125) and (0.75, -0.25, 0.0625), offset -0.5.
#pragma once

namespace tlstate_test {

// 87 bytes: header (element id 3), 0xFF, version 2, count 2, points, offset, scale 2.
const char kPointCurveV2[] =
    "9DDC7D0265D411D1919444455354000003000000FF020002000000"
    "000000000000D03F000000000000E03F000000000000C03F"
    "000000000000E83F000000000000D0BF000000000000B03F"
    "000000000000E0BF02000000";
// 84 bytes: the older form, without marker and version.
const char kPointCurveOlder[] =
    "9DDC7D0265D411D191944445535400000300000002000000"
    "000000000000D03F000000000000E03F000000000000C03F"
    "000000000000E83F000000000000D0BF000000000000B03F"
    "000000000000E0BF02000000";
// 81 bytes: header (element id 2), version 1, count 2, points, offset, reserved byte.
const char kLinearCurveV1[] =
    "9DDC7D0465D411D191944445535400000200000001000200"
    "000000000000D03F000000000000E03F000000000000C03F"
    "000000000000E83F000000000000D0BF000000000000B03F"
    "000000000000E0BF00";
// 33 bytes: no points, offset 0.
const char kLinearCurveEmptyV1[] =
    "9DDC7D0465D411D1919444455354000002000000010000000000000000000000"
    "00";
// 61 bytes: the same curve as a calibration file.
const char kCalibrationFileV1[] =
    "01000200"
    "000000000000D03F000000000000E03F000000000000C03F"
    "000000000000E83F000000000000D0BF000000000000B03F"
    "000000000000E0BF00";

} // namespace tlstate_test
