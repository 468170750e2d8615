// Writes TIFF-structured files: the header, then each image's strips a step
// at a time, then the directories (Exif, the sub-images last to first, the
// main image) and the header's pointer to the main directory.
#include "PellioErrors.h"
#include "PellioSink.h"
#include "PellioTagIds.h"
#include "QrfTagBlock.h"
#include "TiffImageDirectory.h"
#include "TiffStrips.h"
#include "TiffTagFields.h"
#include "TiffTags.h"

#include <algorithm>

#define SINK_ERROR(code) PELLIO_ERROR(kPellioSaveTag, (code))

namespace {

const std::uint8_t kHeader[8] = {'I', 'I', 42, 0, 0, 0, 0, 0};

// The four colour codes of a 2 x 2 pattern tag (two big-endian dimensions,
// then the codes), when the tags carry one.
bool CfaCodes(const std::vector<PellioTagValue>& tags, std::vector<std::uint8_t>* codes)
{
    const PellioTagValue* pattern = PellioFindTag(tags, kPellioTagCfaPattern, kKelvraTagTypeBytes);
    if (!pattern || pattern->bytes.size() != 8)
        return false;
    const std::vector<std::uint8_t>& b = pattern->bytes;
    if (b[0] != 0 || b[1] != 2 || b[2] != 0 || b[3] != 2)
        return false;
    codes->assign(b.begin() + 4, b.end());
    return true;
}

std::vector<std::uint8_t> Attachment(const PellioSavePlan& plan)
{
    std::vector<std::uint8_t> bytes;
    TiffPut32(bytes, plan.attachedOption);
    bytes.insert(bytes.end(), plan.attachedBlock.begin(), plan.attachedBlock.end());
    return bytes;
}

class CTiffSink : public CPellioSink {
public:
    CTiffSink(IKelvraFileStream* stream, const PellioSaveFormat& rule, std::uint32_t option, PellioSavePlan plan,
              std::vector<PellioTagValue> tags);

    long StepCount() const override { return long(m_steps.size()) + 1; }
    IKelvraError* RunStep(long step) override;

private:
    struct Strip {
        std::size_t image;
        long index;
    };

    IKelvraError* WriteStrip(const Strip& strip);
    IKelvraError* Finish();
    IKelvraError* Position(std::uint32_t* offset, bool align);
    IKelvraError* WriteDirectory(const CTiffIfdBuilder& ifd, std::uint32_t next, std::uint32_t* offset);
    CTiffIfdBuilder ImageDirectory(std::size_t index) const;
    void AddFileFields(CTiffIfdBuilder* main, CTiffIfdBuilder* exif) const;
    bool Ours() const { return m_rule.container != PellioContainer::Tiff; }

