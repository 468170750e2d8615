#include "settings/small/TlWhiteBalanceState.h"

#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateLoad.h"
#include "settings/record/TlStateWriter.h"

namespace {
constexpr std::uint16_t kVersion = 4;

// Version 0 is refused; each later version adds fields to the one before.
int ReadFields(CTlStateReader& reader, CTlWhiteBalanceState& record)
{
    const std::uint16_t version = reader.Version();
    if (version == 0)
        return 0;
    reader.Get(record.firstGain);
    reader.Get(record.secondGain);
    if (version < 2)
        return 38;
    reader.Get(record.mode);
    reader.Get(record.preset);
    reader.Get(record.temperature);
    if (version < 3)
        return 48;
    reader.Get(record.further);
    if (version < 4)
        return 50;
    bool flag = false;
    if (reader.GetFlag(flag))
        record.flag = flag ? 1 : 0;
    return 51;
}
} // namespace

const TlGuid* CTlWhiteBalanceState::GetID() const
{
    return &kTlIdWhiteBalanceState;
}

int CTlWhiteBalanceState::Save(unsigned char* buffer, int size)
{
    CTlStateWriter writer(buffer, size);
    writer.Header(kTlIdWhiteBalanceState, kVersion);
    writer.Put(firstGain);
    writer.Put(secondGain);
    writer.Put(mode);
    writer.Put(preset);
    writer.Put(temperature);
    writer.Put(further);
    writer.PutFlag(flag != 0);
    return writer.Finish();
}

int CTlWhiteBalanceState::Load(const unsigned char* buffer, int size)
{
    return LoadRecord(*this, buffer, size, ReadFields);
}

bool CTlWhiteBalanceState::IsEqual(const CTlWhiteBalanceState& other) const
{
    if (mode != other.mode || mode < kModeGains || mode > kModePreset)
        return false;
    if (mode == kModeGains)
        return firstGain == other.firstGain && secondGain == other.secondGain;
    if (mode == kModeTemperature)
        return preset == other.preset && temperature == other.temperature;
    return true;
}
