#include "filters/debayer/TlDeBayerFilterBase.h"

#include "kelvra/KelvraData.h"

#include <algorithm>
#include <cstring>

namespace {

const double kAspectWidth = 0.75;
const double kAspectHeight = 1.5;
const long kHalfBorder = CDeBayerFilterBase::kBorder / 2;

long Scaled(double factor, long samples)
{
    return samples > CDeBayerFilterBase::kBorder ? long(factor * double(samples - CDeBayerFilterBase::kBorder)) : 0;
}

} // namespace

CDeBayerFilterBase::CDeBayerFilterBase(IKelvraManager* manager) : CTlFilter(manager, 1) {}

IKelvraError* CDeBayerFilterBase::BaseError(long line, long code) const
{
    return IKelvraError::Add(nullptr, kTlDeBayerBaseTag, line, kKelvraCategoryKelvra, code);
}

IKelvraError* CDeBayerFilterBase::BaseWrap(long line, IKelvraError* inner) const
{
    return IKelvraError::AddWorker(nullptr, kTlDeBayerBaseTag, line, inner);
}

double CDeBayerFilterBase::GetHorizontalFactor() const
{
    return m_pixelAspectMode ? kAspectWidth : 1.0;
}

double CDeBayerFilterBase::GetVerticalFactor() const
{
    return m_pixelAspectMode ? kAspectHeight : 1.0;
}

KelvraPixelFormat CDeBayerFilterBase::GetInputColorSpace() const
{
    return kKelvraRawMosaic;
}

// Setters.

IKelvraError* CDeBayerFilterBase::SensorSize(const KelvraRect* sourceRect, long* width, long* height) const
{
    if (sourceRect) {
        *width = sourceRect->Width();
        *height = sourceRect->Height();
        return nullptr;
    }
    IKelvraDataSource* source = GetSource(0);
    if (!source)
        return BaseError(__LINE__, kKelvraNotReady);
    IKelvraError* error = source->GetSize(width, height);
    return error ? BaseWrap(__LINE__, error) : nullptr;
}

IKelvraError* CDeBayerFilterBase::SendSizeChange(long oldWidth, long oldHeight, long newWidth, long newHeight)
{
    if (!WillNotify(true))
        return nullptr;
    KelvraSizeChange change{oldWidth, oldHeight, newWidth, newHeight};
    IKelvraError* error = KelvraSendDataNotification(this, kKelvraNotifySize, &change);
    return error ? BaseWrap(__LINE__, error) : nullptr;
}

// The sizes told are those of the output, which the aspect mode, the
// output rectangle and a reduction all change.
IKelvraError* CDeBayerFilterBase::ChangeSize(bool notify, SizeChange change)
{
    long oldWidth = 0, oldHeight = 0;
    const bool tell = WillNotify(notify);
    if (tell) {
        if (IKelvraError* error = GetFilteredSize(nullptr, 0, &oldWidth, &oldHeight))
            return BaseWrap(__LINE__, error);
    }
    m_stale = true;
    if (IKelvraError* error = change())
        return error;
    if (!tell)
        return nullptr;
    long newWidth = 0, newHeight = 0;
    if (IKelvraError* error = GetFilteredSize(nullptr, 0, &newWidth, &newHeight))
        return BaseWrap(__LINE__, error);
    return SendSizeChange(oldWidth, oldHeight, newWidth, newHeight);
}

IKelvraError* CDeBayerFilterBase::SetSourceRect(const KelvraRect& outputRect, const KelvraRect* sourceRect,
                                                bool notify)
{
    long sensorWidth = 0, sensorHeight = 0;
    if (IKelvraError* error = SensorSize(sourceRect, &sensorWidth, &sensorHeight))
        return error;
    const long availableWidth = Scaled(GetHorizontalFactor(), sensorWidth);
    const long availableHeight = Scaled(GetVerticalFactor(), sensorHeight);
    KelvraRect chosen(0, 0, availableWidth, availableHeight);
    if (!outputRect.IsEmpty()) {
        const long width = std::min(availableWidth, outputRect.Width());
        const long height = std::min(availableHeight, outputRect.Height());
        const long left = std::min(std::max(outputRect.left, 0L), availableWidth - width);
        const long top = std::min(std::max(outputRect.top, 0L), availableHeight - height);
        chosen = KelvraRect(left, top, left + width, top + height);
    }
    if (TlSameSetting(m_outputRect, chosen))
        return nullptr;
    return ChangeSize(notify, [&]() -> IKelvraError* {
        m_outputRect = chosen;
        return nullptr;
    });
}

IKelvraError* CDeBayerFilterBase::SetChannelLuts(int inBits, int outBits, const std::uint16_t* red,
                                                 const std::uint16_t* green, const std::uint16_t* blue, bool notify)
{
    const std::uint16_t* const luts[3] = {red, green, blue};
    switch (m_tables.SetLuts(inBits, outBits, luts)) {
    case CTlChannelTables::Result::Unchanged:
        return nullptr;
    case CTlChannelTables::Result::BadBits:
        return BaseError(__LINE__, kKelvraNotReady);
    case CTlChannelTables::Result::OutOfMemory:
        return BaseError(__LINE__, kKelvraOutOfMemory);
    case CTlChannelTables::Result::Changed:
        break;
    }
    m_stale = true;
    return NotifyChanged(notify);
}

