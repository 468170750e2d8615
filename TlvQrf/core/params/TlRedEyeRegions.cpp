#include "params/TlRedEyeRegions.h"

#include "filters/redeye/TlRedEyeFilter.h"
#include "infra/ByteBuffer.h"

#include <vector>

namespace {

std::vector<CByteBuffer> RegionRecords(const CTlRedEyeState::RegionList& regions)
{
    std::vector<CByteBuffer> records(regions.size());
    for (std::size_t i = 0; i < regions.size(); ++i) {
        const int count = static_cast<int>(regions[i].Count());
        if (records[i].Allocate(count))
            records[i].Write(regions[i].Data(), count);
        records[i].Rewind();
    }
    return records;
}

} // namespace

bool LoadRedEyeRegions(CRedEyeFilter& filter, bool manual, const CTlRedEyeState::RegionList& regions)
{
    std::vector<CByteBuffer> records = RegionRecords(regions);
    IKelvraError* error = filter.LoadRegions(manual, records);
    IKelvraError::Release(error);
    return error == nullptr;
}

bool StoreRedEyeRegions(CRedEyeFilter& filter, bool manual, CTlRedEyeState::RegionList& regions)
{
    std::vector<CByteBuffer> records;
    IKelvraError* error = filter.SaveRegions(manual, records, true);
    IKelvraError::Release(error);
    if (error != nullptr)
        return false;
    CTlRedEyeState::RegionList stored(records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        stored[i].Set(records[i].GetData(), std::size_t(records[i].GetSize()));
    regions.swap(stored);
    return true;
}
