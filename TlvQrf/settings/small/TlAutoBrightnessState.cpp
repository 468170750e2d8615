#include "settings/small/TlAutoBrightnessState.h"

#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateLoad.h"
#include "settings/record/TlStateWriter.h"
#include "settings/small/TlAutoLevelsSource.h"

namespace {
constexpr std::uint16_t kVersion = 1;
constexpr int kStoredSize = 39;
constexpr long kAllChannels = -1;
}

CTlAutoBrightnessState::CTlAutoBrightnessState(const CTlAutoBrightnessState& other)
    : CKelvraFilterWatcher(), ITlState(other)
{
    *this = other;
}

CTlAutoBrightnessState& CTlAutoBrightnessState::operator=(const CTlAutoBrightnessState& other)
{
    exposureCompensation = other.exposureCompensation;
    useBlackLevel = other.useBlackLevel;
    lowLevel = other.lowLevel;
    highLevel = other.highLevel;
    transient = 0;
    return *this;
}

void CTlAutoBrightnessState::Reset()
{
    exposureCompensation = 0.0;
    useBlackLevel = false;
}

const TlGuid* CTlAutoBrightnessState::GetID() const
{
    return &kTlIdAutoBrightnessState;
}

int CTlAutoBrightnessState::Save(unsigned char* buffer, int size)
{
    CTlStateWriter writer(buffer, size);
    writer.Header(kTlIdAutoBrightnessState, kVersion);
    writer.Put(exposureCompensation);
    writer.PutFlag(useBlackLevel);
    writer.Put(lowLevel);
    writer.Put(highLevel);
    return writer.Finish();
}

int CTlAutoBrightnessState::Load(const unsigned char* buffer, int size)
{
    return LoadRecord(*this, buffer, size, [](CTlStateReader& reader, CTlAutoBrightnessState& record) {
        if (reader.Version() == 0)
            return TlStateLayout::kHeaderSize;
        reader.Get(record.exposureCompensation);
        reader.GetFlag(record.useBlackLevel);
        reader.Get(record.lowLevel);
        reader.Get(record.highLevel);
        return kStoredSize;
    });
}

bool CTlAutoBrightnessState::IsEqual(const CTlAutoBrightnessState& other) const
{
    return exposureCompensation == other.exposureCompensation && useBlackLevel == other.useBlackLevel;
}

int CTlAutoBrightnessState::OnNotify(IKelvraFilter* filter, long code, void*)
{
    if (code != kLevelsFoundCode)
        return 0;
    auto* levels = dynamic_cast<ITlAutoLevelsSource*>(filter);
    if (levels == nullptr)
        return 0;
    lowLevel = static_cast<std::int32_t>(levels->GetLowLevel(kAllChannels));
    highLevel = static_cast<std::int32_t>(levels->GetHighLevel(kAllChannels));
    autoGain = static_cast<std::int32_t>(levels->GetAutoGain());
    return 0;
}
