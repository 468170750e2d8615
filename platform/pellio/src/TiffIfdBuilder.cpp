#include "TiffIfdBuilder.h"

#include "TiffBytes.h"
#include "TiffStructure.h"

namespace {

std::size_t Padded(std::size_t size)
{
    return (size + 1) & ~std::size_t(1);
}

} // namespace

void CTiffIfdBuilder::Add(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::vector<std::uint8_t> bytes)
{
    m_fields[tag] = Field{type, count, std::move(bytes)};
}

void CTiffIfdBuilder::AddShorts(std::uint16_t tag, const std::vector<std::uint16_t>& values)
{
    std::vector<std::uint8_t> bytes;
    for (std::uint16_t value : values)
        TiffPut16(bytes, value);
    Add(tag, kTiffShort, std::uint32_t(values.size()), std::move(bytes));
}

void CTiffIfdBuilder::AddLongs(std::uint16_t tag, const std::vector<std::uint32_t>& values)
{
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t value : values)
        TiffPut32(bytes, value);
    Add(tag, kTiffLong, std::uint32_t(values.size()), std::move(bytes));
}

void CTiffIfdBuilder::AddRational(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator)
{
    std::vector<std::uint8_t> bytes;
    TiffPut32(bytes, numerator);
    TiffPut32(bytes, denominator);
    Add(tag, kTiffRational, 1, std::move(bytes));
}

void CTiffIfdBuilder::AddBytes(std::uint16_t tag, const std::vector<std::uint8_t>& bytes)
{
    Add(tag, kTiffUndefined, std::uint32_t(bytes.size()), bytes);
}

std::size_t CTiffIfdBuilder::Size() const
{
    std::size_t size = 2 + 12 * m_fields.size() + 4;
    for (const auto& entry : m_fields) {
        if (entry.second.bytes.size() > 4)
            size += Padded(entry.second.bytes.size());
    }
    return size;
}

std::vector<std::uint8_t> CTiffIfdBuilder::Serialise(std::uint32_t offset, std::uint32_t next) const
{
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> values;
    std::uint32_t valueOffset = offset + std::uint32_t(2 + 12 * m_fields.size() + 4);
    TiffPut16(out, std::uint16_t(m_fields.size()));
    for (const auto& entry : m_fields) {
        const Field& field = entry.second;
        TiffPut16(out, entry.first);
        TiffPut16(out, field.type);
        TiffPut32(out, field.count);
        if (field.bytes.size() <= 4) {
            std::vector<std::uint8_t> inline4(field.bytes);
            inline4.resize(4, 0);
            out.insert(out.end(), inline4.begin(), inline4.end());
            continue;
        }
        TiffPut32(out, valueOffset + std::uint32_t(values.size()));
        values.insert(values.end(), field.bytes.begin(), field.bytes.end());
        values.resize(Padded(values.size()), 0);
    }
    TiffPut32(out, next);
    out.insert(out.end(), values.begin(), values.end());
    return out;
}
