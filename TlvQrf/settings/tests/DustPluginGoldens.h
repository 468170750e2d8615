// Stored forms of the dust and plug-in records, written from their layouts
// (little-endian, no padding), as hex.
#pragma once

namespace tlstate_test {

// Three bytes of reference data, captured 2024-05-17 13:45:30, further
// values 0x0102 and 0xFFFE.
constexpr const char* kDustStateV1 =
    "7D7552F84C650B469D0264665E45696B" "0100" "16000000" // id, version, length 40 - 18
    "03000000" "AABBCC"                                   // data size, data
    "E807" "05" "11" "0D" "2D" "1E"                       // 2024-05-17 13:45:30
    "0201" "FEFF";                                        // further values

// Plug-in 0x1234 "Blur", disabled, parameter block 01 02 03.
constexpr const char* kPluginStateV1 =
    "976CB6F2928B4531BFA4780E8DF2F4E7" "0100" "15000000" // id, version, length 39 - 18
    "34120000" "00"                                       // plug-in id, enabled byte
    "03000000" "010203"                                   // parameter block
    "04" "426C7572";                                      // "Blur"

// A record without plug-in.
constexpr const char* kPluginStateEmptyV1 =
    "976CB6F2928B4531BFA4780E8DF2F4E7" "0100" "0E000000"
    "00000000" "01" "00000000" "00";

// Two plug-ins: 0x1234 "Blur" (enabled, 01 02 03), then 0x5678 "Sharpen"
// (enabled, 09).
constexpr const char* kPluginListStateV1 =
    "23A02C1C25C32C4A804A5780562FDE63" "0100" "55000000" // id, version, length 103 - 18
    "0200"                                                // count
    "976CB6F2928B4531BFA4780E8DF2F4E7" "0100" "15000000"
    "34120000" "01" "03000000" "010203" "04" "426C7572"
    "976CB6F2928B4531BFA4780E8DF2F4E7" "0100" "16000000"
    "78560000" "01" "01000000" "09" "07" "5368617270656E";

// Three plug-ins: 0x1234 "Blur", 0x5678 "Sharpen", 0x9ABC "Glow" (empty
// parameter block, disabled).
constexpr const char* kPluginListStateThreeV1 =
    "23A02C1C25C32C4A804A5780562FDE63" "0100" "79000000" // length 139 - 18
    "0300"
    "976CB6F2928B4531BFA4780E8DF2F4E7" "0100" "15000000"
    "34120000" "01" "03000000" "010203" "04" "426C7572"
    "976CB6F2928B4531BFA4780E8DF2F4E7" "0100" "16000000"
    "78560000" "01" "01000000" "09" "07" "5368617270656E"
    "976CB6F2928B4531BFA4780E8DF2F4E7" "0100" "12000000"
    "BC9A0000" "00" "00000000" "04" "476C6F77";

// An empty list.
constexpr const char* kPluginListStateEmptyV1 = "23A02C1C25C32C4A804A5780562FDE63" "0100" "06000000" "0000";

} // namespace tlstate_test
