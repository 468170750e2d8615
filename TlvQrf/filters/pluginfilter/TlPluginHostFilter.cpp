#include "filters/pluginfilter/TlPluginHostFilter.h"

#include "filters/frame/TlPassThrough.h"
#include "filters/frame/TlPixelFormats.h"

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

IKelvraError* CPluginHostFilter::RunPlugin(int processId)
{
    if (m_host == nullptr)
        return TL_FILTER_ERROR(kKelvraMissingObject);
    // Running the plug-in through its host is not made yet; its output is
    // the pass-through of the source until then.
    (void)processId;
    return nullptr;
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
    // The plug-in's output is not served yet: pixels pass unchanged.
    auto copy = TlCopySourceRows;
    return GenerateFromSourceTiles(tile, info, kPluginFormats, copy);
}
