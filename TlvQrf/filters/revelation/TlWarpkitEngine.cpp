#include "filters/revelation/TlWarpkitEngine.h"

#include "filters/revelation/TlWarpkitLibrary.h"
#include "kelvra/KelvraTypes.h"

#include <algorithm>

namespace {

// Wrapper codes.
enum : long {
    kNotRunning = 1001,
    kAlreadyRunning = 1002,
    kMissingInput = 1003,
    kRegionTooSmall = 1004,
    kOutOfRange = 1007,
    kBadColorSpace = 1010,
    kRegionOutside = 1012,
};

constexpr long kStreamingMinimum = 16;
constexpr long kWholeStatisticsMinimum = 512;
constexpr long kWholeRenderMinimum = 24;

bool KindFits(long kind)
{
    return kind >= kWKITFirstKind && kind <= kWKITLastKind;
}

bool DepthFits(long bitsPerSample)
{
    return bitsPerSample == 8 || bitsPerSample == 10 || bitsPerSample == 12 || bitsPerSample == 14 ||
           bitsPerSample == 16;
}

bool FormatFits(KelvraPixelFormat format)
{
    return format == kKelvraGrey8 || format == kKelvraGrey16 || format == kKelvraRGB8 || format == kKelvraRGB16;
}

WKITRect ToEngine(const KelvraRect& rect)
{
    return {std::int32_t(rect.left), std::int32_t(rect.top), std::int32_t(rect.right), std::int32_t(rect.bottom)};
}

WKITImageRecord RecordFor(TlWarpkitImage* context, long width, long height, const KelvraRect& region, bool streaming)
{
    WKITImageRecord record{};
    record.context = context;
    record.width = std::int32_t(width);
    record.height = std::int32_t(height);
    record.region = ToEngine(region);
    record.streaming = streaming ? 1 : 0;
    return record;
}

IKelvraError* Wrapped(IKelvraError* inner, long line)
{
    return IKelvraError::AddWorker(nullptr, KelvraFourCC('W', 'K', 'I', 'T'), line, inner);
}

} // namespace

CWarpkitEngine::CWarpkitEngine(IKelvraManager* manager, bool streaming) : m_manager(manager), m_streaming(streaming)
{
}

CWarpkitEngine::~CWarpkitEngine()
{
    IKelvraError::Release(Close());
}

IKelvraError* CWarpkitEngine::Open(long kind)
{
    if (m_handle && m_kind == kind)
        return nullptr;
    IKelvraError* error = m_handle ? TlWarpkitRenewEngine(kind, &m_handle) : TlWarpkitNewEngine(kind, &m_handle);
    if (error)
        return Wrapped(error, __LINE__);
    m_kind = kind;
    return nullptr;
}

IKelvraError* CWarpkitEngine::CheckPass(bool inputsPresent, IKelvraDataSource* source, long bitsPerSample,
                                        long kind)
{
    if (!inputsPresent)
        return TL_WKIT_ERROR(kMissingInput);
    if (m_running)
        return TL_WKIT_ERROR(kAlreadyRunning);
    if (!KindFits(kind) || !DepthFits(bitsPerSample))
        return TL_WKIT_ERROR(kOutOfRange);
    return ReadSource(source, __LINE__);
}

IKelvraError* CWarpkitEngine::ReadSource(IKelvraDataSource* source, long codeLine)
{
    KelvraPixelFormat format = 0;
    IKelvraError* error = source->GetSize(&m_width, &m_height);
    if (!error)
        error = source->GetResolution(&m_resolution);
    if (!error)
        error = source->GetColorSpace(&format);
    if (error)
        return Wrapped(error, __LINE__);
    if (!FormatFits(format))
        return TlWarpkitError(kBadColorSpace, codeLine);
    m_source = source;
    m_lastRow = m_height - 1;
    m_bitsPerSample = long(KelvraBitsPerSample(format));
    m_isColor = !KelvraIsGrey(format);
    m_sourceContext = TlWarpkitImage();
    m_sourceContext.source = source;
    return nullptr;
}

IKelvraError* CWarpkitEngine::CheckSecondSource(IKelvraDataSource* second) const
{
    long width = 0, height = 0;
    KelvraPixelFormat format = 0;
    IKelvraError* error = second->GetSize(&width, &height);
    if (!error)
        error = second->GetColorSpace(&format);
    if (error)
        return Wrapped(error, __LINE__);
    const KelvraPixelFormat wanted = m_bitsPerSample > 8 ? kKelvraGrey16 : kKelvraGrey8;
    if (width != m_width || height != m_height || format != wanted)
        return TL_WKIT_ERROR(kRegionTooSmall);
    return nullptr;
}

