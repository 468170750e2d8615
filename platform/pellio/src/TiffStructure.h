// Reading the structure of a TIFF file: header, directories and their
// fields, every offset and count checked against the file's real size.
#pragma once

#include "TiffBytes.h"
#include "pellio/KelvraFileStream.h"

#include <cstdint>
#include <vector>

// Field types of TIFF 6.0.
enum : std::uint16_t {
    kTiffByte = 1,
    kTiffAscii = 2,
    kTiffShort = 3,
    kTiffLong = 4,
    kTiffRational = 5,
    kTiffUndefined = 7,
    kTiffSRational = 10,
};

// Bytes one value of `type` takes; 0 for types this code does not know.
std::size_t TiffTypeSize(std::uint16_t type);

struct TiffField {
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::vector<std::uint8_t> bytes; // the values, in the file's byte order
};

struct TiffIfd {
    std::vector<TiffField> fields; // ascending tags
    const TiffField* Find(std::uint16_t tag) const;
};

// Value `index` of a BYTE, SHORT or LONG field; false for other types or
// an index past the count.
bool TiffUnsigned(const TiffField& field, TiffOrder order, std::uint32_t index, std::uint32_t* value);
// Value `index` of a RATIONAL field; false for other types, an index past
// the count or a zero denominator.
bool TiffRational(const TiffField& field, TiffOrder order, std::uint32_t index, double* value);
// The field's first value, or `fallback` when the field is missing.
bool TiffUnsignedOr(const TiffIfd& ifd, TiffOrder order, std::uint16_t tag, std::uint32_t fallback,
                    std::uint32_t* value);

class CTiffReader {
public:
    // Reads the header of the file open on `stream`. Error kPellioUnknownFile
    // when it is not a TIFF header.
    IKelvraError* Open(IKelvraFileStream* stream);
    // The chain of directories from the header's first one.
    IKelvraError* ReadChain(std::vector<TiffIfd>* ifds);
    // One directory at `offset` (a sub-directory such as the Exif one).
    IKelvraError* ReadIfd(std::uint32_t offset, TiffIfd* ifd, std::uint32_t* next);
    // Reads `size` bytes at `offset`; kPellioReadFailed when they are not
    // all inside the file.
    IKelvraError* ReadAt(std::uint64_t offset, void* buffer, std::size_t size);

    TiffOrder Order() const { return m_order; }
    std::uint64_t FileSize() const { return m_size; }

private:
    IKelvraError* ReadEntry(const std::uint8_t* entry, TiffIfd* ifd);
    IKelvraError* Charge(std::uint64_t bytes);

    IKelvraFileStream* m_stream = nullptr;
    TiffOrder m_order = TiffOrder::Little;
    std::uint64_t m_size = 0;
    std::uint32_t m_first = 0;
    std::uint64_t m_loaded = 0; // field bytes read so far, bounded by the file's size
};
