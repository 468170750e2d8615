#include "settings/small/TlVignetteState.h"

#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateLoad.h"
#include "settings/record/TlStateWriter.h"

namespace {
constexpr std::uint16_t kVersion = 1;
constexpr int kStoredSize = 24;
}

const TlGuid* CTlVignetteState::GetID() const
{
    return &kTlIdVignetteState;
}

int CTlVignetteState::Save(unsigned char* buffer, int size)
{
    CTlStateWriter writer(buffer, size);
    writer.Header(kTlIdVignetteState, kVersion);
    writer.Put(value);
    return writer.Finish();
}

int CTlVignetteState::Load(const unsigned char* buffer, int size)
{
    return LoadRecord(*this, buffer, size, [](CTlStateReader& reader, CTlVignetteState& record) {
        if (reader.Version() == 0)
            return TlStateLayout::kHeaderSize;
        reader.Get(record.value);
        return kStoredSize;
    });
}
