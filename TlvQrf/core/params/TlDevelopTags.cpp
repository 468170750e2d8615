#include "params/TlDevelopTags.h"

#include "kelvra/KelvraTagControl.h"

#include <new>

namespace {

bool ReadTag(const IKelvraTagControl* tags, std::uint32_t id, std::uint32_t type, std::uint32_t size, void* value)
{
    if (tags == nullptr)
        return false;
    IKelvraError* error = tags->GetTag(id, type, size, value, 0);
    if (error == nullptr)
        return true;
    IKelvraError::Release(error);
    return false;
}

} // namespace

std::int32_t ReadToneSetting(const IKelvraTagControl* tags)
{
    std::int32_t value = 0;
    return ReadTag(tags, kTlToneValueTag, kKelvraTagTypeLong, sizeof value, &value) ? value : 0;
}

bool ReadSensitivityTag(const IKelvraTagControl* tags, STlSensitivityTag& sensitivity)
{
    std::uint16_t values[2] = {};
    if (!ReadTag(tags, kTlSensitivityTag, kKelvraTagTypeUShorts2, sizeof values, values))
        return false;
    sensitivity.extended = values[0];
    sensitivity.value = values[1];
    return true;
}

TlPatternRead ReadCfaPattern(const IKelvraTagControl* tags, std::vector<std::uint8_t>& pattern)
{
    pattern.clear();
    const std::uint32_t size = tags != nullptr ? tags->GetTagSize(kTlCfaPatternTag, 0) : 0;
    if (size == 0)
        return TlPatternRead::kAbsent;
    try {
        pattern.resize(size);
    } catch (const std::bad_alloc&) {
        return TlPatternRead::kFailed;
    }
    if (ReadTag(tags, kTlCfaPatternTag, kKelvraTagTypeBytes, size, pattern.data()))
        return TlPatternRead::kRead;
    pattern.clear();
    return TlPatternRead::kFailed;
}
