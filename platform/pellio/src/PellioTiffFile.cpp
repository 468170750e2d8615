// Reads TIFF and Qrf files: the container field tells a Qrf file (and the
// fixed-size direct image) from any other TIFF, every directory of the chain
// gives one picture, and the tags come from the TIFF and Exif fields and the
// Qrf tag block.
#include "PellioErrors.h"
#include "PellioPicture.h"
#include "QrfTagBlock.h"
#include "TiffStrips.h"
#include "TiffTagFields.h"
#include "TiffTags.h"

#define TIFF_FILE_ERROR(code) PELLIO_ERROR(kPellioTiffTag, (code))

namespace {

class CTiffPicture : public CPellioPicture {
public:
    CTiffPicture(std::shared_ptr<CTiffReader> reader, const TiffImageLayout& layout, std::uint32_t kind)
        : CPellioPicture(PellioPictureInfo{kind, layout.format, layout.width, layout.height, layout.resolution}),
          m_reader(std::move(reader)), m_layout(layout)
    {
    }

    long BandCount() const override { return m_layout.StripCount(); }
    IKelvraError* ReadBand(long band, std::vector<std::uint8_t>* rows, long* count) override
    {
        *count = m_layout.StripRows(band);
        return TiffReadStrip(*m_reader, m_layout, band, rows, &m_scratch);
    }

private:
    std::shared_ptr<CTiffReader> m_reader;
    TiffImageLayout m_layout;
    std::vector<std::uint8_t> m_scratch;
};

// The container field: absent for a plain TIFF.
IKelvraError* ReadContainer(const TiffIfd& first, TiffOrder order, PellioParsedFile* file)
{
    file->kind = kPellioKindTiff;
    file->formatCode = kPellioFormatTiff;
    const TiffField* field = first.Find(kQrfContainer);
    if (!field)
        return nullptr;
    std::uint32_t version = 0, format = 0;
    if (!TiffUnsigned(*field, order, 0, &version) || !TiffUnsigned(*field, order, 1, &format))
        return TIFF_FILE_ERROR(kPellioCorrupt);
    if (version != 1)
        return TIFF_FILE_ERROR(kPellioUnsupported);
    if (format != kPellioFormatQrf && format != kPellioFormatQrfDeflate && format != kPellioFormatDirect)
        return TIFF_FILE_ERROR(kPellioCorrupt);
    file->kind = format == kPellioFormatDirect ? kPellioKindTiff : kPellioKindQrf;
    file->formatCode = format;
    return nullptr;
}

// One picture per directory. A plain TIFF's later pages that this code
// cannot read are left out; in our own files every picture must read. All
// pictures together may not stand for more data than the file can hold,
// whether or not their directories share strips.
IKelvraError* ReadPictures(const std::shared_ptr<CTiffReader>& reader, const std::vector<TiffIfd>& ifds,
                           PellioParsedFile* file)
{
    const bool ours = file->kind == kPellioKindQrf || file->formatCode == kPellioFormatDirect;
    std::uint64_t decoded = 0;
    for (std::size_t i = 0; i < ifds.size(); ++i) {
        TiffImageLayout layout;
        IKelvraError* error = TiffDescribeImage(ifds[i], reader->Order(), reader->FileSize(), &layout);
        if (!error)
            error = TiffCheckDecodedSize(decoded + layout.DecodedBytes(), reader->FileSize());
        if (error && (i == 0 || ours))
            return error;
        if (error) {
            IKelvraError::Release(error);
            continue;
        }
        decoded += layout.DecodedBytes();
        const std::uint32_t kind = i == 0 ? 0 : (layout.kind ? layout.kind : std::uint32_t(kPellioEntryRendition));
        file->pictures.push_back(std::make_unique<CTiffPicture>(reader, layout, kind));
    }
    return nullptr;
}

IKelvraError* ReadExifIfd(CTiffReader& reader, const TiffIfd& first, TiffIfd* exif, bool* present)
{
    const TiffField* pointer = first.Find(kTiffExifIfd);
    std::uint32_t offset = 0, next = 0;
    *present = pointer != nullptr;
    if (!pointer)
        return nullptr;
    if (!TiffUnsigned(*pointer, reader.Order(), 0, &offset))
        return TIFF_FILE_ERROR(kPellioCorrupt);
    return reader.ReadIfd(offset, exif, &next);
}

IKelvraError* ReadTags(CTiffReader& reader, const TiffIfd& first, PellioParsedFile* file)
{
    TiffIfd exif;
    bool hasExif = false;
    if (IKelvraError* error = ReadExifIfd(reader, first, &exif, &hasExif))
        return error;
    TiffCollectTags(first, hasExif ? &exif : nullptr, reader.Order(), &file->tags);
    const TiffField* block = first.Find(kQrfTagBlock);
    if (block && file->kind == kPellioKindQrf) {
        std::vector<PellioTagValue> stored;
        if (IKelvraError* error = QrfDecodeTagBlock(block->bytes, &stored))
            return KELVRA_WRAP(nullptr, kPellioTiffTag, error);
        file->tags.insert(file->tags.end(), stored.begin(), stored.end());
    }
    PellioAddGeometryTags(file->pictures.front()->Info(), &file->tags);
    return nullptr;
}

} // namespace

IKelvraError* PellioParseTiff(IKelvraFileStream* stream, PellioParsedFile* file)
{
    return PellioGuarded(kPellioTiffTag, [&]() -> IKelvraError* {
        auto reader = std::make_shared<CTiffReader>();
        std::vector<TiffIfd> ifds;
        IKelvraError* error = reader->Open(stream);
        if (!error)
            error = reader->ReadChain(&ifds);
        if (!error)
            error = ReadContainer(ifds.front(), reader->Order(), file);
        if (!error)
            error = ReadPictures(reader, ifds, file);
        if (!error)
            error = ReadTags(*reader, ifds.front(), file);
        return error;
    });
}