IKelvraError* CWarpkitEngine::ChooseRegion(const KelvraRect* region, long minimum)
{
    const KelvraRect whole(0, 0, m_width, m_height);
    if (region && (region->left < 0 || region->top < 0 || region->left > region->right ||
                   region->top > region->bottom || region->right > m_width || region->bottom > m_height))
        return TL_WKIT_ERROR(kRegionOutside);
    m_region = region ? *region : whole;
    if (m_region.Width() < minimum || m_region.Height() < minimum)
        return TL_WKIT_ERROR(kRegionTooSmall);
    return nullptr;
}

IKelvraError* CWarpkitEngine::EnsureImage(IKelvraImage** image)
{
    if (*image)
        return nullptr;
    if (!m_manager)
        return TL_WKIT_ERROR(kMissingInput);
    IKelvraError* error = m_manager->CreateImage(image, 0);
    return error ? Wrapped(error, __LINE__) : nullptr;
}

void CWarpkitEngine::ReleaseImage(IKelvraImage** image)
{
    if (*image)
        (*image)->Release();
    *image = nullptr;
}

void CWarpkitEngine::TakeWholeThing()
{
    if (!m_holdsWholeThing)
        m_holdsWholeThing = TlWarpkitWholeThingLock().Lock();
}

void CWarpkitEngine::LeaveWholeThing()
{
    if (m_holdsWholeThing)
        TlWarpkitWholeThingLock().Leave();
    m_holdsWholeThing = false;
}

IKelvraError* CWarpkitEngine::FailPass(IKelvraError* error)
{
    if (m_handle) {
        WKITMessage message{};
        const int result = WKITAbort(m_handle, &message);
        if (result != kWKITOk) {
            // An engine that cannot be stopped is not used again; the failure
            // that ended the pass is the one reported.
            IKelvraError::Release(TL_WKIT_RESULT(result, message));
            TlWarpkitDeleteEngine(m_handle);
            m_handle = nullptr;
        }
    }
    LeaveWholeThing();
    m_running = false;
    ReleaseImage(&m_workImage);
    if (m_statisticsPass) // half a statistics image is no ground for a rendering
        ReleaseImage(&m_statisticsImage);
    return error;
}

void CWarpkitEngine::FillParameters(long pass)
{
    m_parameters = WKITParameters();
    m_parameters.size = sizeof(WKITParameters);
    m_parameters.version = 1;
    m_parameters.sampleBits = 16;
    m_parameters.inputCount = m_secondSource ? 2 : 1;
    m_parameters.resolution = std::int32_t(m_resolution);
    m_parameters.lastRow = std::int32_t(m_lastRow);
    m_parameters.flag = m_flag ? 1 : 0;
    m_parameters.pass = std::int32_t(pass);
    m_parameters.read = TlWarpkitReadRows;
    m_parameters.write = TlWarpkitWriteRows;
    m_parameters.allocate = TlWarpkitAllocate;
    m_parameters.release = TlWarpkitRelease;
    m_parameters.suggest = TlWarpkitSuggest;
    m_parameters.input = &m_inputRecord;
    if (pass != kWKITRenderPass)
        return;
    m_parameters.statistics = &m_statisticsRecord;
    m_parameters.output = &m_outputRecord;
    m_parameters.work = &m_workRecord;
    if (m_streaming) {
        const std::int32_t values[5] = {-1, -1, std::int32_t(m_values[0]), std::int32_t(m_values[1]),
                                        std::int32_t(m_values[2])};
        std::copy(values, values + 5, m_parameters.values);
    }
}

IKelvraError* CWarpkitEngine::BeginStatistics(IKelvraDataSource* source, bool flag, long bitsPerSample, long kind,
                                              const KelvraRect* region, IKelvraDataSource* secondSource)
{
    if (IKelvraError* error = CheckPass(source != nullptr, source, bitsPerSample, kind))
        return error;
    if (secondSource) {
        if (IKelvraError* error = CheckSecondSource(secondSource))
            return error;
    }
    m_secondSource = secondSource;
    m_sourceContext.second = secondSource;
    m_flag = flag;
    IKelvraError* error = EnsureImage(&m_statisticsImage);
    if (!error)
        error = Open(kind);
    if (!error)
        error = ChooseRegion(region, m_streaming ? kStreamingMinimum : kWholeStatisticsMinimum);
    if (error)
        return error;
    m_statisticsRegion = m_region;
    return StartStatistics();
}

