#include "filters/pluginfilter/TlPluginHostFilter.h"

#include "filters/frame/TlPixelFormats.h"
#include "filters/pluginfilter/TlPluginRunLock.h"

#include <cstring>
#include <new>
#include <tuple>

namespace {

// The formats the host hands to plug-ins and takes back.
bool IsPluginFormat(KelvraPixelFormat format)
{
    return format == kKelvraGrey8 || format == kKelvraGrey16 || format == kKelvraRGB8 ||
           format == kKelvraRGB16;
}

const CTlFormatCheck kPluginFormats{IsPluginFormat, TlFormatRejection::Code};

} // namespace

CPluginHostFilter::CPluginHostFilter(IKelvraManager* manager) : CTlFilter(manager, 1) {}

CPluginHostFilter::~CPluginHostFilter()
{
    Detach();
}

const char* CPluginHostFilter::GetFilterName() const
{
    return "Filter Plugin";
}

void CPluginHostFilter::Detach()
{
    if (m_host != nullptr)
        m_host->AttachFilter(this, false);
    m_host = nullptr;
}

void CPluginHostFilter::MarkHostChanged()
{
    if (m_host != nullptr)
        m_host->MarkChanged();
}

IKelvraError* CPluginHostFilter::SetPlugin(ITlFilterPluginHost* host, bool notify)
{
    m_cancelled = false;
    // Attaching the same host twice would leave it remembering the filter
    // after the filter is gone.
    if (host == m_host)
        return nullptr;
    // A host that is replaced forgets the filter for the same reason.
    Detach();
    m_stale = true;
    if (host == nullptr) {
        m_bypass = true;
        // The plug-in's output gives way to the source: downstream must hear.
        return NotifyChanged(notify);
    }
    m_host = host;
    m_bypass = false;
    m_host->AttachFilter(this, true);
    return NotifyChanged(notify);
}

IKelvraError* CPluginHostFilter::SetScaleAndResolution(double scale, double resolution, bool notify)
{
    return ApplySetting(std::tie(m_scale, m_resolution), std::make_tuple(scale, resolution), notify, [this] {
        m_cancelled = false;
        MarkHostChanged();
    });
}

IKelvraError* CPluginHostFilter::BeginProcess(void** handle, IKelvraDataSource* const* sources, long count,
                                              IKelvraImage* destination)
{
    IKelvraError* error = CTlFilter::BeginProcess(handle, sources, count, destination);
    if (error == nullptr)
        m_run = *handle;
    return error;
}

IKelvraError* CPluginHostFilter::EndProcess(void* handle)
{
    if (handle == m_run)
        m_run = nullptr;
    return CTlFilter::EndProcess(handle);
}

IKelvraError* CPluginHostFilter::RunSources(int processId, const std::vector<IKelvraDataSource*>** sources)
{
    CKelvraProcessInfo* info = nullptr;
    const bool own = processId == kOwnSources && GetSource(0) == nullptr;
    if ((processId != kOwnSources || own) && m_run != nullptr) {
        if (IKelvraError* error = GetProcessInfo(m_run, &info))
            return TL_FILTER_WRAP(error);
    }
    return InputSources(info, sources);
}

bool CPluginHostFilter::ReportProgress(int type, int value, void* context)
{
    auto* filter = static_cast<CPluginHostFilter*>(context);
    if (filter == nullptr)
        return true;
    KelvraProgress progress{kId, 0, 1, 1, 1, {}};
    if (type == 1) {
        progress.current = static_cast<signed char>(value);
        progress.total = 100;
    } else if (type == 2) {
        progress.current = progress.total = 100;
    }
    IKelvraError::Release(filter->NotifyWatchers(kKelvraWatchProgress, &progress));
    return true;
}

IKelvraError* CPluginHostFilter::TakeResult(long result)
{
    if (result == kPluginCancelled) {
        m_cancelled = true;
        return nullptr;
    }
    return result != 0 ? TL_FILTER_WRAP(m_host->ConvertError(result)) : nullptr;
}

