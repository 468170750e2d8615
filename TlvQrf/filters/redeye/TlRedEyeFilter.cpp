#include "filters/redeye/TlRedEyeFilter.h"

#include "infra/ByteBuffer.h"
#include "kelvra/KelvraTagControl.h"

#include <atomic>
#include <cmath>
#include <limits>
#include <new>

namespace {

enum : std::uint32_t {
    kTagCameraModel = 0x110,
    kTagSubjectDistance = 0x9206,
    kTagFlash = 0x9209,
    kTagFocalLength = 0x920A,
};

// The detection's progress function: one slot for the whole process (only
// the preview update detects, and its updates run one at a time).
std::atomic<TlRedEyeProgress> g_detectionProgress{nullptr};

// The library's progress (done, phase, scale) passed on with the phases
// the filter's callers know; true, stopping the detection, when the
// function asks to stop.
bool DetectionProgress(long done, long phase, long scale)
{
    const TlRedEyeProgress progress = g_detectionProgress.load();
    if (progress == nullptr)
        return false;
    const long known = phase == 0 || phase == 2 ? phase : 1;
    return !progress(done, known, scale);
}

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

CRedEyeFilter::CRedEyeFilter(IKelvraManager* manager, const TlRedEyeCalls& calls)
    : CTlFilter(manager, 1), m_calls(calls)
{
    m_params.size = sizeof(ReParams);
}

CRedEyeFilter::~CRedEyeFilter() = default;

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
    if (IKelvraError* error = Prepare(nullptr))
        return TL_FILTER_WRAP(error);
    if (!m_detected) {
        const ReStatus status = m_calls.detectAuto(&m_params, 0, progress != nullptr ? DetectionProgress : nullptr,
                                                   progressArgument, 0, m_automatic.Get());
        // A detection that failed is not remembered as done: the next call
        // tries again instead of reporting success with nothing found.
        if (const long code = TlRedEyeStatusCode(status))
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
    const RePoint click{m_clickX, m_clickY};
    IKelvraError* chain = SetMode(kModeManual, notify);
    CTlRedEyeList found;
    // A click where nothing is found or nothing can be corrected is no
    // error; a detection that succeeds without a region changes nothing.
    IKelvraError* prepared = Prepare(nullptr);
    if (prepared == nullptr &&
        TlRedEyeStatusCode(m_calls.detectNearest(&m_params, click, kClickRadius, 0, 0, 0, found.Get())) == 0 &&
        !found.IsEmpty() && TlRedEyeStatusCode(CorrectPixels(found)) == 0) {
        const KelvraRect changed = TlRedEyeNoticeRect(*found.First());
        ReListMerge(m_manual.Get(), found.Get());
        m_stale = true;
        chain = Chain(chain, __LINE__, NotifyChanged(notify, changed));
    }
    IKelvraError::Release(prepared);
    m_clickPending = false;
    return chain;
}

IKelvraError* CRedEyeFilter::ClearManualRegions(bool notify)
{
    IKelvraError* chain = Chain(nullptr, __LINE__, RestoreList(m_manual, notify));
    m_manual.Empty();
    return chain;
}

IKelvraError* CRedEyeFilter::LoadRegions(bool manual, std::vector<CByteBuffer>& records)
{
    CTlRedEyeList& list = manual ? m_manual : m_automatic;
    list.Empty();
    for (CByteBuffer& record : records) {
        ReRegion* region = TlRedEyeLoadRecord(record);
        if (region == nullptr)
            continue; // a record that cannot be read is skipped
        const ReStatus status = ReListInsert(list.Get(), region);
        if (status != ReOk) {
            ReList orphan{region, region};
            ReListEmpty(&orphan);
            return TL_FILTER_ERROR(TlRedEyeStatusCode(status));
        }
    }
    return nullptr;
}

IKelvraError* CRedEyeFilter::SaveRegions(bool manual, std::vector<CByteBuffer>& records, bool all)
{
    const CTlRedEyeList& list = manual ? m_manual : m_automatic;
    if (list.IsEmpty())
        return nullptr;
    if (!all && manual)
        return SaveRegion(*list.Last(), records);
    if (!all && !(m_detected && records.empty()))
        return nullptr;
    if (all)
        records.clear();
    IKelvraError* error = nullptr;
    list.ForEach([&](const ReRegion& region) {
        if (error == nullptr)
            error = SaveRegion(region, records);
    });
    return error;
}

IKelvraError* CRedEyeFilter::SaveRegion(const ReRegion& region, std::vector<CByteBuffer>& records) const
{
    try {
        records.emplace_back();
    } catch (const std::bad_alloc&) {
        return TL_FILTER_ERROR(kKelvraOutOfMemory);
    }
    const long code = TlRedEyeStatusCode(TlRedEyeSaveRecord(region, records.back()));
    if (code == 0)
        return nullptr;
    records.pop_back();
    return TL_FILTER_ERROR(code);
}

std::vector<ReRegion> CRedEyeFilter::GetRegions(bool manual) const
{
    std::vector<ReRegion> regions;
    (manual ? m_manual : m_automatic).ForEach([&](const ReRegion& region) { regions.push_back(region); });
    return regions;
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
    if (IKelvraError* error = Prepare(nullptr)) {
        IKelvraError::Release(error);
        return false;
    }
    const RePoint point{std::int32_t(x), std::int32_t(y)};
    if (TlRedEyeStatusCode(m_calls.findRedPoint(&m_params, point, kClickRadius)) != 0)
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
