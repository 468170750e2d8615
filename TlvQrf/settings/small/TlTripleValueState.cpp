#include "settings/small/TlTripleValueState.h"

#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateLoad.h"
#include "settings/record/TlStateWriter.h"

namespace {
constexpr std::uint16_t kVersion = 3;

// The oldest form's code for the first value.
std::int32_t FirstFromCode(std::uint16_t code)
{
    switch (code) {
    case 1: return 4;
    case 2: return 5;
    case 3: return 8;
    default: return 0;
    }
}

int ReadCodeForm(CTlStateReader& reader, CTlTripleValueState& record)
{
    std::uint16_t code = 0;
    if (reader.Get(code))
        record.first = FirstFromCode(code);
    reader.GetFlag(record.flag);
    return 25;
}

int ReadValueForm(CTlStateReader& reader, CTlTripleValueState& record)
{
    reader.Get(record.first);
    reader.GetFlag(record.flag);
    if (reader.Version() < 3)
        return 27;
    reader.Get(record.second);
    return 31;
}
} // namespace

const TlGuid* CTlTripleValueState::GetID() const
{
    return &kTlIdTripleValueState;
}

int CTlTripleValueState::Save(unsigned char* buffer, int size)
{
    CTlStateWriter writer(buffer, size);
    writer.Header(kTlIdTripleValueState, kVersion);
    writer.Put(first);
    writer.PutFlag(flag);
    writer.Put(second);
    return writer.Finish();
}

int CTlTripleValueState::Load(const unsigned char* buffer, int size)
{
    return LoadRecord(*this, buffer, size, [](CTlStateReader& reader, CTlTripleValueState& record) {
        switch (reader.Version()) {
        case 0: return TlStateLayout::kHeaderSize;
        case 1: return ReadCodeForm(reader, record);
        default: return ReadValueForm(reader, record);
        }
    });
}

bool CTlTripleValueState::IsEqual(const CTlTripleValueState& other) const
{
    return first == other.first && second == other.second && flag == other.flag;
}

void CTlTripleValueState::SetSecondAvailable(bool available)
{
    if (!available)
        second = 0;
}