IKelvraError* CDeBayerFilterBase::SetPixelAspectMode(bool on, const KelvraRect* sourceRect, bool notify)
{
    if (on == m_pixelAspectMode)
        return nullptr;
    return ChangeSize(notify, [&]() -> IKelvraError* {
        m_pixelAspectMode = on;
        return SetSourceRect(KelvraRect(), sourceRect, false);
    });
}

IKelvraError* CDeBayerFilterBase::SetPixelMap(const std::uint8_t* pattern, std::size_t length, bool notify)
{
    if (!pattern && length != 0)
        return BaseError(__LINE__, kKelvraMissingObject);
    if (length == m_cfaPattern.size() && (length == 0 || std::memcmp(pattern, m_cfaPattern.data(), length) == 0))
        return nullptr;
    try {
        m_cfaPattern.assign(pattern, pattern + length);
    } catch (const std::bad_alloc&) {
        return BaseError(__LINE__, kKelvraOutOfMemory);
    }
    m_stale = true;
    if (IKelvraError* error = CheckCfaPattern())
        return BaseWrap(__LINE__, error);
    return NotifyChanged(notify);
}

IKelvraError* CDeBayerFilterBase::SetTuning(const std::int32_t (&values)[9], bool notify)
{
    return ApplySetting(m_tuning, values, notify);
}

IKelvraError* CDeBayerFilterBase::SetDeBayerMode(long mode, bool notify)
{
    if (mode == m_mode)
        return nullptr;
    m_mode = mode;
    m_stale = true;
    m_bypass = mode == kModeOff;
    if (!WillNotify(notify))
        return nullptr;
    IKelvraError* error = KelvraSendDataNotification(this, kKelvraNotifyUpdateAll, nullptr);
    return error ? TL_FILTER_WRAP(error) : nullptr;
}

IKelvraError* CDeBayerFilterBase::SetReduction(long factor, bool notify)
{
    if (factor < 1)
        return BaseError(__LINE__, kKelvraBadArgument);
    if (factor == m_reductionWish)
        return nullptr;
    return ChangeSize(notify, [&]() -> IKelvraError* {
        m_reductionWish = factor;
        return nullptr;
    });
}

long CDeBayerFilterBase::GetReduction() const
{
    IKelvraDataSource* source = GetSource(0);
    long width = 0, height = 0;
    if (m_reductionWish <= 1 || source == nullptr)
        return 1;
    if (IKelvraError* error = source->GetSize(&width, &height)) {
        IKelvraError::Release(error);
        return 1;
    }
    return ReductionFor(width, height);
}

IKelvraError* CDeBayerFilterBase::CheckCfaPattern()
{
    TlBayerPhases phases;
    if (TlReadBayerPattern(m_cfaPattern.data(), m_cfaPattern.size(), &phases) != TlBayerFault::None)
        return TL_FILTER_ERROR(kKelvraOperationFailed);
    m_phases = phases;
    return nullptr;
}

// Sizes and formats.

bool CDeBayerFilterBase::HasValidOutputRect() const
{
    return m_outputRect.left >= 0 && m_outputRect.left < m_outputRect.right && m_outputRect.top >= 0 &&
           m_outputRect.top < m_outputRect.bottom;
}

void CDeBayerFilterBase::FullSize(long sourceWidth, long sourceHeight, long* width, long* height) const
{
    *width = Scaled(GetHorizontalFactor(), sourceWidth);
    *height = Scaled(GetVerticalFactor(), sourceHeight);
    if (HasValidOutputRect()) {
        *width = std::min(*width, m_outputRect.Width());
        *height = std::min(*height, m_outputRect.Height());
    }
}

long CDeBayerFilterBase::ReductionFor(long sourceWidth, long sourceHeight) const
{
    if (m_reductionWish <= 1 || m_pixelAspectMode)
        return 1;
    long width = 0, height = 0;
    FullSize(sourceWidth, sourceHeight, &width, &height);
    const bool divides = width > 0 && height > 0 && width % m_reductionWish == 0 && height % m_reductionWish == 0;
    return divides ? m_reductionWish : 1;
}

void CDeBayerFilterBase::FilteredSize(long sourceWidth, long sourceHeight, long* width, long* height) const
{
    FullSize(sourceWidth, sourceHeight, width, height);
    const long factor = ReductionFor(sourceWidth, sourceHeight);
    *width /= factor;
    *height /= factor;
}

IKelvraError* CDeBayerFilterBase::GetFilteredSize(IKelvraDataSource* const* sources, long count, long* width,
                                                  long* height)
{
    IKelvraDataSource* source = sources && count > 0 ? sources[0] : GetSource(0);
    if (!width || !height)
        return BaseError(__LINE__, kKelvraMissingObject);
    if (!source)
        return BaseError(__LINE__, kKelvraNotReady);
    long sourceWidth = 0, sourceHeight = 0;
    if (IKelvraError* error = source->GetSize(&sourceWidth, &sourceHeight))
        return BaseWrap(__LINE__, error);
    FilteredSize(sourceWidth, sourceHeight, width, height);
    return nullptr;
}