IKelvraError* CPluginHostFilter::RunPlugin(int processId)
{
    if (m_host == nullptr)
        return TL_FILTER_ERROR(kKelvraMissingObject);
    if (!m_host->NeedsRun())
        return nullptr;
    const std::vector<IKelvraDataSource*>* sources = nullptr;
    if (IKelvraError* error = RunSources(processId, &sources))
        return error;
    IKelvraDataSource* source = (*sources)[0];
    long width = 0, height = 0;
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = source->GetSize(&width, &height))
        return TL_FILTER_WRAP(error);
    if (IKelvraError* error = source->GetColorSpace(&format))
        return TL_FILTER_WRAP(error);
    if (!IsPluginFormat(format))
        return TL_FILTER_ERROR(kKelvraUnsupportedFormat);

    Tl::CSyncLock guard(TlPluginRunLock());
    m_host->SetImage(source, m_scale, m_resolution);
    const KelvraRect whole(0, 0, width, height);
    IKelvraError* error = TakeResult(m_host->BeginFilter(source, 0, false, &whole));
    if (error == nullptr)
        error = TakeResult(m_host->PrepareFilter());
    if (error == nullptr)
        error = TakeResult(m_host->RunFilter(&ReportProgress, this));
    if (error == nullptr)
        error = TakeResult(m_host->FinishFilter());
    return error;
}

IKelvraError* CPluginHostFilter::KelvraNotify(IKelvraDataSource* source, long code, void* data)
{
    MarkHostChanged();
    return CTlFilter::KelvraNotify(source, code, data);
}

IKelvraError* CPluginHostFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    if (m_host == nullptr)
        return TL_FILTER_ERROR(kKelvraMissingObject);
    auto fill = [this](const CTlTileTarget& target) { return FillFromPlugin(target); };
    return GenerateTarget(tile, info, kPluginFormats, fill);
}

namespace {

// Copies the plug-in's output of `covered` (row bytes `rowBytes`, planar
// when not `interleaved`) into the target's rectangle to fill.
void CopyOutput(const CTlTileTarget& target, const unsigned char* output, const KelvraRect& covered, long rowBytes,
                bool interleaved)
{
    const KelvraRect fill = target.toFill.Intersection(covered);
    const long sampleBytes = long(KelvraBitsPerSample(target.format) / 8);
    const long planes = long(KelvraPlaneCount(target.format));
    const long pixelBytes = sampleBytes * planes;
    const std::int64_t planeBytes = std::int64_t(covered.Height()) * rowBytes;
    for (long y = fill.top; y < fill.bottom; ++y) {
        const unsigned char* row = output + std::int64_t(y - covered.top) * rowBytes;
        unsigned char* to = target.At(fill.left, y);
        if (interleaved) {
            std::memcpy(to, row + (fill.left - covered.left) * pixelBytes, std::size_t(fill.Width() * pixelBytes));
            continue;
        }
        for (long x = fill.left; x < fill.right; ++x, to += pixelBytes) {
            for (long plane = 0; plane < planes; ++plane)
                std::memcpy(to + plane * sampleBytes, row + plane * planeBytes + (x - covered.left) * sampleBytes,
                            std::size_t(sampleBytes));
        }
    }
}

} // namespace

IKelvraError* CPluginHostFilter::FillFromPlugin(const CTlTileTarget& target)
{
    Tl::CSyncLock guard(TlPluginRunLock());
    m_host->SetImage(target.source, m_scale, m_resolution);
    // The plug-in filters the tile's whole rectangle inside the image.
    const KelvraRect covered = target.full.Intersection(KelvraRect(0, 0, target.sourceWidth, target.sourceHeight));
    IKelvraError* error = TakeResult(m_host->BeginFilter(target.source, 0, false, &covered));
    if (error == nullptr)
        error = TakeResult(m_host->PrepareFilter());
    if (error == nullptr)
        error = TakeResult(m_host->RunFilter(&ReportProgress, this));
    if (error == nullptr)
        error = TakeResult(m_host->ContinueFilter());
    if (error != nullptr)
        return error;
    long rowBytes = 0;
    bool interleaved = true;
    const auto* output = static_cast<const unsigned char*>(m_host->GetOutput(&rowBytes, &interleaved));
    if (output != nullptr)
        CopyOutput(target, output, covered, rowBytes, interleaved);
    return TakeResult(m_host->FinishFilter());
}