    IKelvraFileStream* m_stream;
    const PellioSaveFormat& m_rule;
    PellioSavePlan m_plan;
    std::vector<PellioTagValue> m_tags;
    std::vector<TiffWrittenImage> m_written;
    std::vector<Strip> m_steps;
    std::vector<std::uint8_t> m_rows;
    std::vector<std::uint8_t> m_encoded;
};

CTiffSink::CTiffSink(IKelvraFileStream* stream, const PellioSaveFormat& rule, std::uint32_t option,
                     PellioSavePlan plan, std::vector<PellioTagValue> tags)
    : m_stream(stream), m_rule(rule), m_plan(std::move(plan)), m_tags(std::move(tags))
{
    const std::uint16_t compression = PellioCompression(rule, option);
    for (std::size_t i = 0; i < m_plan.images.size(); ++i) {
        m_written.push_back(TiffWrittenImage{&m_plan.images[i], compression, kPellioBandRows, {}, {}});
        const long strips = (m_plan.images[i].height + kPellioBandRows - 1) / kPellioBandRows;
        for (long s = 0; s < strips; ++s)
            m_steps.push_back(Strip{i, s});
    }
}

IKelvraError* CTiffSink::RunStep(long step)
{
    if (step == 0) {
        if (IKelvraError* error = m_stream->Write(kHeader, sizeof kHeader))
            return KELVRA_WRAP(nullptr, kPellioSaveTag, error);
    }
    return std::size_t(step) < m_steps.size() ? WriteStrip(m_steps[std::size_t(step)]) : Finish();
}

IKelvraError* CTiffSink::Position(std::uint32_t* offset, bool align)
{
    std::int64_t position = 0;
    IKelvraError* error = m_stream->Tell(&position);
    if (!error && align && position % 2 != 0) {
        const std::uint8_t pad = 0;
        error = m_stream->Write(&pad, 1);
        ++position;
    }
    if (error)
        return KELVRA_WRAP(nullptr, kPellioSaveTag, error);
    // Classic TIFF offsets are 32-bit.
    if (position > std::int64_t(0xFFFFFFF0u))
        return SINK_ERROR(kKelvraUnsupportedFormat);
    *offset = std::uint32_t(position);
    return nullptr;
}

IKelvraError* CTiffSink::WriteStrip(const Strip& strip)
{
    TiffWrittenImage& written = m_written[strip.image];
    const long first = strip.index * kPellioBandRows;
    const long count = std::min(kPellioBandRows, written.image->height - first);
    std::uint32_t offset = 0;
    IKelvraError* error = PellioPullRows(*written.image, first, count, &m_rows);
    if (!error)
        error = TiffEncodeStrip(written.compression, m_rows.data(), m_rows.size(), &m_encoded);
    if (!error)
        error = Position(&offset, false);
    if (!error)
        error = KELVRA_WRAP(nullptr, kPellioSaveTag, m_stream->Write(m_encoded.data(), m_encoded.size()));
    if (error)
        return error;
    written.stripOffsets.push_back(offset);
    written.stripBytes.push_back(std::uint32_t(m_encoded.size()));
    return nullptr;
}

CTiffIfdBuilder CTiffSink::ImageDirectory(std::size_t index) const
{
    std::vector<std::uint8_t> codes;
    const bool hasCodes = CfaCodes(m_tags, &codes);
    const PellioSaveImage& main = m_plan.images.front();
    const PellioSaveImage& image = m_plan.images[index];
    const bool reduced = index > 0 && image.width < main.width && image.height < main.height;
    CTiffIfdBuilder ifd;
    TiffAddImageFields(m_written[index], TiffDirectoryStyle{Ours(), reduced, hasCodes ? &codes : nullptr}, &ifd);
    return ifd;
}

// The main directory's file-wide fields: the tags, the container field and
// the Qrf blocks.
void CTiffSink::AddFileFields(CTiffIfdBuilder* main, CTiffIfdBuilder* exif) const
{
    const bool qrf = m_rule.container == PellioContainer::Qrf;
    std::vector<PellioTagValue> rest;
    TiffPlaceTags(m_tags, TiffTagPlacement{main, exif, qrf ? &rest : nullptr});
    if (Ours())
        main->AddLongs(kQrfContainer, {1, m_rule.storedCode});
    if (!qrf)
        return;
    if (!rest.empty())
        main->AddBytes(kQrfTagBlock, QrfEncodeTagBlock(rest));
    if (m_plan.attached)
        main->AddBytes(kQrfAttachment, Attachment(m_plan));
    if (!m_plan.bitmap.empty())
        main->AddBytes(kQrfBitmap, m_plan.bitmap);
}

IKelvraError* CTiffSink::WriteDirectory(const CTiffIfdBuilder& ifd, std::uint32_t next, std::uint32_t* offset)
{
    if (IKelvraError* error = Position(offset, true))
        return error;
    const std::vector<std::uint8_t> bytes = ifd.Serialise(*offset, next);
    IKelvraError* error = m_stream->Write(bytes.data(), bytes.size());
    return error ? KELVRA_WRAP(nullptr, kPellioSaveTag, error) : nullptr;
}

IKelvraError* CTiffSink::Finish()
{
    CTiffIfdBuilder main = ImageDirectory(0);
    CTiffIfdBuilder exif;
    AddFileFields(&main, &exif);
    std::uint32_t offset = 0, next = 0;
    if (!exif.Empty()) {
        if (IKelvraError* error = WriteDirectory(exif, 0, &offset))
            return error;
        main.AddLong(kTiffExifIfd, offset);
    }
    for (std::size_t i = m_plan.images.size() - 1; i > 0; --i) {
        if (IKelvraError* error = WriteDirectory(ImageDirectory(i), next, &offset))
            return error;
        next = offset;
    }
    if (IKelvraError* error = WriteDirectory(main, next, &offset))
        return error;
    std::vector<std::uint8_t> pointer;
    TiffPut32(pointer, offset);
    IKelvraError* error = m_stream->Seek(4, kKelvraSeekBegin);
    if (!error)
        error = m_stream->Write(pointer.data(), pointer.size());
    return error ? KELVRA_WRAP(nullptr, kPellioSaveTag, error) : nullptr;
}

} // namespace

std::unique_ptr<CPellioSink> PellioMakeTiffSink(IKelvraFileStream* stream, const PellioSaveFormat& rule,
                                                std::uint32_t option, PellioSavePlan plan,
                                                std::vector<PellioTagValue> tags)
{
    return std::make_unique<CTiffSink>(stream, rule, option, std::move(plan), std::move(tags));
}
