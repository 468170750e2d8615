#include "filters/vignette/TlVignetteFilter.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <tuple>

namespace {

// Squares and root in extended precision, rounded to double once: the
// default sensor's diagonal is then exactly 28.223933106496695 however it is
// computed. In double precision (and with the run-time's hypot) it comes out
// one unit lower in the last place, and the default size would compare
// unequal to itself.
double DiagonalOf(double width, double height)
{
    const long double w = width;
    const long double h = height;
    return static_cast<double>(std::sqrt(w * w + h * h));
}

} // namespace

bool CVignetteFilter::LensData::operator==(const LensData& other) const
{
    if (present != other.present)
        return false;
    return !present || std::memcmp(codes, other.codes, sizeof codes) == 0;
}

CVignetteFilter::CVignetteFilter(IKelvraManager* manager)
    : CTlFilter(manager), m_lens{{}, false}, m_sensorDiagonal(DiagonalOf(kDefaultSensorWidth, kDefaultSensorHeight))
{
}

CVignetteFilter::~CVignetteFilter()
{
    std::free(m_gainTable);
}

KelvraTag CVignetteFilter::GetFilterTag() const
{
    return TlFilterId("vgnt");
}

const char* CVignetteFilter::GetFilterName() const
{
    return "Vignette";
}

IKelvraError* CVignetteFilter::FilterSize(IKelvraDataSource* source, KelvraSizeChange* change)
{
    m_tableStale = true;
    return TL_FILTER_WRAP(CTlFilter::FilterSize(source, change));
}

IKelvraError* CVignetteFilter::FilterUpdateAll(IKelvraDataSource* source)
{
    m_tableStale = true;
    return TL_FILTER_WRAP(CTlFilter::FilterUpdateAll(source));
}

IKelvraError* CVignetteFilter::SetLensData(const std::uint8_t* lensData, bool notify)
{
    LensData value = m_lens;
    value.present = lensData != nullptr;
    if (lensData)
        std::memcpy(value.codes, lensData, sizeof value.codes);
    return ApplyModelSetting(m_lens, value, notify);
}

bool CVignetteFilter::GetLensData(std::uint8_t* lensData) const
{
    if (!m_lens.present || !lensData)
        return false;
    std::memcpy(lensData, m_lens.codes, sizeof m_lens.codes);
    return true;
}

IKelvraError* CVignetteFilter::SetSensorDiagonal(double diagonal, bool notify)
{
    if (diagonal == m_sensorDiagonal)
        return nullptr;
    return ApplyModelSetting(std::tie(m_sensorDiagonal, m_sensorWidth, m_sensorHeight),
                             std::make_tuple(diagonal, 0.0, 0.0), notify);
}

IKelvraError* CVignetteFilter::SetSensorSize(double width, double height, bool notify)
{
    return ApplyModelSetting(std::tie(m_sensorWidth, m_sensorHeight, m_sensorDiagonal),
                             std::make_tuple(width, height, DiagonalOf(width, height)), notify);
}

IKelvraError* CVignetteFilter::SetDefaultSensorSize(bool notify)
{
    return TL_FILTER_WRAP(SetSensorSize(kDefaultSensorWidth, kDefaultSensorHeight, notify));
}

IKelvraError* CVignetteFilter::SetFNumber(double fNumber, bool notify)
{
    return ApplyModelSetting(m_fNumber, fNumber, notify);
}

IKelvraError* CVignetteFilter::SetStrength(double strength, bool notify)
{
    return ApplySetting(m_strength, strength, notify);
}

IKelvraError* CVignetteFilter::SetAspectScale(double aspectScale, bool notify)
{
    return ApplyModelSetting(m_aspectScale, aspectScale, notify);
}
