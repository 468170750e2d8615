#include "settings/small/TlAdjustState.h"

#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateLoad.h"
#include "settings/record/TlStateWriter.h"

#include "settings/record/TlStoredNumbers.h"

namespace {
constexpr std::uint16_t kVersion = 6;

// Each version adds fields to the one before; the result is where the
// version's fields end.
int ReadFields(CTlStateReader& reader, CTlAdjustState& record)
{
    const std::uint16_t version = reader.Version();
    if (version == 0)
        return TlStateLayout::kHeaderSize;
    std::int16_t hundredths = 0;
    if (reader.Get(hundredths))
        record.value = hundredths * 0.01;
    reader.Get(record.first);
    if (version < 2)
        return 26;
    reader.Get(record.second);
    reader.Get(record.firstFlag);
    reader.Get(record.mode);
    if (version < 3)
        return 33;
    reader.Get(record.third);
    if (version < 4)
        return 35;
    reader.Get(record.secondFlag);
    reader.Get(record.extra);
    if (version < 5)
        return 40;
    reader.Get(record.value);
    if (version < 6)
        return 48;
    reader.Get(record.fourth);
    return 50;
}
} // namespace

const TlGuid* CTlAdjustState::GetID() const
{
    return &kTlIdAdjustState;
}

int CTlAdjustState::Save(unsigned char* buffer, int size)
{
    CTlStateWriter writer(buffer, size);
    writer.Header(kTlIdAdjustState, kVersion);
    // The oldest form keeps the value in hundredths.
    writer.Put(TruncateToInt16(value * 100.0));
    writer.Put(first);
    writer.Put(second);
    writer.Put(firstFlag);
    writer.Put(mode);
    writer.Put(third);
    writer.Put(secondFlag);
    writer.Put(extra);
    writer.Put(value);
    writer.Put(fourth);
    return writer.Finish();
}

int CTlAdjustState::Load(const unsigned char* buffer, int size)
{
    return LoadRecord(*this, buffer, size, ReadFields);
}

bool CTlAdjustState::IsEqual(const CTlAdjustState& other) const
{
    return value == other.value && first == other.first && second == other.second && third == other.third &&
           firstFlag == other.firstFlag && mode == other.mode && secondFlag == other.secondFlag &&
           extra == other.extra && fourth == other.fourth;
}
