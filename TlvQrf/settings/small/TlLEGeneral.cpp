#include "settings/small/TlLEGeneral.h"

#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateLoad.h"
#include "settings/record/TlStateWriter.h"

namespace {
constexpr std::uint16_t kVersion = 2;
}

const TlGuid* CTlLEGeneral::GetID() const
{
    return &kTlIdGeneralState;
}

int CTlLEGeneral::Save(unsigned char* buffer, int size)
{
    CTlStateWriter writer(buffer, size);
    writer.Header(kTlIdGeneralState, kVersion);
    for (std::uint16_t value : values)
        writer.Put(value);
    return writer.Finish();
}

int CTlLEGeneral::Load(const unsigned char* buffer, int size)
{
    return LoadRecord(*this, buffer, size, [](CTlStateReader& reader, CTlLEGeneral& record) {
        const std::uint16_t version = reader.Version();
        // Version 1 kept the first two values only.
        const int count = version == 0 ? 0 : (version == 1 ? 2 : 4);
        for (int i = 0; i < count; ++i)
            reader.Get(record.values[i]);
        return TlStateLayout::kHeaderSize + 2 * count;
    });
}
