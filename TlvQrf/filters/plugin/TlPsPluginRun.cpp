// A run of the plug-in: the image it is told about, the rectangle it filters,
// the selectors in their order, its output and its errors.
#include "filters/plugin/TlPsPluginHost.h"

#include "filters/frame/TlFilterId.h"
#include "filters/plugin/TlPsPluginSupport.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {

constexpr KelvraTag kHostTag = TlFilterId("Plug");
// How far the rectangle the plug-in filters reaches beyond the one asked
// for: nothing, since the output buffer is sized for the asked one.
constexpr std::int32_t kMargin = 0;
constexpr long kFallbackTileSize = 64;

std::int16_t ImageMode(KelvraPixelFormat format)
{
    switch (format) {
    case 0x01020001: return kPsModeBitmap;
    case kKelvraGrey8: return kPsModeGrey;
    case kKelvraRGB8: return kPsModeRGB;
    case kKelvraCMYK8: return kPsModeCMYK;
    case kKelvraGrey16: return kPsModeGrey16;
    case kKelvraRGB16: return kPsModeRGB16;
    default: return -1;
    }
}

PsFixed ToFixed(double value)
{
    return PsFixed(std::int64_t(value) << 16);
}

} // namespace

PsRect CPluginHost::ImageRect() const
{
    return {0, 0, std::int32_t(m_imageHeight), std::int32_t(m_imageWidth)};
}

void CPluginHost::SetImage(IKelvraDataSource* source, double scale, double resolution)
{
    long width = 0, height = 0;
    KelvraPixelFormat format = 0;
    if (source == nullptr || !TlTakeSucceeded(source->GetSize(&width, &height)) ||
        !TlTakeSucceeded(source->GetColorSpace(&format)))
        return;
    const int planes = int((format >> 17) & 0x7F);
    const std::int16_t mode = ImageMode(format);
    if ((planes != 1 && planes != 3 && planes != 4) || mode < 0)
        return;
    m_record.planes = std::int16_t(planes);
    m_record.imageMode = mode;
    m_record.imageHRes = m_record.imageVRes = ToFixed(resolution);
    m_record.depth = std::int16_t(format >> 24);
    m_bytesPerSample = m_record.depth == 16 ? 2 : 1;
    m_record.inputRate = m_record.maskRate = kPsFixedOne;
    std::memset(m_record.backColor, 255, sizeof m_record.backColor);
    std::memset(m_record.foreColor, 255, sizeof m_record.foreColor);
    m_record.imageSize = {std::int32_t(height), std::int32_t(width)};
    m_record.scale = PsFixed(scale * 65536.0);
    m_imageWidth = width;
    m_imageHeight = height;
}

long CPluginHost::BeginFilter(IKelvraDataSource* source, long processValue, bool /*flag*/, const KelvraRect* rect)
{
    m_source = source;
    m_processValue = processValue;
    const PsRect filter = rect != nullptr ? PsRect{std::int32_t(rect->top), std::int32_t(rect->left),
                                                   std::int32_t(rect->bottom), std::int32_t(rect->right)}
                                          : ImageRect();
    m_record.filterRect = m_record.inRect = m_record.outRect = filter;
    m_record.inLoPlane = m_record.outLoPlane = 0;
    m_record.inHiPlane = m_record.outHiPlane = std::int16_t(m_record.planes - 1);
    long tileSize = kFallbackTileSize;
    if (source == nullptr || !TlTakeSucceeded(source->GetTileSize(&tileSize)) || tileSize <= 0)
        tileSize = kFallbackTileSize;
    const auto tile = std::int16_t(std::min<long>(tileSize, std::numeric_limits<std::int16_t>::max()));
    m_record.inTileHeight = m_record.inTileWidth = m_record.outTileHeight = m_record.outTileWidth = tile;
    m_record.maskTileHeight = m_record.maskTileWidth = tile;
    m_record.inTileOrigin = m_record.outTileOrigin = m_record.maskTileOrigin = {0, 0};
    KelvraPixelFormat format = 0;
    if (source == nullptr || !TlTakeSucceeded(source->GetColorSpace(&format)))
        return ReportString("Cannot get color space");

    // The rectangle is the caller's; its size is checked before it is trusted.
    const std::int64_t rows = std::int64_t(filter.bottom) - filter.top;
    const std::int64_t columns = std::int64_t(filter.right) - filter.left;
    const std::int64_t bytes = rows * columns * m_bytesPerSample * m_record.planes;
    m_output.reset();
    if (rows < 0 || columns < 0 || bytes > std::int64_t(std::numeric_limits<std::ptrdiff_t>::max()) ||
        columns * m_bytesPerSample * m_record.planes > std::numeric_limits<std::int32_t>::max())
        return kPsOutOfMemory;
    m_output.reset(new (std::nothrow) unsigned char[std::size_t(bytes > 0 ? bytes : 1)]);
    if (!m_output)
        return kPsOutOfMemory;
    PutBlobIntoParameters();
    const PsResult result = Dispatch(kPsSelectorParameters);
    if (result != kPsNoError)
        m_source = nullptr;
    return result;
}

