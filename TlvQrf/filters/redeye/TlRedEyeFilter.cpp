#include "filters/redeye/TlRedEyeFilter.h"

#include "filters/frame/TlPassThrough.h"
#include "filters/frame/TlPixelFormats.h"
#include "infra/ByteBuffer.h"
#include "kelvra/KelvraTagControl.h"

#include <cmath>
#include <limits>

namespace {

enum : std::uint32_t {
    kTagCameraModel = 0x110,
    kTagSubjectDistance = 0x9206,
    kTagFlash = 0x9209,
    kTagFocalLength = 0x920A,
};

// The detection's progress function: one slot for the whole process.
TlRedEyeProgress g_detectionProgress = nullptr;

bool AcceptsRgb(KelvraPixelFormat format)
{
    return format == kKelvraRGB8 || format == kKelvraRGB16;
}

const CTlFormatCheck kRgbOnly{AcceptsRgb, TlFormatRejection::Text};

// A stored double cut to an int; values an int cannot hold are held at its
// limits and a NaN reads as 0.
std::int32_t TruncatedToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= double(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (value >= double(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return std::int32_t(value);
}

// Reads a tag of exactly sizeof(Value) bytes into `value`; other sizes (a
// missing tag has none) leave it alone.
template <typename Value>
IKelvraError* ReadFixedTag(const IKelvraTagControl& tags, std::uint32_t id, Value* value)
{
    if (tags.GetTagSize(id, 0) != sizeof(Value))
        return nullptr;
    return tags.GetTag(id, kKelvraTagTypeBytes, sizeof(Value), value, 0);
}

} // namespace

CRedEyeFilter::CRedEyeFilter(IKelvraManager* manager) : CTlFilter(manager, 1) {}

CRedEyeFilter::~CRedEyeFilter()
{
    TlRedEyeEmptyList(m_automatic);
    TlRedEyeEmptyList(m_manual);
}

const char* CRedEyeFilter::GetFilterName() const
{
    return "Ombrix redeye filter";
}

IKelvraError* CRedEyeFilter::Chain(IKelvraError* chain, long line, IKelvraError* step) const
{
    return step == nullptr ? chain : AddWorker(chain, line, step);
}

IKelvraError* CRedEyeFilter::SetShootingInfo(IKelvraTagControl* tags)
{
    if (m_shootingInfo.size != 0)
        return nullptr;
    m_shootingInfo.size = sizeof(TlRedEyeShootingInfo);
    m_params.shootingInfo = &m_shootingInfo;
    if (tags == nullptr)
        return nullptr;

    IKelvraError* chain = nullptr;
    const std::uint32_t modelSize = tags->GetTagSize(kTagCameraModel, 0);
    if (modelSize > 0) {
        m_cameraModel.assign(std::size_t(modelSize) + 1, '\0'); // a zero after the text in any case
        IKelvraError* error = tags->GetTag(kTagCameraModel, kKelvraTagTypeBytes, modelSize, m_cameraModel.data(), 0);
        chain = Chain(chain, __LINE__, error);
        if (error == nullptr)
            m_shootingInfo.cameraModel = m_cameraModel.data();
    }
    double focalLength = 0.0;
    chain = Chain(chain, __LINE__, ReadFixedTag(*tags, kTagFocalLength, &focalLength));
    m_shootingInfo.focalLength = TruncatedToInt(focalLength);
    double subjectDistance = 0.0;
    chain = Chain(chain, __LINE__, ReadFixedTag(*tags, kTagSubjectDistance, &subjectDistance));
    m_shootingInfo.subjectDistance = TruncatedToInt(subjectDistance);
    std::int32_t flash = 0;
    chain = Chain(chain, __LINE__, ReadFixedTag(*tags, kTagFlash, &flash));
    m_shootingInfo.flash = flash != 0 ? 1 : 0;
    return chain;
}

IKelvraError* CRedEyeFilter::SetMode(int mode, bool notify)
{
    if (mode == m_mode)
        return nullptr;
    if (mode < kModeNone || mode > kModeManual)
        return TL_FILTER_ERROR(kKelvraBadArgument);

    IKelvraError* chain = nullptr;
    switch (m_mode) {
    case kModeNone: // only manual mode corrects anything
        if (mode == kModeManual) {
            chain = Chain(chain, __LINE__, CorrectList(m_manual, notify));
            if (m_keepAutomatic)
                chain = Chain(chain, __LINE__, CorrectList(m_automatic, notify));
        }
        break;
    case kModeAutomatic:
        if (mode == kModeNone || !m_keepAutomatic)
            chain = Chain(chain, __LINE__, RestoreList(m_automatic, notify));
        if (mode == kModeManual)
            IKelvraError::Release(CorrectList(m_manual, true)); // the manual regions are a best effort here
        break;
    default:
        chain = Chain(chain, __LINE__, RestoreList(m_manual, notify));
        if (mode == kModeNone && m_keepAutomatic)
            chain = Chain(chain, __LINE__, RestoreList(m_automatic, notify));
        break;
    }
    m_mode = mode;
    return chain;
}

IKelvraError* CRedEyeFilter::DetectAuto(TlRedEyeProgress progress, int progressArgument, bool notify)
{
    g_detectionProgress = progress;
    (void)progressArgument;
    if (!m_detected) {
        const long code = TlRedEyeStatusCode(TlRedEyeDetectAuto(m_params, m_automatic));
        // A detection that failed is not remembered as done: the next call
        // tries again instead of reporting success with nothing found.
        if (code != 0)
            return TL_FILTER_ERROR(code);
        m_detected = true;
    }
    IKelvraError* chain = Chain(nullptr, __LINE__, CorrectList(m_automatic, notify));
    m_mode = kModeAutomatic;
    return chain;
}

IKelvraError* CRedEyeFilter::CorrectAtPoint(bool notify)
{
    if (!m_clickPending)
        return nullptr;
    IKelvraError* chain = SetMode(kModeManual, notify);
    TlRedEyeRegionList found;
    const std::uint32_t status = TlRedEyeDetectNearest(m_params, m_clickX, m_clickY, found);
    // A click where nothing is found or nothing can be corrected is no error.
    if (TlRedEyeStatusCode(status) == 0)
        IKelvraError::Release(CorrectList(found, notify));
    TlRedEyeEmptyList(found);
    m_clickPending = false;
    return chain;
}

IKelvraError* CRedEyeFilter::ClearManualRegions(bool notify)
{
    IKelvraError* chain = Chain(nullptr, __LINE__, RestoreList(m_manual, notify));
    TlRedEyeEmptyList(m_manual);
    return chain;
}

IKelvraError* CRedEyeFilter::LoadRegions(bool manual, std::vector<CByteBuffer>& records)
{
    TlRedEyeRegionList& list = manual ? m_manual : m_automatic;
    TlRedEyeEmptyList(list);
    for (CByteBuffer& record : records) {
        record.Rewind();
        void* region = nullptr;
        TlRedEyeLoadRegion(record.GetData(), record.GetSize(), &region);
        if (region == nullptr)
            continue; // a record that cannot be read is skipped
        const long code = TlRedEyeStatusCode(TlRedEyeInsertRegion(list, region));
        if (code != 0)
            return TL_FILTER_ERROR(code);
    }
    return nullptr;
}

IKelvraError* CRedEyeFilter::SaveRegions(bool manual, std::vector<CByteBuffer>& records, bool all)
{
    const TlRedEyeRegionList& list = manual ? m_manual : m_automatic;
    if (list.IsEmpty())
        return nullptr;
    if (!all && !manual && !(m_detected && records.empty()))
        return nullptr;
    if (all)
        records.clear();
    const long code = TlRedEyeStatusCode(TlRedEyeSaveRegions(list, manual && !all, records));
    return code != 0 ? TL_FILTER_ERROR(code) : nullptr;
}

bool CRedEyeFilter::ReFindRedPoint(long x, long y)
{
    m_clickPending = false;
    IKelvraDataSource* source = GetSourceCount() > 0 ? GetSource(0) : nullptr;
    if (source == nullptr)
        return false;
    long width = 0;
    long height = 0;
    if (IKelvraError* error = source->GetSize(&width, &height)) {
        IKelvraError::Release(error);
        return false;
    }
    if (x < 0 || y < 0 || x >= width || y >= height)
        return false;
    if (TlRedEyeStatusCode(TlRedEyeFindRedPoint(m_params, x, y, kClickRadius)) != 0)
        return false;
    SetPendingClick(x, y);
    return true;
}

void CRedEyeFilter::SetPendingClick(long x, long y)
{
    m_clickX = std::int32_t(x);
    m_clickY = std::int32_t(y);
    m_clickPending = true;
}

IKelvraError* CRedEyeFilter::CorrectList(TlRedEyeRegionList& list, bool notify)
{
    if (list.IsEmpty())
        return nullptr;
    if (TlRedEyeStatusCode(TlRedEyeCorrectRegions(m_params, list)) != 0)
        return TL_FILTER_ERROR(kKelvraOperationFailed);
    m_stale = true;
    // Announcing each corrected region belongs with the region work of the
    // tile worker; until then the whole output is announced.
    return NotifyChanged(notify);
}

IKelvraError* CRedEyeFilter::RestoreList(TlRedEyeRegionList& list, bool notify)
{
    if (list.IsEmpty())
        return nullptr;
    // Copying the regions back from the source belongs with the working
    // copy, which is not made yet: the output is the source already.
    m_stale = true;
    return NotifyChanged(notify);
}

IKelvraError* CRedEyeFilter::KelvraNotify(IKelvraDataSource* source, long code, void* data)
{
    m_prepare = true;
    return CTlFilter::KelvraNotify(source, code, data);
}

IKelvraError* CRedEyeFilter::FilterData(IKelvraDataSource* source, KelvraRect* rect)
{
    m_prepare = true;
    return CTlFilter::FilterData(source, rect);
}

IKelvraError* CRedEyeFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    // The working copy and its corrected regions are not made yet: pixels
    // pass unchanged.
    auto copy = TlCopySourceRows;
    return GenerateFromSourceTiles(tile, info, kRgbOnly, copy);
}
