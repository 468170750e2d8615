// Attaching the lens data of a picture to a fisheye filter.
#include "filters/fisheye/TlFisheyeLensCache.h"

#include "infra/TlSync.h"

extern const char kTlFisheyeLensNotSupported[] = "Error: fisheye lens model is not supported.";
extern const char kTlFisheyeLensFileUnmapped[] = "Error: eronate lensmodel-to-file mapping.";

namespace {

// Serialises SetLens calls around the lens model cache; taken before the
// lens information class lock, never after it.
Tl::CSyncBase& SectionLock()
{
    static Tl::CSyncCritical lock("CFisheyeFilter-InitSection", -1);
    return lock;
}

} // namespace

IKelvraError* CFisheyeFilter::SetLens(const IKelvraTagControl* tags)
{
    IKelvraError* error = nullptr;
    char path[CTlLensInformation::kPathCapacity];
    if (CTlLensInformation::IdentifyLens(tags) != CTlLensInformation::kSupportedLensCode)
        error = TL_FILTER_TEXT(kTlFisheyeLensNotSupported);
    else if (CTlLensInformation::GetLensFilePath(path, CTlLensInformation::kSupportedLensCode) != 0)
        error = TL_FILTER_TEXT(kTlFisheyeLensFileUnmapped);

    // The curves of another picture's lens must not stay in use after a
    // failure, so the old lens goes whatever happens.
    Tl::CSyncLock guard(SectionLock());
    DropLens();
    if (error)
        return error;
    const CLensCriteria criteria(CTlLensInformation::kSupportedLensCode);
    if (IKelvraError* failed = CliManager::Instance().GetLensInformation(criteria, m_lensInformation))
        return TL_FILTER_WRAP(failed);

    CTlLensInformation* lens = m_lensInformation.Get();
    lens->SetClient(&CliManager::Instance());
    lens->SetLensCode(CTlLensInformation::kSupportedLensCode);
    TakeCurves();
    return nullptr;
}

bool TlIsLensFileRejected(const IKelvraError* error)
{
    const IKelvraError* cause = error ? error->FindCause() : nullptr;
    return cause && cause->GetCode() == kTlFisheyeLensFileRejected;
}
