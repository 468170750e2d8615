#include "filters/sigcore/TlSigProcImage.h"

#include "filters/sigcore/TlSigProcImageTag.h"
#include "filters/sigcore/TlSigcoreLibrary.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr std::uint32_t kCfaPatternTag = 0xA302;
constexpr std::uint32_t kMakerTableTag = 0x80014;

// The two colour-filter layouts the library develops: YCGM and BGGR.
const std::uint8_t kKnownCfaPatterns[2][8] = {{0, 2, 0, 2, 5, 3, 1, 4}, {0, 2, 0, 2, 2, 1, 1, 0}};

bool HasKnownCfaPattern(const IKelvraTagControl& tags)
{
    if (!tags.HasTag(kCfaPatternTag, 0) || tags.GetTagType(kCfaPatternTag) != kKelvraTagTypeBytes ||
        tags.GetTagSize(kCfaPatternTag, 0) != 8)
        return false;
    std::uint8_t pattern[8] = {};
    if (IKelvraError* error = tags.GetTag(kCfaPatternTag, kKelvraTagTypeBytes, 8, pattern, 0)) {
        IKelvraError::Release(error);
        return false;
    }
    for (const auto& known : kKnownCfaPatterns) {
        if (std::memcmp(pattern, known, sizeof pattern) == 0)
            return true;
    }
    return false;
}

void ReleaseImage(IKelvraImage*& image)
{
    if (image)
        image->Release();
    image = nullptr;
}

} // namespace

CSigProcImage::CSigProcImage(IKelvraManager* manager) : m_manager(manager)
{
    CSigcoreLibrary::AddUser();
}

CSigProcImage::~CSigProcImage()
{
    if (m_observer)
        m_observer->OnSigProcEvent(-4, this);
    if (m_ownsPrimary)
        ReleaseImage(m_primarySource);
    ReleaseImage(m_secondSource);
    ReleaseImage(m_output);
    CSigcoreLibrary::RemoveUser();
}

void CSigProcImage::Release()
{
    KelvraDataSourceGoing(this);
    delete this;
}

IKelvraError* CSigProcImage::Initialize(IKelvraLoad* rawFile, const IKelvraTagControl* tags, IKelvraImage* primary)
{
    if (!rawFile || !tags || !primary || !HasKnownCfaPattern(*tags) || !tags->HasTag(kMakerTableTag, 0))
        return RAW1_ERROR(kKelvraOperationFailed);
    std::vector<std::uint8_t> table;
    try {
        table.resize(tags->GetTagSize(kMakerTableTag, 0));
    } catch (const std::bad_alloc&) {
        return RAW1_ERROR(kKelvraOutOfMemory);
    }
    if (IKelvraError* error =
            tags->GetTag(kMakerTableTag, kKelvraTagTypeBytes, std::uint32_t(table.size()), table.data(), 0))
        return RAW1_WRAP(nullptr, error);
    m_makerTable.swap(table);
    SetPrimary(primary);

    KelvraFileInfo info{};
    info.size = sizeof info;
    if (IKelvraError* error = rawFile->GetFileInfo(&info))
        return RAW1_WRAP(nullptr, error);
    for (long number = 1; number <= long(info.subImageCount); ++number) {
        KelvraSubImageInfo sub{};
        sub.size = sizeof sub;
        if (IKelvraError* error = rawFile->GetSubImageInfo(number, &sub))
            return RAW1_WRAP(nullptr, error);
        if (sub.pixelFormat != kKelvraRawSig3)
            continue;
        if (!m_secondSource) {
            if (IKelvraError* error = m_manager->CreateImage(&m_secondSource))
                return RAW1_WRAP(nullptr, error);
        }
        if (IKelvraError* error = rawFile->LoadSubImage(number, m_secondSource, nullptr))
            return RAW1_WRAP(nullptr, error);
        m_stale = true;
        return nullptr;
    }
    DropSecondSource();
    m_stale = true;
    return nullptr;
}

void CSigProcImage::SetPrimary(IKelvraImage* primary)
{
    if (m_primarySource != primary && m_ownsPrimary)
        ReleaseImage(m_primarySource);
    m_primarySource = primary;
    m_ownsPrimary = true;
}

void CSigProcImage::DropSecondSource()
{
    m_useSecondSource = false;
    ReleaseImage(m_secondSource);
}

IKelvraError* CSigProcImage::SetParams(const int (&params)[kSigProcParamCount], bool notify)
{
    if (std::equal(std::begin(params), std::end(params), std::begin(m_params)))
        return nullptr;
    std::copy(std::begin(params), std::end(params), std::begin(m_params));
    m_stale = true;
    if (notify)
        return RAW1_WRAP(nullptr, KelvraSendDataNotification(this, kKelvraNotifyUpdateAll, nullptr));
    return nullptr;
}

void CSigProcImage::GetParams(int (&params)[kSigProcParamCount]) const
{
    std::copy(std::begin(m_params), std::end(m_params), std::begin(params));
}

void CSigProcImage::SetObserver(ISigProcObserver* observer)
{
    if (m_observer)
        m_observer->OnSigProcEvent(-4, this);
    m_observer = observer;
    if (m_observer)
        m_observer->OnSigProcEvent(-3, this);
}

IKelvraError* CSigProcImage::SelectSource(bool useSecond, bool notify)
{
    if (useSecond == m_useSecondSource || !m_secondSource)
        return nullptr;
    m_useSecondSource = useSecond;
    m_stale = true;
    if (notify)
        return RAW1_WRAP(nullptr, KelvraSendDataNotification(this, kKelvraNotifyUpdateAll, nullptr));
    return nullptr;
}

IKelvraImage* CSigProcImage::CurrentSource() const
{
    return m_useSecondSource && m_secondSource ? m_secondSource : m_primarySource;
}

IKelvraError* CSigProcImage::GetSize(long* width, long* height)
{
    if (!width || !height)
        return RAW1_ERROR(kKelvraMissingObject);
    const bool useSecond = m_useSecondSource;
    m_useSecondSource = false;
    IKelvraError* error = GetWidth(width);
    if (!error)
        error = GetHeight(height);
    m_useSecondSource = useSecond;
    return error;
}
