#include "filtrix/KelvraFilterScale.h"

#include "KelvraScaleKernels.h"

#include <cmath>
#include <new>

namespace {

const KelvraTag kScaleTag = KelvraFourCC('s', 'c', 'a', 'l');
// Images hold at most 0x7FFF tiles a side; no output side may need more.
const long kMaxSide = 0x7FFF * 64;

bool IsMethod(long method)
{
    return method >= CKelvraFilterScale::kNearest && method <= CKelvraFilterScale::kArea;
}

bool IsFactor(double factor)
{
    return std::isfinite(factor) && factor > 0;
}

// At least one pixel of a source that has pixels.
long ScaledSide(long side, double factor)
{
    if (side < 1)
        return 0;
    const double scaled = std::round(double(side) * factor);
    return scaled < 1 ? 1 : scaled > double(kMaxSide) ? kMaxSide : long(scaled);
}

IKelvraError* BadArgument()
{
    return KELVRA_ERROR(nullptr, kScaleTag, kKelvraBadArgument);
}

} // namespace

bool CKelvraFilterScale::CSettings::operator==(const CSettings& other) const
{
    return method == other.method && fixedSize == other.fixedSize && horizontal == other.horizontal &&
           vertical == other.vertical && width == other.width && height == other.height;
}

CKelvraFilterScale::CKelvraFilterScale(IKelvraManager* manager, long method) : CKelvraGeometryFilter(manager, 1)
{
    CSettings settings;
    settings.method = IsMethod(method) ? method : kBilinear;
    m_settings.Set(settings);
    m_bypass = true; // a factor of 1 on both axes
}

CKelvraFilterScale::~CKelvraFilterScale()
{
    for (long i = 0; i < GetSourceCount(); ++i) {
        if (auto* image = dynamic_cast<IKelvraImage*>(GetSource(i)))
            IKelvraError::Release(image->DetachFilter(this));
    }
}

KelvraTag CKelvraFilterScale::GetFilterTag() const
{
    return kScaleTag;
}

const char* CKelvraFilterScale::GetFilterName() const
{
    return "Scale";
}

// Settings.

IKelvraError* CKelvraFilterScale::Change(const CSettings& next, bool notify)
{
    if (next == m_settings.Get())
        return nullptr;
    const CSizeProbe before = ProbeOutputSize();
    m_settings.Set(next);
    // Factors of 1 leave the source as it is: hand its tiles on.
    m_bypass = !next.fixedSize && next.horizontal == 1.0 && next.vertical == 1.0;
    return SettingChanged(before, notify);
}

IKelvraError* CKelvraFilterScale::SetMethod(long method, bool notify)
{
    if (!IsMethod(method))
        return BadArgument();
    CSettings next = m_settings.Get();
    next.method = method;
    return Change(next, notify);
}

IKelvraError* CKelvraFilterScale::SetScale(double factor, bool notify)
{
    return SetScale(factor, factor, notify);
}

IKelvraError* CKelvraFilterScale::SetScale(double horizontal, double vertical, bool notify)
{
    if (!IsFactor(horizontal) || !IsFactor(vertical))
        return BadArgument();
    CSettings next = m_settings.Get();
    next.fixedSize = false;
    next.horizontal = horizontal;
    next.vertical = vertical;
    next.width = next.height = 0;
    return Change(next, notify);
}

IKelvraError* CKelvraFilterScale::SetSize(long width, long height, bool notify)
{
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return BadArgument();
    CSettings next = m_settings.Get();
    next.fixedSize = true;
    next.horizontal = next.vertical = 1.0;
    next.width = width;
    next.height = height;
    return Change(next, notify);
}

long CKelvraFilterScale::GetMethod() const
{
    return m_settings.Get().method;
}

IKelvraError* CKelvraFilterScale::GetScale(double* horizontal, double* vertical)
{
    if (!horizontal || !vertical)
        return KELVRA_ERROR(nullptr, kScaleTag, kKelvraMissingObject);
    const CSettings settings = m_settings.Get();
    if (!settings.fixedSize) {
        *horizontal = settings.horizontal;
        *vertical = settings.vertical;
        return nullptr;
    }
    IKelvraDataSource* source = GetSource(0);
    if (!source)
        return KELVRA_ERROR(nullptr, kScaleTag, kKelvraNotReady);
    long sourceWidth = 0, sourceHeight = 0;
    if (IKelvraError* error = source->GetSize(&sourceWidth, &sourceHeight))
        return KELVRA_WRAP(nullptr, kScaleTag, error);
    if (sourceWidth < 1 || sourceHeight < 1)
        return KELVRA_ERROR(nullptr, kScaleTag, kKelvraNotReady);
    *horizontal = double(settings.width) / double(sourceWidth);
    *vertical = double(settings.height) / double(sourceHeight);
    return nullptr;
}

bool CKelvraFilterScale::GetFixedSize(long* width, long* height) const
{
    const CSettings settings = m_settings.Get();
    if (settings.fixedSize && width && height) {
        *width = settings.width;
        *height = settings.height;
    }
    return settings.fixedSize;
}

void CKelvraFilterScale::DescribeOutput(long sourceWidth, long sourceHeight, long* width, long* height,
                                        CMapping* mapping) const
{
    SizeFor(m_settings.Get(), sourceWidth, sourceHeight, width, height);
    // Pixel edges map onto pixel edges: the output covers the source exactly.
    *mapping = CMapping();
    mapping->xx = sourceWidth > 0 ? double(*width) / double(sourceWidth) : 1.0;
    mapping->yy = sourceHeight > 0 ? double(*height) / double(sourceHeight) : 1.0;
}

void CKelvraFilterScale::SizeFor(const CSettings& settings, long sourceWidth, long sourceHeight, long* width,
                                 long* height)
{
    *width = settings.fixedSize ? settings.width : ScaledSide(sourceWidth, settings.horizontal);
    *height = settings.fixedSize ? settings.height : ScaledSide(sourceHeight, settings.vertical);
}

// Tiles.

IKelvraError* CKelvraFilterScale::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    KelvraRect fill;
    if (!tile || !tile->GetRectToFill(&fill))
        return tile ? nullptr : KELVRA_ERROR(nullptr, kScaleTag, kKelvraMissingObject);
    try {
        IKelvraDataSource* source = info ? info->GetSource(0) : GetSource(0);
        KelvraScaleJob job;
        long sourceWidth = 0, sourceHeight = 0, width = 0, height = 0;
        if (IKelvraError* error = KelvraReadSourceLayout(source, kScaleTag, &sourceWidth, &sourceHeight, &job.layout))
            return error;
        const CSettings settings = m_settings.Get();
        SizeFor(settings, sourceWidth, sourceHeight, &width, &height);
        const long method = settings.method;
        job.copies = method == kNearest;
        job.columns = KelvraMakeTaps(KelvraAxisResampling(method, sourceWidth, width), sourceWidth, width,
                                     fill.left, fill.right);
        job.rows = KelvraMakeTaps(KelvraAxisResampling(method, sourceHeight, height), sourceHeight, height,
                                  fill.top, fill.bottom);
        return FillTile(tile, fill, job.layout.PixelBytes(), [&](std::uint8_t* target, long rowBytes) {
            return KelvraRunScale(source, job, kScaleTag, target, rowBytes);
        });
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kScaleTag, kKelvraOutOfMemory);
    }
}