IKelvraError* CWarpkitEngine::StartStatistics()
{
    FillParameters(kWKITStatisticsPass);
    m_inputRecord = RecordFor(&m_sourceContext, m_width, m_height, m_region, m_streaming);
    m_statisticsPass = true;
    TakeWholeThing();
    WKITOutputDescription output{};
    m_message = WKITMessage();
    if (IKelvraError* error = TL_WKIT_RESULT(WKITInit(m_handle, &m_parameters, &output, &m_message), m_message))
        return FailPass(error);
    IKelvraError* error = m_statisticsImage->SetColorSpace(kKelvraGrey16);
    if (!error)
        error = m_statisticsImage->SetSize(output.statisticsWidth, output.statisticsHeight);
    if (error)
        return FailPass(Wrapped(error, __LINE__));
    m_statisticsContext = TlWarpkitImage();
    m_statisticsContext.source = m_statisticsImage;
    m_statisticsContext.image = m_statisticsImage;
    m_statisticsRecord = RecordFor(&m_statisticsContext, output.statisticsWidth, output.statisticsHeight,
                                   m_statisticsRegion, m_streaming);
    m_message = WKITMessage();
    if (IKelvraError* error = TL_WKIT_RESULT(WKITSetStatisticsImageInfo(m_handle, &m_statisticsRecord), m_message))
        return FailPass(error);
    if (IKelvraError* error = TL_WKIT_RESULT(WKITBegin(m_handle, &m_message), m_message))
        return FailPass(error);
    m_running = true;
    return nullptr;
}

IKelvraError* CWarpkitEngine::PrepareDestination(IKelvraImage* destination, long bitsPerSample, bool streamingFlag)
{
    const KelvraPixelFormat wanted = m_isColor ? (bitsPerSample == 8 ? kKelvraRGB8 : kKelvraRGB16)
                                               : (bitsPerSample == 8 ? kKelvraGrey8 : kKelvraGrey16);
    long width = 0, height = 0;
    KelvraPixelFormat format = 0;
    IKelvraError* error = destination->GetSize(&width, &height);
    if (!error)
        error = destination->GetColorSpace(&format);
    const long wantedWidth = streamingFlag ? m_width : m_region.Width();
    const long wantedHeight = streamingFlag ? m_height : m_region.Height();
    if (!error && (width != wantedWidth || height != wantedHeight))
        error = destination->SetSize(wantedWidth, wantedHeight);
    if (!error && format != wanted)
        error = destination->SetColorSpace(wanted);
    if (!error)
        error = destination->SetResolution(m_resolution);
    return error ? Wrapped(error, __LINE__) : nullptr;
}

IKelvraError* CWarpkitEngine::BeginRender(IKelvraDataSource* source, long p0, long p1, long p2,
                                          IKelvraImage* destination, bool flag, long bitsPerSample, long kind,
                                          bool streamingFlag, const KelvraRect* region)
{
    if (IKelvraError* error = CheckPass(source && destination && m_statisticsImage, source, bitsPerSample, kind))
        return error;
    m_secondSource = nullptr;
    m_flag = flag;
    m_values[0] = p0;
    m_values[1] = p1;
    m_values[2] = p2;
    if (IKelvraError* error = ChooseRegion(region, m_streaming ? kStreamingMinimum : kWholeRenderMinimum))
        return error;
    if (IKelvraError* error = PrepareDestination(destination, bitsPerSample, streamingFlag))
        return error;
    m_destination = destination;
    m_destinationContext = TlWarpkitImage();
    m_destinationContext.image = destination;
    KelvraPixelFormat statisticsFormat = 0;
    if (IKelvraError* error = m_statisticsImage->GetColorSpace(&statisticsFormat))
        return Wrapped(error, __LINE__);
    if (statisticsFormat != kKelvraGrey16)
        return TL_WKIT_ERROR(kBadColorSpace);
    if (IKelvraError* error = Open(kind))
        return error;
    long statisticsWidth = 0, statisticsHeight = 0;
    if (IKelvraError* error = m_statisticsImage->GetSize(&statisticsWidth, &statisticsHeight))
        return Wrapped(error, __LINE__);
    m_statisticsContext = TlWarpkitImage();
    m_statisticsContext.source = m_statisticsImage;
    m_statisticsRecord =
        RecordFor(&m_statisticsContext, statisticsWidth, statisticsHeight, m_statisticsRegion, m_streaming);
    m_bands = TlPlanBands(m_streaming, bitsPerSample, m_region.Width(), m_region.Height());
    m_bandIndex = 0;
    m_statisticsPass = false;
    m_outputOffsetX = streamingFlag ? 0 : m_region.left;
    m_outputOffsetY = streamingFlag ? 0 : m_region.top;
    return StartBand();
}

