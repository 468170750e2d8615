#include "settings/small/TlFlagState.h"

#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateLoad.h"
#include "settings/record/TlStateWriter.h"

namespace {
constexpr std::uint16_t kVersion = 1;
constexpr int kStoredSize = 27;
}

const TlGuid* CTlFlagState::GetID() const
{
    return &kTlIdFlagState;
}

int CTlFlagState::Save(unsigned char* buffer, int size)
{
    CTlStateWriter writer(buffer, size);
    writer.Header(kTlIdFlagState, kVersion);
    writer.PutFlag(flag);
    writer.Put<std::int32_t>(value);
    return writer.Finish();
}

int CTlFlagState::Load(const unsigned char* buffer, int size)
{
    return LoadRecord(*this, buffer, size, [](CTlStateReader& reader, CTlFlagState& record) {
        if (reader.Version() != kVersion)
            return 0;
        reader.GetFlag(record.flag);
        reader.Get(record.value);
        return kStoredSize;
    });
}

bool CTlFlagState::IsEqual(const CTlFlagState& other) const
{
    return flag == other.flag && value == other.value;
}
