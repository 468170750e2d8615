#include "settings/small/TlRedEyeState.h"

#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateLoad.h"
#include "settings/record/TlStateWriter.h"

#include <new>

namespace {
constexpr std::uint16_t kVersion = 1;

void PutRegions(CTlStateWriter& writer, const CTlRedEyeState::RegionList& regions)
{
    writer.Put(static_cast<std::uint16_t>(regions.size()));
    for (const CTlBlob& region : regions) {
        writer.Put(static_cast<std::uint32_t>(region.Count()));
        writer.PutBytes(region.Data(), region.Count());
    }
}

// An absent count leaves the list empty; a count or size that claims bytes
// the block does not hold marks the record corrupt.
bool GetRegions(CTlStateReader& reader, CTlRedEyeState::RegionList& regions)
{
    std::uint16_t count = 0;
    if (!reader.Get(count))
        return true;
    for (std::uint16_t i = 0; i < count; ++i) {
        std::uint32_t size = 0;
        if (!reader.Get(size) || !reader.Has(size))
            return false;
        regions.emplace_back();
        if (!regions.back().Set(reader.Here(), size))
            return false;
        reader.Skip(size);
    }
    return true;
}

int ReadFields(CTlStateReader& reader, CTlRedEyeState& record)
{
    if (reader.Version() == 0)
        return TlStateLayout::kHeaderSize;
    reader.Get(record.value);
    bool flag = false;
    if (reader.GetFlag(flag))
        record.flag = flag ? 1 : 0;
    if (!GetRegions(reader, record.firstRegions) || !GetRegions(reader, record.secondRegions))
        return 0;
    return reader.Consumed();
}
} // namespace

CTlRedEyeState::CTlRedEyeState(const CTlRedEyeState& other) : ITlState(other)
{
    *this = other;
}

CTlRedEyeState& CTlRedEyeState::operator=(const CTlRedEyeState& other)
{
    if (this == &other)
        return *this;
    try {
        RegionList first(other.firstRegions);
        RegionList second(other.secondRegions);
        firstRegions.swap(first);
        secondRegions.swap(second);
        value = other.value;
        flag = other.flag;
    } catch (const std::bad_alloc&) {
    }
    return *this;
}

const TlGuid* CTlRedEyeState::GetID() const
{
    return &kTlIdRedEyeState;
}

int CTlRedEyeState::Save(unsigned char* buffer, int size)
{
    CTlStateWriter writer(buffer, size);
    writer.Header(kTlIdRedEyeState, kVersion);
    writer.Put(value);
    writer.PutFlag(flag != 0);
    PutRegions(writer, firstRegions);
    PutRegions(writer, secondRegions);
    return writer.Finish();
}

int CTlRedEyeState::Load(const unsigned char* buffer, int size)
{
    return LoadRecord(*this, buffer, size, ReadFields);
}

void CTlRedEyeState::SetResetRequest(bool request)
{
    resetRequest = request;
    if (request)
        secondRegions.clear();
}

void CTlRedEyeState::Clear()
{
    value = 0;
    flag = 0;
    resetRequest = false;
    further = 0;
    firstRegions.clear();
    secondRegions.clear();
}
