#include "params/TlDevelopTags.h"

#include "kelvra/KelvraTagControl.h"
#include "raw/TlQuietTagReads.h"
#include "raw/TlTagBytes.h"

std::int32_t ReadToneSetting(const IKelvraTagControl* tags)
{
    return ReadLongTagOr(tags, kTlToneValueTag, 0);
}

bool ReadSensitivityTag(const IKelvraTagControl* tags, STlSensitivityTag& sensitivity)
{
    std::uint16_t values[2] = {};
    if (!ReadTagQuietly(tags, kTlSensitivityTag, kKelvraTagTypeUShorts2, sizeof values, values))
        return false;
    sensitivity.extended = values[0];
    sensitivity.value = values[1];
    return true;
}

TlPatternRead ReadCfaPattern(const IKelvraTagControl* tags, std::vector<std::uint8_t>& pattern)
{
    pattern.clear();
    if (tags == nullptr || tags->GetTagSize(kTlCfaPatternTag, 0) == 0)
        return TlPatternRead::kAbsent;
    pattern = ReadWholeTag(*tags, kTlCfaPatternTag);
    return pattern.empty() ? TlPatternRead::kFailed : TlPatternRead::kRead;
}
