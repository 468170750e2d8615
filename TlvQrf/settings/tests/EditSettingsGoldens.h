// Golden stored forms of the top-level edit-settings record, written byte
// for byte from its stored layout (little-endian; ids in the GUID binary
// layout), as hex.
#pragma once

namespace edit_test {

// Both masks 0, no nested record, flip 0, angle 0, marker 1, every flag 0:
// the header, the flip and angle entries, the flag entries of every slot
// that needs no record, the marker entry. 22 + 23 + 24 + 11 * 23 + 23 = 345
// bytes, length word 327.
constexpr const char* kEditSettingsEmptyV2 =
    "40A9867A1BE9D211A90A00AA00B1C1B7" "0200" "47010000"     // header
    "0632A476A217D411A90A00AA00B1C1B7" "0100" "05000000" "00" // flip
    "0732A476A217D411A90A00AA00B1C1B7" "0100" "06000000" "0000" // angle
    "5153087E4FCB4F4CA0418034553C57E5" "0100" "05000000" "00" // flag 0x800000
    "45D30D77A36E1E4EA4BECFC18EB5B747" "0100" "05000000" "01" // marker
    "453A44FE92A74C838A27F7D76AE29E0B" "0100" "05000000" "00" // flag 0x1000000
    "0332A476A217D411A90A00AA00B1C1B7" "0100" "05000000" "00" // flag 0x40
    "0432A476A217D411A90A00AA00B1C1B7" "0100" "05000000" "00" // flag 0x80
    "C0CB3D75376DD411A90A00AA00B1C1B7" "0100" "05000000" "00" // flag 0x100
    "F516DDF647434C998661BD9B50A7E777" "0100" "05000000" "00" // flag 0x2000000
    "794FC76622984FC8922EC6AC1F6CC95A" "0100" "05000000" "00" // flag 0x4000000
    "237D0E5FA76B4F19975ED376B99B0651" "0100" "05000000" "00" // flag 0x8000000
    "0532A476A217D411A90A00AA00B1C1B7" "0100" "05000000" "00" // flag 0x200000
    "4FA428FED43D4C6290C9D0558AE1B95D" "0100" "05000000" "00" // flag 0x400000
    "5ECA5EABDE14D04A82BE3A8B085792FA" "0100" "05000000" "00"; // flag 0x10000000

// Entry headers of the record's own values, for hand-built blocks.
constexpr const char* kEditSettingsId = "40A9867A1BE9D211A90A00AA00B1C1B7";
constexpr const char* kFlipEntryId = "0632A476A217D411A90A00AA00B1C1B7";
constexpr const char* kAngleEntryId = "0732A476A217D411A90A00AA00B1C1B7";
constexpr const char* kMarkerEntryId = "45D30D77A36E1E4EA4BECFC18EB5B747";
constexpr const char* kDataEntryId = "E0F6F59E8D15D611BFF700D0B7924146";
constexpr const char* kNameEntryId = "402946241EE7D411BFF7000103208145";
constexpr const char* kWhiteBalanceFlagId = "0432A476A217D411A90A00AA00B1C1B7";
constexpr const char* kToneCurvesFlagId = "0132A476A217D411A90A00AA00B1C1B7";

} // namespace edit_test
