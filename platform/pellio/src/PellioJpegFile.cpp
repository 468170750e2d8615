// Reads JPEG files through the JPEG codec: the whole file is decoded at
// once, then handed out in bands like any other picture.
#include "PellioErrors.h"
#include "PellioPicture.h"
#include "PellioTagIds.h"
#include "pellio/PellioJpeg.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr long kBandRows = 64;

class CRasterPicture : public CPellioPicture {
public:
    explicit CRasterPicture(PellioRaster raster)
        : CPellioPicture(PellioPictureInfo{0, raster.pixelFormat, raster.width, raster.height, 72.0}),
          m_raster(std::move(raster))
    {
    }

    long BandCount() const override { return (m_raster.height + kBandRows - 1) / kBandRows; }
    IKelvraError* ReadBand(long band, std::vector<std::uint8_t>* rows, long* count) override
    {
        const long first = band * kBandRows;
        *count = std::min(kBandRows, m_raster.height - first);
        rows->resize(std::size_t(*count) * std::size_t(RowBytes()));
        for (long y = 0; y < *count; ++y)
            std::memcpy(rows->data() + std::size_t(y) * std::size_t(RowBytes()),
                        m_raster.bytes.data() + std::size_t(first + y) * std::size_t(m_raster.rowBytes),
                        std::size_t(RowBytes()));
        return nullptr;
    }

private:
    PellioRaster m_raster;
};

void AddTag(std::vector<PellioTagValue>* tags, std::uint32_t id, std::uint32_t type,
            std::vector<std::uint8_t> bytes)
{
    if (bytes.empty())
        return;
    PellioTagValue tag;
    tag.id = id;
    tag.type = type;
    tag.bytes = std::move(bytes);
    tags->push_back(std::move(tag));
}

std::vector<std::uint8_t> TextBytes(const std::string& text)
{
    if (text.empty())
        return {};
    return std::vector<std::uint8_t>(text.c_str(), text.c_str() + text.size() + 1);
}

IKelvraError* ReadWhole(IKelvraFileStream* stream, std::vector<std::uint8_t>* bytes)
{
    std::int64_t size = 0;
    IKelvraError* error = stream->GetSize(&size);
    if (!error)
        error = stream->Seek(0, kKelvraSeekBegin);
    if (!error) {
        bytes->resize(std::size_t(size));
        error = stream->Read(bytes->data(), bytes->size(), nullptr);
    }
    return error ? KELVRA_WRAP(nullptr, kPellioLoadTag, error) : nullptr;
}

} // namespace

IKelvraError* PellioParseJpeg(IKelvraFileStream* stream, PellioParsedFile* file)
{
    return PellioGuarded(kPellioLoadTag, [&]() -> IKelvraError* {
        std::vector<std::uint8_t> bytes;
        if (IKelvraError* error = ReadWhole(stream, &bytes))
            return error;
        PellioRaster raster;
        PellioJpegMetadata metadata;
        if (IKelvraError* error = PellioDecodeJpeg(bytes.data(), bytes.size(), raster, metadata))
            return KELVRA_WRAP(nullptr, kPellioLoadTag, error);
        file->kind = kPellioKindJpeg;
        file->formatCode = kPellioFormatJpeg;
        file->pictures.push_back(std::make_unique<CRasterPicture>(std::move(raster)));
        AddTag(&file->tags, kPellioTagIcc, kKelvraTagTypeBytes, std::move(metadata.iccProfile));
        AddTag(&file->tags, kPellioTagSoftware, kKelvraTagTypeText, TextBytes(metadata.software));
        AddTag(&file->tags, kPellioTagDateTime, kKelvraTagTypeText, TextBytes(metadata.dateTime));
        AddTag(&file->tags, kPellioTagIptc, kKelvraTagTypeDataHeader, std::move(metadata.iptc));
        PellioAddGeometryTags(file->pictures.front()->Info(), &file->tags);
        return nullptr;
    });
}
