// The capture tags the development and De-Bayer set-up read. A read that
// fails gives the stated default and never fails the caller.
#pragma once

#include <cstdint>
#include <vector>

class IKelvraTagControl;

enum : std::uint32_t {
    kTlToneValueTag = 0x80094,   // one signed 32-bit value, -2 to 1
    kTlSensitivityTag = 0x80002, // two unsigned 16-bit values
    kTlCfaPatternTag = 0xA302,   // EXIF CFAPattern
};

// The camera's tone setting; 0 (the neutral one) when it cannot be read.
std::int32_t ReadToneSetting(const IKelvraTagControl* tags);

struct STlSensitivityTag {
    std::uint16_t extended = 0; // 0: `value` is the sensitivity itself
    std::uint16_t value = 0;
};
// False when there are no tags or the tag cannot be read.
bool ReadSensitivityTag(const IKelvraTagControl* tags, STlSensitivityTag& sensitivity);

enum class TlPatternRead { kAbsent, kRead, kFailed };
// The colour-filter pattern bytes: kAbsent when the tag has no bytes,
// kFailed when they could not be held or read.
TlPatternRead ReadCfaPattern(const IKelvraTagControl* tags, std::vector<std::uint8_t>& pattern);
