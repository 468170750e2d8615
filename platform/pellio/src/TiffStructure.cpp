#include "TiffStructure.h"

#include "PellioErrors.h"

#include <algorithm>
#include <set>

#define TIFF_ERROR(code) PELLIO_ERROR(kPellioTiffTag, (code))

namespace {

constexpr std::size_t kMaxIfds = 256;
constexpr std::size_t kEntryBytes = 12;
// Directories may share no bytes in a sound file; this slack covers the
// values kept inside the entries.
constexpr std::uint64_t kLoadSlack = 1u << 16;

} // namespace

std::size_t TiffTypeSize(std::uint16_t type)
{
    switch (type) {
    case kTiffByte:
    case kTiffAscii:
    case kTiffUndefined:
    case 6: // SBYTE
        return 1;
    case kTiffShort:
    case 8: // SSHORT
        return 2;
    case kTiffLong:
    case 9:  // SLONG
    case 11: // FLOAT
        return 4;
    case kTiffRational:
    case kTiffSRational:
    case 12: // DOUBLE
        return 8;
    default:
        return 0;
    }
}

const TiffField* TiffIfd::Find(std::uint16_t tag) const
{
    const auto found = std::lower_bound(fields.begin(), fields.end(), tag,
                                        [](const TiffField& field, std::uint16_t t) { return field.tag < t; });
    return found != fields.end() && found->tag == tag ? &*found : nullptr;
}

bool TiffUnsigned(const TiffField& field, TiffOrder order, std::uint32_t index, std::uint32_t* value)
{
    if (index >= field.count)
        return false;
    const std::uint8_t* at = field.bytes.data();
    switch (field.type) {
    case kTiffByte:
        *value = at[index];
        return true;
    case kTiffShort:
        *value = TiffGet16(at + 2 * std::size_t(index), order);
        return true;
    case kTiffLong:
        *value = TiffGet32(at + 4 * std::size_t(index), order);
        return true;
    default:
        return false;
    }
}

bool TiffRational(const TiffField& field, TiffOrder order, std::uint32_t index, double* value)
{
    if (field.type != kTiffRational || index >= field.count)
        return false;
    const std::uint8_t* at = field.bytes.data() + 8 * std::size_t(index);
    const std::uint32_t denominator = TiffGet32(at + 4, order);
    if (denominator == 0)
        return false;
    *value = double(TiffGet32(at, order)) / denominator;
    return true;
}

bool TiffUnsignedOr(const TiffIfd& ifd, TiffOrder order, std::uint16_t tag, std::uint32_t fallback,
                    std::uint32_t* value)
{
    const TiffField* field = ifd.Find(tag);
    if (!field) {
        *value = fallback;
        return true;
    }
    return TiffUnsigned(*field, order, 0, value);
}

IKelvraError* CTiffReader::Open(IKelvraFileStream* stream)
{
    m_stream = stream;
    std::int64_t size = 0;
    if (IKelvraError* error = stream->GetSize(&size))
        return KELVRA_WRAP(nullptr, kPellioTiffTag, error);
    m_size = std::uint64_t(size);
    std::uint8_t header[8];
    if (m_size < sizeof header)
        return TIFF_ERROR(kPellioReadFailed);
    if (IKelvraError* error = ReadAt(0, header, sizeof header))
        return error;
    if (header[0] == 'I' && header[1] == 'I')
        m_order = TiffOrder::Little;
    else if (header[0] == 'M' && header[1] == 'M')
        m_order = TiffOrder::Big;
    else
        return TIFF_ERROR(kPellioUnknownFile);
    if (TiffGet16(header + 2, m_order) != 42)
        return TIFF_ERROR(kPellioUnknownFile);
    m_first = TiffGet32(header + 4, m_order);
    return nullptr;
}

IKelvraError* CTiffReader::ReadAt(std::uint64_t offset, void* buffer, std::size_t size)
{
    if (offset > m_size || size > m_size - offset)
        return TIFF_ERROR(kPellioReadFailed);
    IKelvraError* error = m_stream->Seek(std::int64_t(offset), kKelvraSeekBegin);
    if (!error)
        error = m_stream->Read(buffer, size, nullptr);
    return error ? KELVRA_WRAP(nullptr, kPellioTiffTag, error) : nullptr;
}

IKelvraError* CTiffReader::Charge(std::uint64_t bytes)
{
    m_loaded += bytes;
    return m_loaded > m_size + kLoadSlack ? TIFF_ERROR(kPellioCorrupt) : nullptr;
}

IKelvraError* CTiffReader::ReadChain(std::vector<TiffIfd>* ifds)
{
    std::set<std::uint32_t> seen;
    std::uint32_t offset = m_first;
    if (offset == 0)
        return TIFF_ERROR(kPellioCorrupt);
    while (offset != 0) {
        if (!seen.insert(offset).second || ifds->size() >= kMaxIfds)
            return TIFF_ERROR(kPellioCorrupt);
        ifds->emplace_back();
        if (IKelvraError* error = ReadIfd(offset, &ifds->back(), &offset))
            return error;
    }
    return nullptr;
}

IKelvraError* CTiffReader::ReadIfd(std::uint32_t offset, TiffIfd* ifd, std::uint32_t* next)
{
    std::uint8_t countBytes[2];
    if (IKelvraError* error = ReadAt(offset, countBytes, sizeof countBytes))
        return error;
    const std::size_t count = TiffGet16(countBytes, m_order);
    std::vector<std::uint8_t> entries(count * kEntryBytes + 4);
    if (IKelvraError* error = ReadAt(std::uint64_t(offset) + 2, entries.data(), entries.size()))
        return error;
    if (IKelvraError* error = Charge(entries.size()))
        return error;
    for (std::size_t i = 0; i < count; ++i) {
        if (IKelvraError* error = ReadEntry(entries.data() + i * kEntryBytes, ifd))
            return error;
    }
    std::sort(ifd->fields.begin(), ifd->fields.end(),
              [](const TiffField& a, const TiffField& b) { return a.tag < b.tag; });
    *next = TiffGet32(entries.data() + count * kEntryBytes, m_order);
    return nullptr;
}

IKelvraError* CTiffReader::ReadEntry(const std::uint8_t* entry, TiffIfd* ifd)
{
    TiffField field;
    field.tag = TiffGet16(entry, m_order);
    field.type = TiffGet16(entry + 2, m_order);
    field.count = TiffGet32(entry + 4, m_order);
    const std::size_t unit = TiffTypeSize(field.type);
    if (unit == 0)
        return nullptr; // readers skip fields of unknown types
    const std::uint64_t bytes = std::uint64_t(unit) * field.count;
    if (bytes > m_size)
        return TIFF_ERROR(kPellioCorrupt);
    field.bytes.resize(std::size_t(bytes));
    if (bytes <= 4) {
        std::copy(entry + 8, entry + 8 + bytes, field.bytes.begin());
    } else {
        if (IKelvraError* error = Charge(bytes))
            return error;
        if (IKelvraError* error = ReadAt(TiffGet32(entry + 8, m_order), field.bytes.data(), field.bytes.size()))
            return error;
    }
    ifd->fields.push_back(std::move(field));
    return nullptr;
}
