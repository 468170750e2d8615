// Writes TIFF-structured files: the header, then each image's strips a step
// at a time, then the directories (Exif, the sub-images last to first, the
// main image) and the header's pointer to the main directory. A step pulls
// its strip's rows on the caller's thread and leaves the compression to the
// workers; strips are written in order as they come back, with only a few
// in flight, so the file's bytes do not depend on the threads.
#include "PellioErrors.h"
#include "PellioSink.h"
#include "PellioTagIds.h"
#include "PellioWorkers.h"
#include "QrfTagBlock.h"
#include "TiffImageDirectory.h"
#include "TiffStrips.h"
#include "TiffTagFields.h"
#include "TiffTags.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <memory>

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

std::size_t StripCount(const PellioSavePlan& plan)
{
    std::size_t count = 0;
    for (const PellioSaveImage& image : plan.images)
        count += std::size_t((image.height + kPellioBandRows - 1) / kPellioBandRows);
    return count;
}

class CTiffSink : public CPellioSink {
public:
    CTiffSink(IKelvraFileStream* stream, const PellioSaveFormat& rule, std::uint32_t option, PellioSavePlan plan,
              std::vector<PellioTagValue> tags);

    ~CTiffSink() override;
    long StepCount() const override { return long(m_steps.size()) + 1; }
    IKelvraError* RunStep(long step) override;

private:
    struct Strip {
        std::size_t image;
        long index;
    };
    // A strip's rows on their way to the workers, then its coded bytes.
    struct StripWork {
        std::vector<std::uint8_t> rows;
        std::vector<std::uint8_t> encoded;
    };
    struct Pending {
        std::size_t image;
        std::shared_ptr<StripWork> work;
        std::future<IKelvraError*> done;
    };

    IKelvraError* StartStrip(const Strip& strip);
    IKelvraError* WriteOldest();
    IKelvraError* WriteFinished(std::size_t inFlight);
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
    std::size_t m_stripBytes = 0; // pulled bytes of the largest strip
    CPellioWorkers m_workers;
    std::deque<Pending> m_pending; // in strip order
};

CTiffSink::CTiffSink(IKelvraFileStream* stream, const PellioSaveFormat& rule, std::uint32_t option,
                     PellioSavePlan plan, std::vector<PellioTagValue> tags)
    : m_stream(stream), m_rule(rule), m_plan(std::move(plan)), m_tags(std::move(tags)), m_workers(StripCount(m_plan))
{
    const std::uint16_t compression = PellioCompression(rule, option);
    for (std::size_t i = 0; i < m_plan.images.size(); ++i) {
        m_written.push_back(TiffWrittenImage{&m_plan.images[i], compression, kPellioBandRows, {}, {}});
        const std::size_t rowBytes = std::size_t(KelvraRowBytes(m_plan.images[i].sourceFormat, m_plan.images[i].width));
        m_stripBytes = std::max(m_stripBytes, rowBytes * std::size_t(kPellioBandRows));
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
    return std::size_t(step) < m_steps.size() ? StartStrip(m_steps[std::size_t(step)]) : Finish();
}

// A dropped save: the strips in flight end before what they use goes.
CTiffSink::~CTiffSink()
{
    for (Pending& pending : m_pending)
        PellioDropResult(pending.done);
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

IKelvraError* CTiffSink::StartStrip(const Strip& strip)
{
    const TiffWrittenImage& written = m_written[strip.image];
    const long first = strip.index * kPellioBandRows;
    const long count = std::min(kPellioBandRows, written.image->height - first);
    auto work = std::make_shared<StripWork>();
    if (IKelvraError* error = PellioPullRows(*written.image, first, count, &work->rows))
        return error;
    const std::uint16_t compression = written.compression;
    std::future<IKelvraError*> done = m_workers.Post([work, compression]() -> IKelvraError* {
        return PellioGuarded(kPellioSaveTag, [&]() -> IKelvraError* {
            IKelvraError* error = TiffEncodeStrip(compression, work->rows.data(), work->rows.size(), &work->encoded);
            std::vector<std::uint8_t>().swap(work->rows);
            return error;
        });
    });
    m_pending.push_back(Pending{strip.image, std::move(work), std::move(done)});
    return WriteFinished(PellioTasksInFlight(m_stripBytes, m_workers.Threads()));
}

// Writes the oldest strip once it is coded.
IKelvraError* CTiffSink::WriteOldest()
{
    Pending pending = std::move(m_pending.front());
    m_pending.pop_front();
    if (IKelvraError* error = pending.done.get())
        return error;
    const std::vector<std::uint8_t>& encoded = pending.work->encoded;
    std::uint32_t offset = 0;
    if (IKelvraError* error = Position(&offset, false))
        return error;
    if (IKelvraError* error = m_stream->Write(encoded.data(), encoded.size()))
        return KELVRA_WRAP(nullptr, kPellioSaveTag, error);
    TiffWrittenImage& written = m_written[pending.image];
    written.stripOffsets.push_back(offset);
    written.stripBytes.push_back(std::uint32_t(encoded.size()));
    return nullptr;
}

// Writes the strips at the front that are coded, and waits for more while
// over `inFlight` remain.
IKelvraError* CTiffSink::WriteFinished(std::size_t inFlight)
{
    while (!m_pending.empty()) {
        const bool ready = m_pending.front().done.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        if (!ready && m_pending.size() <= inFlight)
            return nullptr;
        if (IKelvraError* error = WriteOldest())
            return error;
    }
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
    if (IKelvraError* error = WriteFinished(0))
        return error;
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