IKelvraError* CDeBayerFilterBase::GetFilteredColorSpace(IKelvraDataSource* const* sources, long count,
                                                        KelvraPixelFormat* format)
{
    IKelvraDataSource* source = sources && count > 0 ? sources[0] : GetSource(0);
    if (!format)
        return BaseError(__LINE__, kKelvraMissingObject);
    if (!source)
        return BaseError(__LINE__, kKelvraNotReady);
    KelvraPixelFormat sourceFormat = 0;
    if (IKelvraError* error = source->GetColorSpace(&sourceFormat))
        return BaseWrap(__LINE__, error);
    if (sourceFormat != GetInputColorSpace())
        return IKelvraError::Add(nullptr, kTlDeBayerBaseTag, __LINE__, kTlBadSourceColorSpace);
    *format = kKelvraRGB16;
    return nullptr;
}

IKelvraError* CDeBayerFilterBase::FilterSize(IKelvraDataSource* source, KelvraSizeChange* change)
{
    if (change && IsEnabled()) {
        KelvraSizeChange filtered = *change;
        FilteredSize(change->oldWidth, change->oldHeight, &filtered.oldWidth, &filtered.oldHeight);
        FilteredSize(change->newWidth, change->newHeight, &filtered.newWidth, &filtered.newHeight);
        return CTlFilter::FilterSize(source, &filtered);
    }
    return CTlFilter::FilterSize(source, change);
}

IKelvraError* CDeBayerFilterBase::FilterColorSpace(IKelvraDataSource* source, KelvraColorSpaceChange* change)
{
    if (change && IsEnabled()) {
        KelvraColorSpaceChange filtered = *change;
        if (filtered.oldFormat == GetInputColorSpace())
            filtered.oldFormat = kKelvraRGB16;
        if (filtered.newFormat == GetInputColorSpace())
            filtered.newFormat = kKelvraRGB16;
        return CTlFilter::FilterColorSpace(source, &filtered);
    }
    return CTlFilter::FilterColorSpace(source, change);
}

// Mappings between source and output coordinates.

IKelvraError* CDeBayerFilterBase::FilterPoint(double* x, double* y)
{
    if (!x || !y)
        return BaseError(__LINE__, kKelvraMissingObject);
    if (IsEnabled()) {
        const double factor = double(GetReduction());
        *x = (GetHorizontalFactor() * (*x - kHalfBorder) - m_outputRect.left) / factor;
        *y = (GetVerticalFactor() * (*y - kHalfBorder) - m_outputRect.top) / factor;
    }
    return nullptr;
}

IKelvraError* CDeBayerFilterBase::FilterPoint(long* x, long* y)
{
    if (!x || !y)
        return BaseError(__LINE__, kKelvraMissingObject);
    double dx = *x, dy = *y;
    FilterPoint(&dx, &dy);
    *x = long(dx);
    *y = long(dy);
    return nullptr;
}

IKelvraError* CDeBayerFilterBase::DefilterPoint(double* x, double* y)
{
    if (!x || !y)
        return BaseError(__LINE__, kKelvraMissingObject);
    if (IsEnabled()) {
        const double factor = double(GetReduction());
        *x = (*x * factor + m_outputRect.left) / GetHorizontalFactor() + kHalfBorder;
        *y = (*y * factor + m_outputRect.top) / GetVerticalFactor() + kHalfBorder;
    }
    return nullptr;
}

IKelvraError* CDeBayerFilterBase::DefilterPoint(long* x, long* y)
{
    if (!x || !y)
        return BaseError(__LINE__, kKelvraMissingObject);
    double dx = *x, dy = *y;
    DefilterPoint(&dx, &dy);
    *x = long(dx);
    *y = long(dy);
    return nullptr;
}

IKelvraError* CDeBayerFilterBase::FilterRect(KelvraDblRect* rect)
{
    if (!rect)
        return BaseError(__LINE__, kKelvraMissingObject);
    FilterPoint(&rect->left, &rect->top);
    return FilterPoint(&rect->right, &rect->bottom);
}

IKelvraError* CDeBayerFilterBase::FilterRect(KelvraRect* rect)
{
    if (!rect)
        return BaseError(__LINE__, kKelvraMissingObject);
    FilterPoint(&rect->left, &rect->top);
    return FilterPoint(&rect->right, &rect->bottom);
}

IKelvraError* CDeBayerFilterBase::DefilterRect(KelvraDblRect* rect)
{
    if (!rect)
        return BaseError(__LINE__, kKelvraMissingObject);
    DefilterPoint(&rect->left, &rect->top);
    return DefilterPoint(&rect->right, &rect->bottom);
}

IKelvraError* CDeBayerFilterBase::DefilterRect(KelvraRect* rect)
{
    if (!rect)
        return BaseError(__LINE__, kKelvraMissingObject);
    DefilterPoint(&rect->left, &rect->top);
    return DefilterPoint(&rect->right, &rect->bottom);
}
