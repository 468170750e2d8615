#include "settings/small/TlUsmState.h"

#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateLoad.h"
#include "settings/record/TlStateWriter.h"

namespace {
constexpr std::uint16_t kVersion = 1;
constexpr int kStoredSize = 27;
}

const TlGuid* CTlUsmState::GetID() const
{
    return &kTlIdUsmState;
}

int CTlUsmState::Save(unsigned char* buffer, int size)
{
    CTlStateWriter writer(buffer, size);
    writer.HeaderWithoutLength(kTlIdUsmState, kVersion);
    writer.Put(value1);
    writer.Put(value2);
    writer.Put(value3);
    writer.Put(kind);
    writer.Put(flag);
    return writer.Finish();
}

int CTlUsmState::Load(const unsigned char* buffer, int size)
{
    return LoadWithoutLengthWord(*this, buffer, size, [](CTlStateReader& reader, CTlUsmState& record) {
        if (reader.Version() != kVersion)
            return 0;
        reader.Get(record.value1);
        reader.Get(record.value2);
        reader.Get(record.value3);
        reader.Get(record.kind);
        reader.Get(record.flag);
        return kStoredSize;
    });
}
