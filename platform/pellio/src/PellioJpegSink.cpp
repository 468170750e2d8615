// Writes JPEG files: the main image is pulled into a raster a band per
// step, and the last step encodes it with the tags' profile, texts and IPTC
// data and writes the file.
#include "PellioErrors.h"
#include "PellioSink.h"
#include "PellioTagIds.h"
#include "pellio/PellioJpeg.h"

#include <algorithm>
#include <cstring>

namespace {

std::string TextOf(const std::vector<PellioTagValue>& tags, std::uint32_t id)
{
    const PellioTagValue* tag = PellioFindTag(tags, id, kKelvraTagTypeText);
    return tag ? std::string(reinterpret_cast<const char*>(tag->bytes.data())) : std::string();
}

std::vector<std::uint8_t> BytesOf(const std::vector<PellioTagValue>& tags, std::uint32_t id, std::uint32_t type)
{
    const PellioTagValue* tag = PellioFindTag(tags, id, type);
    return tag ? tag->bytes : std::vector<std::uint8_t>();
}

PellioJpegMetadata MetadataOf(const std::vector<PellioTagValue>& tags)
{
    PellioJpegMetadata metadata;
    metadata.iccProfile = BytesOf(tags, kPellioTagIcc, kKelvraTagTypeBytes);
    metadata.software = TextOf(tags, kPellioTagSoftware);
    metadata.dateTime = TextOf(tags, kPellioTagDateTime);
    metadata.iptc = BytesOf(tags, kPellioTagIptc, kKelvraTagTypeDataHeader);
    return metadata;
}

class CJpegSink : public CPellioSink {
public:
    CJpegSink(IKelvraFileStream* stream, std::uint32_t option, PellioSavePlan plan, std::vector<PellioTagValue> tags)
        : m_stream(stream), m_quality(PellioJpegQuality(option)), m_main(plan.images.front()),
          m_metadata(MetadataOf(tags))
    {
        m_raster.width = m_main.width;
        m_raster.height = m_main.height;
        m_raster.pixelFormat = m_main.storedFormat;
        m_raster.rowBytes = KelvraRowBytes(m_main.storedFormat, m_main.width);
        m_raster.bytes.resize(std::size_t(m_raster.rowBytes) * std::size_t(m_raster.height));
    }

    long StepCount() const override { return Bands() + 1; }
    IKelvraError* RunStep(long step) override { return step < Bands() ? PullBand(step) : Encode(); }

private:
    long Bands() const { return (m_main.height + kPellioBandRows - 1) / kPellioBandRows; }

    IKelvraError* PullBand(long band)
    {
        const long first = band * kPellioBandRows;
        const long count = std::min(kPellioBandRows, m_main.height - first);
        if (IKelvraError* error = PellioPullRows(m_main, first, count, &m_rows))
            return error;
        std::memcpy(m_raster.bytes.data() + std::size_t(first) * std::size_t(m_raster.rowBytes), m_rows.data(),
                    m_rows.size());
        return nullptr;
    }

    IKelvraError* Encode()
    {
        std::vector<std::uint8_t> file;
        IKelvraError* error = PellioEncodeJpeg(m_raster, m_metadata, m_quality, file);
        if (!error)
            error = m_stream->Write(file.data(), file.size());
        return error ? KELVRA_WRAP(nullptr, kPellioSaveTag, error) : nullptr;
    }

    IKelvraFileStream* m_stream;
    int m_quality;
    PellioSaveImage m_main;
    PellioJpegMetadata m_metadata;
    PellioRaster m_raster;
    std::vector<std::uint8_t> m_rows;
};

} // namespace

std::unique_ptr<CPellioSink> PellioMakeJpegSink(IKelvraFileStream* stream, std::uint32_t option,
                                                PellioSavePlan plan, std::vector<PellioTagValue> tags)
{
    return std::make_unique<CJpegSink>(stream, option, std::move(plan), std::move(tags));
}
