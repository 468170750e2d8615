#include "UnsharpMaskBlock.h"

#include "kelvra/KelvraImage.h"

#include <cstring>

CUsmBlock::CUsmBlock(KelvraPixelFormat format, const KelvraRect& area)
    : m_format(format), m_area(area), m_wide(KelvraIs16Bit(format)), m_planes(long(KelvraPlaneCount(format))),
      m_rowBytes(KelvraRowBytes(format, area.Width())),
      m_bytes(std::size_t(m_rowBytes) * std::size_t(area.Height()))
{
}

IKelvraError* CUsmBlock::Read(IKelvraDataSource* source)
{
    return KelvraReadRect(source, m_area, m_bytes.data(), m_rowBytes);
}

std::size_t CUsmBlock::Offset(long x, long y, long plane) const
{
    const std::size_t sample = std::size_t((x - m_area.left) * m_planes + plane);
    return std::size_t(y - m_area.top) * std::size_t(m_rowBytes) + sample * (m_wide ? 2 : 1);
}

unsigned CUsmBlock::Get(long x, long y, long plane) const
{
    const std::uint8_t* at = &m_bytes[Offset(x, y, plane)];
    if (!m_wide)
        return *at;
    std::uint16_t value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void CUsmBlock::Set(long x, long y, long plane, unsigned value)
{
    std::uint8_t* at = &m_bytes[Offset(x, y, plane)];
    if (!m_wide) {
        *at = std::uint8_t(value);
        return;
    }
    const std::uint16_t wide = std::uint16_t(value);
    std::memcpy(at, &wide, sizeof wide);
}

UsmPlane CUsmBlock::Plane(long plane) const
{
    UsmPlane result{m_area, std::vector<float>(std::size_t(m_area.Width()) * std::size_t(m_area.Height()))};
    float* out = result.samples.data();
    for (long y = m_area.top; y < m_area.bottom; ++y) {
        for (long x = m_area.left; x < m_area.right; ++x)
            *out++ = float(Get(x, y, plane));
    }
    return result;
}

void CUsmBlock::CopyTo(const KelvraRect& part, void* buffer, long rowBytes, const KelvraRect& origin) const
{
    const std::size_t skip = std::size_t(KelvraRowBytes(m_format, part.left - origin.left));
    const std::size_t bytes = std::size_t(KelvraRowBytes(m_format, part.Width()));
    for (long y = part.top; y < part.bottom; ++y) {
        std::uint8_t* target = static_cast<std::uint8_t*>(buffer) + std::size_t(y - origin.top) * std::size_t(rowBytes);
        std::memcpy(target + skip, &m_bytes[Offset(part.left, y, 0)], bytes);
    }
}
