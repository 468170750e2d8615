// What a loader reads from a file: its pictures (the main one first, then
// the sub-images), each delivered a band of rows at a time, and its tags.
#pragma once

#include "PellioTagValues.h"
#include "kelvra/KelvraTypes.h"
#include "pellio/KelvraFileStream.h"

#include <cstdint>
#include <memory>
#include <vector>

struct PellioPictureInfo {
    std::uint32_t kind = 0;
    KelvraPixelFormat format = 0;
    long width = 0;
    long height = 0;
    double resolution = 72.0;
};

class CPellioPicture {
public:
    explicit CPellioPicture(const PellioPictureInfo& info) : m_info(info) {}
    virtual ~CPellioPicture() = default;

    const PellioPictureInfo& Info() const { return m_info; }
    long RowBytes() const { return KelvraRowBytes(m_info.format, m_info.width); }
    virtual long BandCount() const = 0;
    // Band `band`'s rows, packed RowBytes() apart, into `rows`; their number
    // into *count. Bands are read in order.
    virtual IKelvraError* ReadBand(long band, std::vector<std::uint8_t>* rows, long* count) = 0;

private:
    PellioPictureInfo m_info;
};

struct PellioParsedFile {
    std::uint32_t kind = 0;
    std::uint32_t formatCode = 0;
    std::vector<std::unique_ptr<CPellioPicture>> pictures; // [0] the main picture
    std::vector<PellioTagValue> tags;
};

// Reads the structure and tags of the file open on `stream`: a TIFF or Qrf
// file, or a JPEG file. Error kPellioUnknownFile for anything else.
IKelvraError* PellioParseFile(IKelvraFileStream* stream, PellioParsedFile* file);
IKelvraError* PellioParseTiff(IKelvraFileStream* stream, PellioParsedFile* file);
IKelvraError* PellioParseJpeg(IKelvraFileStream* stream, PellioParsedFile* file);

// Adds the size, pixel-format and resolution tags of the main picture
// (0x10000 to 0x10003) where the file does not carry them.
void PellioAddGeometryTags(const PellioPictureInfo& main, std::vector<PellioTagValue>* tags);
