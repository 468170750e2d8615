#include "params/TlSensitivityCode.h"

#include "params/TlDevelopTags.h"
#include "settings/loadpath/TlLoadPath.h"

namespace {

// The camera that starts at a lower sensitivity tops out lower too.
int TopSetting(std::uint16_t modelCode)
{
    return modelCode == 259 ? 800 : 1600;
}

} // namespace

int GetSensitivityCode(const IKelvraTagControl* tags)
{
    STlSensitivityTag tag;
    if (!ReadSensitivityTag(tags, tag))
        return 0;
    if (tag.extended == 0)
        return tag.value;
    const int top = TopSetting(GetShortTagValue(tags));
    if (tag.value == 2 * top)
        return kTlSensitivityExtendedHigh;
    if (tag.value == 4 * top)
        return kTlSensitivityExtendedTop;
    return 0;
}
