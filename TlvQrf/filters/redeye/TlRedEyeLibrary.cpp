#include "filters/redeye/TlRedEyeLibrary.h"

#include "infra/ByteBuffer.h"
#include "kelvra/KelvraError.h"

long TlRedEyeStatusCode(std::uint32_t status)
{
    switch (status) {
    case kRedEyeSuccess:
    case kRedEyeSuccessWithInfo:
        return 0;
    case kRedEyeMissingObject:
        return kKelvraMissingObject;
    case kRedEyeOutOfMemory:
        return kKelvraOutOfMemory;
    default:
        return kKelvraOperationFailed;
    }
}

std::uint32_t TlRedEyeFindRedPoint(const TlRedEyeParams&, long, long, long)
{
    return kRedEyeUnavailable;
}

std::uint32_t TlRedEyeDetectAuto(const TlRedEyeParams&, TlRedEyeRegionList&)
{
    return kRedEyeUnavailable;
}

std::uint32_t TlRedEyeDetectNearest(const TlRedEyeParams&, long, long, TlRedEyeRegionList&)
{
    return kRedEyeUnavailable;
}

std::uint32_t TlRedEyeCorrectRegions(const TlRedEyeParams&, const TlRedEyeRegionList&)
{
    return kRedEyeUnavailable;
}

std::uint32_t TlRedEyeLoadRegion(const unsigned char*, int, void** region)
{
    *region = nullptr;
    return kRedEyeUnavailable;
}

std::uint32_t TlRedEyeInsertRegion(TlRedEyeRegionList&, void*)
{
    return kRedEyeUnavailable;
}

std::uint32_t TlRedEyeSaveRegions(const TlRedEyeRegionList&, bool, std::vector<CByteBuffer>&)
{
    return kRedEyeUnavailable;
}

void TlRedEyeEmptyList(TlRedEyeRegionList& list)
{
    list.head = nullptr;
}