long CPluginHost::PrepareFilter()
{
    const PsResult result = Dispatch(kPsSelectorPrepare);
    m_started = true;
    return result;
}

bool CPluginHost::RunConditionsHold() const
{
    return !m_lastRunSucceeded || m_lastRunLoad != m_loads;
}

bool CPluginHost::NeedsRun() const
{
    return !m_started || RunConditionsHold() || m_changed;
}

long CPluginHost::RunFilter(TlPluginProgress progress, void* context)
{
    if (!RunConditionsHold() && !m_changed)
        return kPsNoError;
    m_running = true;
    m_progress = progress;
    m_progressContext = context;
    m_pixelCount = 0;
    if (progress != nullptr)
        progress(0, 0, context);
    const PsResult result = Dispatch(kPsSelectorRun);
    if (progress != nullptr)
        progress(2, 100, context);
    m_running = false;
    m_progress = nullptr;
    m_progressContext = nullptr;
    m_changed = false;
    m_lastRunSucceeded = result == kPsNoError;
    m_lastRunLoad = m_loads;
    return result;
}

long CPluginHost::ContinueFilter()
{
    if (!m_startSent) {
        m_startSent = true;
        const PsResult result = Dispatch(kPsSelectorStart);
        if (result != kPsNoError)
            return result;
    }
    const PsRect& filter = m_record.filterRect;
    const PsRect image = ImageRect();
    const PsRect grown{std::max(filter.top - kMargin, image.top), std::max(filter.left - kMargin, image.left),
                       std::min(filter.bottom + kMargin, image.bottom), std::min(filter.right + kMargin, image.right)};
    m_record.inRect = m_record.outRect = grown;
    m_record.inLoPlane = m_record.outLoPlane = 0;
    m_record.inHiPlane = m_record.outHiPlane = std::int16_t(m_record.planes - 1);
    m_record.inputRate = kPsFixedOne;
    PsResult result = AdvanceState();
    if (result == kPsNoError)
        result = Dispatch(kPsSelectorContinueDelivered);
    return result;
}

long CPluginHost::FinishFilter()
{
    const PsResult result = Dispatch(kPsSelectorFinish);
    FreeRunBuffers();
    m_source = nullptr;
    TakeParametersIntoBlob();
    return result;
}

void CPluginHost::FreeRunBuffers()
{
    m_input.reset();
    m_output.reset();
    m_record.inData = nullptr;
    m_record.outData = nullptr;
}

std::int64_t CPluginHost::OutputRowBytes() const
{
    const PsRect& filter = m_record.filterRect;
    const int planes = m_record.wantLayout == kPsLayoutPlanar ? 1 : m_record.planes;
    return (std::int64_t(filter.right) - filter.left) * m_bytesPerSample * planes;
}

const void* CPluginHost::GetOutput(long* rowBytes, bool* interleaved) const
{
    if (rowBytes != nullptr)
        *rowBytes = long(OutputRowBytes());
    if (interleaved != nullptr)
        *interleaved = m_record.wantLayout != kPsLayoutPlanar;
    return m_output.get();
}

PsResult CPluginHost::ReportString(const char* text)
{
    const std::size_t length = std::min<std::size_t>(std::strlen(text), sizeof m_errorText - 1);
    m_errorText[0] = static_cast<unsigned char>(length);
    std::memcpy(m_errorText + 1, text, length);
    return kPsReportString;
}

IKelvraError* CPluginHost::ConvertError(long result) const
{
    if (result == kPsNoError)
        return nullptr;
    if (result == kPsReportString) {
        char text[sizeof m_errorText];
        const std::size_t length = m_errorText[0];
        std::memcpy(text, m_errorText + 1, length);
        text[length] = '\0';
        return IKelvraError::Add(nullptr, kHostTag, __LINE__, text);
    }
    return IKelvraError::Add(nullptr, kHostTag, __LINE__, kKelvraCategoryKelvra, kKelvraOperationFailed);
}
