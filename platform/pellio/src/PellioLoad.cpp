// The loader: parses the file at Start, then fills the images it is given.
#include "PellioErrors.h"
#include "PellioImageFill.h"
#include "PellioPicture.h"
#include "pellio/KelvraLoad.h"

#define LOAD_ERROR(code) PELLIO_ERROR(kPellioLoadTag, (code))

class CPellioLoad : public IKelvraLoad {
public:
    IKelvraError* Start(IKelvraFileStream* stream, IKelvraTagControl* tags, long reserved, long reserved2) override;
    IKelvraError* DescribeImage(KelvraLoadRequest* request, long full) override;
    IKelvraError* GetFileInfo(KelvraFileInfo* info) const override;
    IKelvraError* GetSubImageInfo(long number, KelvraSubImageInfo* info) const override;
    IKelvraError* SetImage(IKelvraImage* image) override;
    bool IsComplete() const override;
    IKelvraError* Step() override;
    void GetProgress(long* done, long* total) const override;
    IKelvraError* LoadSubImage(long number, IKelvraImage* image, std::uint32_t* kind) override;
    void Release() override;
    void Destroy() override { delete this; }

private:
    IKelvraError* NeedFile() const;
    IKelvraError* ParseAndTag(IKelvraFileStream* stream, IKelvraTagControl* tags);
    CPellioPicture& Main() const { return *m_file->pictures.front(); }

    std::unique_ptr<PellioParsedFile> m_file;
    IKelvraImage* m_image = nullptr;
    long m_band = 0;
    long m_rows = 0;
    std::vector<std::uint8_t> m_scratch;
};

IKelvraError* IKelvraLoad::CreateLoad(IKelvraLoad** load)
{
    return PellioCreate<CPellioLoad>(kPellioLoadTag, load);
}

IKelvraError* CPellioLoad::NeedFile() const
{
    return m_file ? nullptr : LOAD_ERROR(kKelvraNotReady);
}

IKelvraError* CPellioLoad::Start(IKelvraFileStream* stream, IKelvraTagControl* tags, long, long)
{
    if (!stream || !tags)
        return LOAD_ERROR(kKelvraMissingObject);
    if (stream->GetMode() != kKelvraStreamRead)
        return LOAD_ERROR(kPellioStreamState);
    Release();
    return PellioGuarded(kPellioLoadTag, [&] { return ParseAndTag(stream, tags); });
}

IKelvraError* CPellioLoad::ParseAndTag(IKelvraFileStream* stream, IKelvraTagControl* tags)
{
    auto file = std::make_unique<PellioParsedFile>();
    IKelvraError* error = PellioParseFile(stream, file.get());
    if (!error)
        error = PellioWriteTags(tags, file->tags);
    if (error)
        return KELVRA_WRAP(nullptr, kPellioLoadTag, error);
    file->tags.clear();
    m_file = std::move(file);
    return nullptr;
}

IKelvraError* CPellioLoad::DescribeImage(KelvraLoadRequest* request, long full)
{
    IKelvraError* error = PellioCheckRecord(kPellioLoadTag, request);
    if (error || (error = NeedFile()))
        return error;
    if (full && request->callback && request->callback(0, 1) != 0)
        return LOAD_ERROR(kKelvraCancelled);
    request->width = std::uint32_t(Main().Info().width);
    request->height = std::uint32_t(Main().Info().height);
    request->formatCode = m_file->formatCode;
    if (full && request->callback)
        request->callback(1, 1);
    return nullptr;
}

IKelvraError* CPellioLoad::GetFileInfo(KelvraFileInfo* info) const
{
    IKelvraError* error = PellioCheckRecord(kPellioLoadTag, info);
    if (error || (error = NeedFile()))
        return error;
    const PellioPictureInfo& main = Main().Info();
    info->fileKind = m_file->kind;
    info->formatCode = m_file->formatCode;
    info->subImageCount = std::uint32_t(m_file->pictures.size() - 1);
    info->pixelFormat = main.format;
    info->width = std::uint32_t(main.width);
    info->height = std::uint32_t(main.height);
    return nullptr;
}

IKelvraError* CPellioLoad::GetSubImageInfo(long number, KelvraSubImageInfo* info) const
{
    IKelvraError* error = PellioCheckRecord(kPellioLoadTag, info);
    if (error || (error = NeedFile()))
        return error;
    if (number < 1 || std::size_t(number) >= m_file->pictures.size())
        return LOAD_ERROR(kPellioNoSubImage);
    const PellioPictureInfo& sub = m_file->pictures[std::size_t(number)]->Info();
    info->kind = sub.kind;
    info->pixelFormat = sub.format;
    info->width = std::uint32_t(sub.width);
    info->height = std::uint32_t(sub.height);
    return nullptr;
}

IKelvraError* CPellioLoad::SetImage(IKelvraImage* image)
{
    if (!image)
        return LOAD_ERROR(kKelvraMissingObject);
    if (IKelvraError* error = NeedFile())
        return error;
    m_image = nullptr;
    if (IKelvraError* error = PellioPrepareImage(image, Main().Info()))
        return error;
    m_image = image;
    m_band = 0;
    m_rows = 0;
    return nullptr;
}

bool CPellioLoad::IsComplete() const
{
    return m_file && m_image && m_band >= Main().BandCount();
}

IKelvraError* CPellioLoad::Step()
{
    if (IKelvraError* error = NeedFile())
        return error;
    if (!m_image)
        return LOAD_ERROR(kKelvraNotReady);
    if (IsComplete())
        return nullptr;
    IKelvraError* error = PellioGuarded(kPellioLoadTag, [&] {
        return PellioAppendBand(m_image, Main(), m_band, &m_scratch);
    });
    if (error)
        return error;
    ++m_band;
    m_rows = m_image->GetRowsWritten();
    return nullptr;
}

void CPellioLoad::GetProgress(long* done, long* total) const
{
    if (done)
        *done = m_rows;
    if (total)
        *total = m_file && m_image ? Main().Info().height : 0;
}

IKelvraError* CPellioLoad::LoadSubImage(long number, IKelvraImage* image, std::uint32_t* kind)
{
    if (!image)
        return LOAD_ERROR(kKelvraMissingObject);
    if (IKelvraError* error = NeedFile())
        return error;
    if (number < 1 || std::size_t(number) >= m_file->pictures.size())
        return LOAD_ERROR(kPellioNoSubImage);
    CPellioPicture& picture = *m_file->pictures[std::size_t(number)];
    return PellioGuarded(kPellioLoadTag, [&]() -> IKelvraError* {
        if (IKelvraError* error = PellioPrepareImage(image, picture.Info()))
            return error;
        std::vector<std::uint8_t> rows;
        for (long band = 0; band < picture.BandCount(); ++band) {
            if (IKelvraError* error = PellioAppendBand(image, picture, band, &rows))
                return error;
        }
        if (kind)
            *kind = picture.Info().kind;
        return nullptr;
    });
}

void CPellioLoad::Release()
{
    m_file.reset();
    m_image = nullptr;
    m_band = 0;
    m_rows = 0;
    m_scratch.clear();
    m_scratch.shrink_to_fit();
}