IKelvraError* CWarpkitEngine::StartBand()
{
    const long top = m_region.top + m_bandIndex * m_bands.rows;
    const KelvraRect band(m_region.left, top, m_region.right, std::min(m_region.bottom, top + m_bands.rows));
    if (band.left < 0 || band.top < 0 || band.right > m_width || band.bottom > m_height || band.IsEmpty())
        return FailPass(TL_WKIT_ERROR(kRegionOutside));
    const long margin = 2 * kWKITBandMargin;
    IKelvraError* error = EnsureImage(&m_workImage);
    if (!error)
        error = m_workImage->SetColorSpace(kKelvraRGB16);
    if (!error)
        error = m_workImage->SetSize(band.Width() + margin, band.Height() + margin);
    if (error)
        return FailPass(Wrapped(error, __LINE__));
    m_workContext = TlWarpkitImage();
    m_workContext.source = m_workImage;
    m_workContext.image = m_workImage;
    const KelvraRect workArea(0, 0, band.Width() + margin, band.Height() + margin);
    m_workRecord = RecordFor(&m_workContext, workArea.right, workArea.bottom, workArea, m_streaming);
    const KelvraRect placed(band.left - m_outputOffsetX, band.top - m_outputOffsetY, band.right - m_outputOffsetX,
                            band.bottom - m_outputOffsetY);
    m_outputRecord = RecordFor(&m_destinationContext, placed.right, placed.bottom, placed, m_streaming);
    FillParameters(kWKITRenderPass);
    m_inputRecord = RecordFor(&m_sourceContext, m_width, m_height, band, m_streaming);
    TakeWholeThing();
    WKITOutputDescription output{};
    m_message = WKITMessage();
    if (IKelvraError* failure = TL_WKIT_RESULT(WKITInit(m_handle, &m_parameters, &output, &m_message), m_message))
        return FailPass(failure);
    if (IKelvraError* failure = TL_WKIT_RESULT(WKITBegin(m_handle, &m_message), m_message))
        return FailPass(failure);
    m_running = true;
    return nullptr;
}

IKelvraError* CWarpkitEngine::Step(long* percentDone, long slice)
{
    if (!m_running)
        return TL_WKIT_ERROR(kNotRunning);
    int progress = 0;
    m_message = WKITMessage();
    if (IKelvraError* error = TL_WKIT_RESULT(WKITProcess(m_handle, int(slice), &progress, &m_message), m_message))
        return FailPass(error);
    if (percentDone)
        *percentDone = m_statisticsPass ? progress : (progress + m_bandIndex * 100) / m_bands.count;
    return WKITComplete(m_handle) ? FinishSlice() : nullptr;
}

IKelvraError* CWarpkitEngine::FinishSlice()
{
    m_message = WKITMessage();
    if (IKelvraError* error = TL_WKIT_RESULT(WKITEnd(m_handle, &m_message), m_message))
        return FailPass(error);
    LeaveWholeThing();
    if (!m_statisticsPass && ++m_bandIndex < m_bands.count)
        return StartBand();
    m_running = false;
    ReleaseImage(&m_workImage);
    return nullptr;
}

IKelvraError* CWarpkitEngine::Abort()
{
    if (!m_running)
        return TL_WKIT_ERROR(kNotRunning);
    m_message = WKITMessage();
    const int result = WKITAbort(m_handle, &m_message);
    LeaveWholeThing();
    IKelvraError* error = TL_WKIT_RESULT(result, m_message);
    if (result != kWKITOk) { // an engine that cannot be stopped is not used again
        TlWarpkitDeleteEngine(m_handle);
        m_handle = nullptr;
    }
    m_running = false;
    if (m_statisticsPass)
        ReleaseImage(&m_statisticsImage);
    ReleaseImage(&m_workImage);
    return error;
}

IKelvraError* CWarpkitEngine::Close()
{
    IKelvraError* error = nullptr;
    if (m_handle) {
        if (m_running)
            error = Abort();
        if (m_handle)
            TlWarpkitDeleteEngine(m_handle);
        m_handle = nullptr;
    }
    LeaveWholeThing();
    m_running = false;
    ReleaseImage(&m_workImage);
    ReleaseImage(&m_statisticsImage);
    return error ? Wrapped(error, __LINE__) : nullptr;
}
