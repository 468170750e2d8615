#include "settings/small/TlRevelationState.h"

#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateLoad.h"
#include "settings/record/TlStateWriter.h"

namespace {
constexpr std::uint16_t kVersion = 1;
constexpr int kStoredSize = 28;
}

const TlGuid* CTlRevelationState::GetID() const
{
    return &kTlIdRevelationState;
}

int CTlRevelationState::Save(unsigned char* buffer, int size)
{
    CTlStateWriter writer(buffer, size);
    writer.Header(kTlIdRevelationState, kVersion);
    writer.Put(first);
    writer.Put(second);
    writer.Put(third);
    return writer.Finish();
}

int CTlRevelationState::Load(const unsigned char* buffer, int size)
{
    return LoadRecord(*this, buffer, size, [](CTlStateReader& reader, CTlRevelationState& record) {
        if (reader.Version() != kVersion)
            return 0;
        reader.Get(record.first);
        reader.Get(record.second);
        reader.Get(record.third);
        return kStoredSize;
    });
}

bool CTlRevelationState::IsEqual(const CTlRevelationState& other) const
{
    return first == other.first && second == other.second && third == other.third;
}
