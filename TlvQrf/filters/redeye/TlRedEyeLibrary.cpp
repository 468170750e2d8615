#include "filters/redeye/TlRedEyeLibrary.h"

#include "infra/ByteBuffer.h"
#include "kelvra/KelvraError.h"

#include <climits>

namespace {

bool ReadFromBuffer(void* context, void* bytes, std::uint32_t count)
{
    return count <= INT_MAX && static_cast<CByteBuffer*>(context)->Read(bytes, int(count)) == int(count);
}

bool WriteToBuffer(void* context, const void* bytes, std::uint32_t count)
{
    return count <= INT_MAX && static_cast<CByteBuffer*>(context)->Write(bytes, int(count)) == int(count);
}

} // namespace

long TlRedEyeStatusCode(std::uint32_t status)
{
    switch (status) {
    case ReOk:
    case ReOkNothingFound:
        return 0;
    case ReMissingArgument:
        return kKelvraMissingObject;
    case ReOutOfMemory:
        return kKelvraOutOfMemory;
    default:
        return kKelvraOperationFailed;
    }
}

const TlRedEyeCalls& TlEyemendCalls()
{
    static const TlRedEyeCalls calls{ReDetectAuto, ReDetectNearest, ReFindRedPoint, ReCorrectRegions};
    return calls;
}

KelvraRect TlRedEyeNoticeRect(const ReRegion& region)
{
    return KelvraRect(region.left, region.top, long(region.right) + 1, long(region.bottom) + 1);
}

ReRegion* TlRedEyeLoadRecord(CByteBuffer& record)
{
    record.Rewind();
    ReRegion* region = nullptr;
    if (ReLoadRegion(ReadFromBuffer, &record, std::uint32_t(record.GetSize()), &region) != ReOk)
        return nullptr;
    return region;
}

ReStatus TlRedEyeSaveRecord(const ReRegion& region, CByteBuffer& record)
{
    std::uint32_t size = 0;
    if (const ReStatus status = ReSaveRegion(&region, nullptr, nullptr, &size))
        return status;
    if (size > INT_MAX || !record.Allocate(int(size)))
        return ReOutOfMemory;
    return ReSaveRegion(&region, WriteToBuffer, &record, &size);
}
