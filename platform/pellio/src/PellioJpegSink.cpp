// Writes JPEG files: the main image is pulled a band per step and its rows
// go to the band coder as soon as a coder's band is complete, so coding
// runs while the picture is still being made; the last step joins the
// bands with the tags' profile, texts and IPTC data and writes the file.
#include "PellioErrors.h"
#include "PellioJpegBands.h"
#include "PellioSink.h"
#include "PellioTagIds.h"

#include <algorithm>

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
    }

    long StepCount() const override { return Bands() + 1; }
    IKelvraError* RunStep(long step) override
    {
        if (step == 0) {
            if (IKelvraError* error = Start())
                return KELVRA_WRAP(nullptr, kPellioSaveTag, error);
        }
        return step < Bands() ? PullBand(step) : Encode();
    }

private:
    long Bands() const { return (m_main.height + kPellioBandRows - 1) / kPellioBandRows; }

    IKelvraError* Start()
    {
        if (IKelvraError* error = PellioCheckJpegPicture(m_main.storedFormat, m_main.width, m_main.height, m_quality))
            return error;
        m_bands = std::make_unique<CPellioJpegBands>(m_main.storedFormat, m_main.width, m_main.height, m_quality);
        return nullptr;
    }

    IKelvraError* PullBand(long band)
    {
        const long first = band * kPellioBandRows;
        const long count = std::min(kPellioBandRows, m_main.height - first);
        if (IKelvraError* error = PellioPullRows(m_main, first, count, &m_rows))
            return error;
        m_gathered.insert(m_gathered.end(), m_rows.begin(), m_rows.end());
        const long gathered = first + count - m_bands->RowsAdded();
        if (gathered < m_bands->BandRows() && first + count < m_main.height)
            return nullptr;
        std::vector<std::uint8_t> rows;
        rows.swap(m_gathered);
        IKelvraError* error = m_bands->Add(std::move(rows));
        return error ? KELVRA_WRAP(nullptr, kPellioSaveTag, error) : nullptr;
    }

    IKelvraError* Encode()
    {
        std::vector<std::uint8_t> file;
        IKelvraError* error = PellioFinishJpeg(*m_bands, m_metadata, file);
        if (!error)
            error = m_stream->Write(file.data(), file.size());
        return error ? KELVRA_WRAP(nullptr, kPellioSaveTag, error) : nullptr;
    }

    IKelvraFileStream* m_stream;
    int m_quality;
    PellioSaveImage m_main;
    PellioJpegMetadata m_metadata;
    std::vector<std::uint8_t> m_rows;
    std::vector<std::uint8_t> m_gathered; // pulled rows not yet a whole band
    std::unique_ptr<CPellioJpegBands> m_bands;
};

} // namespace

std::unique_ptr<CPellioSink> PellioMakeJpegSink(IKelvraFileStream* stream, std::uint32_t option,
                                                PellioSavePlan plan, std::vector<PellioTagValue> tags)
{
    return std::make_unique<CJpegSink>(stream, option, std::move(plan), std::move(tags));
}
