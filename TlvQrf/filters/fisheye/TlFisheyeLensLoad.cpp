// Making a lens information object for the cache and filling it from the
// lens's data file.
#include "filters/fisheye/TlFisheyeLensCache.h"

#include "infra/TlWholeFile.h"

#include <new>
#include <vector>

namespace {

constexpr KelvraTag kFisheyeTag = TlFilterId("FEye");

IKelvraError* FisheyeError(long line, long code)
{
    return IKelvraError::Add(nullptr, kFisheyeTag, line, kKelvraCategoryKelvra, code);
}

} // namespace

IKelvraError* CFisheyeFilter::CliManager::CreateLensInformation(const CLensCriteria&, CTlLensReference& lens)
{
    CTlLensInformation* object = new (std::nothrow) CTlLensInformation;
    if (!object)
        return FisheyeError(__LINE__, kKelvraOutOfMemory);
    if (!lens.PointAt(object)) {
        delete object;
        return FisheyeError(__LINE__, kKelvraOutOfMemory);
    }
    return nullptr;
}

IKelvraError* CFisheyeFilter::CliManager::LoadLensModel(const CLensCriteria& criteria, CTlLensReference& lens)
{
    char path[CTlLensInformation::kPathCapacity];
    if (CTlLensInformation::GetLensFilePath(path, criteria.GetLensCode()) != 0)
        return IKelvraError::Add(nullptr, kFisheyeTag, __LINE__, kTlFisheyeLensNotSupported);
    // A file longer than the record cannot be one and is not read.
    std::vector<unsigned char> bytes;
    switch (TlReadWholeFile(path, CTlLensInformation::kStoredSize, bytes)) {
    case TlWholeFileResult::kRead:
        break;
    case TlWholeFileResult::kTooLong:
        return FisheyeError(__LINE__, kTlFisheyeLensFileRejected);
    case TlWholeFileResult::kNoMemory:
        return FisheyeError(__LINE__, kKelvraOutOfMemory);
    case TlWholeFileResult::kUnreadable:
        return FisheyeError(__LINE__, kTlFisheyeLensFileUnreadable);
    }
    if (lens.Get()->Load(bytes.data(), static_cast<int>(bytes.size())) == 0)
        return FisheyeError(__LINE__, kTlFisheyeLensFileRejected);
    return nullptr;
}
