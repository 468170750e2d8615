#include "settings/small/TlChromaBoostState.h"

#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateLoad.h"
#include "settings/record/TlStateWriter.h"

namespace {
constexpr std::uint16_t kVersion = 1;
constexpr int kStoredSize = 27;
constexpr std::int32_t kMaxAmount = 100;
}

CTlChromaBoostState::CTlChromaBoostState(const CTlChromaBoostState& other) : ITlState(other)
{
    *this = other;
}

CTlChromaBoostState& CTlChromaBoostState::operator=(const CTlChromaBoostState& other)
{
    amount = ClampAmount(other.amount);
    enabled = other.enabled;
    return *this;
}

std::int32_t CTlChromaBoostState::ClampAmount(std::int32_t value)
{
    return value < 0 ? 0 : (value > kMaxAmount ? kMaxAmount : value);
}

void CTlChromaBoostState::Reset()
{
    amount = 0;
    working = -1;
    enabled = true;
}

const TlGuid* CTlChromaBoostState::GetID() const
{
    return &kTlIdChromaBoostState;
}

int CTlChromaBoostState::Save(unsigned char* buffer, int size)
{
    CTlStateWriter writer(buffer, size);
    writer.Header(kTlIdChromaBoostState, kVersion);
    writer.PutFlag(enabled);
    writer.Put(amount);
    return writer.Finish();
}

int CTlChromaBoostState::Load(const unsigned char* buffer, int size)
{
    return LoadRecord(*this, buffer, size, [](CTlStateReader& reader, CTlChromaBoostState& record) {
        if (reader.Version() != kVersion)
            return 0;
        reader.GetFlag(record.enabled);
        reader.Get(record.amount);
        record.amount = ClampAmount(record.amount);
        return kStoredSize;
    });
}

bool CTlChromaBoostState::IsEqual(const CTlChromaBoostState& other) const
{
    return enabled == other.enabled && amount == other.amount;
}
