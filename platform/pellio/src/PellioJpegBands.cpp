#include "PellioJpegBands.h"

#include "PellioLibjpeg.h"

namespace {

// The largest side a JPEG frame header can state.
constexpr long kMaxSide = 65535;
// Restart markers count 0 to 7 and wrap, so with a restart every band of
// eight MCU rows each band's internal numbering is the same wherever it
// sits; bands of that height also keep eight threads busy on a photo.
constexpr long kMcuRowsPerBand = 8;
// libjpeg's default sampling: luma at twice the chroma's density each way.
constexpr long kColourMcuSide = 16;
constexpr long kGreyMcuSide = 8;
// The largest restart interval a DRI segment can state.
constexpr long kMaxRestartInterval = 65535;

bool IsGrey(KelvraPixelFormat format)
{
    return format == kKelvraGrey8;
}

long McuSide(KelvraPixelFormat format)
{
    return IsGrey(format) ? kGreyMcuSide : kColourMcuSide;
}

// MCUs in one band; too many for a DRI segment on a very wide picture,
// which is then coded as one band without restarts.
long BandMcus(KelvraPixelFormat format, long width)
{
    return (width + McuSide(format) - 1) / McuSide(format) * kMcuRowsPerBand;
}

std::size_t BandCount(long height, long bandRows)
{
    return std::size_t((height + bandRows - 1) / bandRows);
}

struct BandShape {
    KelvraPixelFormat format;
    long width;
    long rows;
    int quality;
    unsigned restartInterval;
};

// Codes one band as a file of its own. State lives in `coder` only (see
// PellioLibjpeg.h).
IKelvraError* CompressRows(PellioJpegCompressor& coder, const BandShape& shape, JSAMPROW* rows)
{
    coder.info.err = PellioJpegErrors(coder.failure);
    if (setjmp(coder.failure.jump))
        return PellioLibjpegError(__LINE__, reinterpret_cast<j_common_ptr>(&coder.info));
    jpeg_create_compress(&coder.info);
    jpeg_mem_dest(&coder.info, &coder.buffer, &coder.size);
    coder.info.image_width = JDIMENSION(shape.width);
    coder.info.image_height = JDIMENSION(shape.rows);
    coder.info.input_components = IsGrey(shape.format) ? 1 : 3;
    coder.info.in_color_space = IsGrey(shape.format) ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&coder.info);
    jpeg_set_quality(&coder.info, shape.quality < 1 ? 1 : shape.quality, TRUE);
    coder.info.optimize_coding = FALSE; // every band must code with the same tables
    coder.info.restart_interval = shape.restartInterval;
    jpeg_start_compress(&coder.info, TRUE);
    while (coder.info.next_scanline < coder.info.image_height)
        jpeg_write_scanlines(&coder.info, rows + coder.info.next_scanline,
                             coder.info.image_height - coder.info.next_scanline);
    jpeg_finish_compress(&coder.info);
    return nullptr;
}

// Where a band file's frame height sits and where its coded data starts
// (after the scan header); libjpeg writes only length-counted segments
// before the scan.
struct ScanStart {
    std::size_t heightAt = 0;
    std::size_t dataAt = 0;
};

IKelvraError* FindScan(const std::vector<std::uint8_t>& code, ScanStart& found)
{
    std::size_t pos = 2;
    while (pos + 4 <= code.size() && code[pos] == 0xFF) {
        const std::uint8_t marker = code[pos + 1];
        const std::size_t end = pos + 2 + PellioGet16(code.data() + pos + 2, false);
        if (marker >= 0xC0 && marker <= 0xC2)
            found.heightAt = pos + 5;
        if (marker == kJpegSos && found.heightAt != 0 && end + 2 <= code.size()) {
            found.dataAt = end;
            return nullptr;
        }
        pos = end;
    }
    return PELLIO_JPEG_ERROR(kKelvraOperationFailed);
}

} // namespace

struct CPellioJpegBands::Band {
    BandShape shape;
    const std::uint8_t* rows;
    long rowBytes;
    std::vector<std::uint8_t> owned;
    std::vector<std::uint8_t> code;
};

IKelvraError* PellioCheckJpegPicture(KelvraPixelFormat format, long width, long height, int quality)
{
    if (format != kKelvraRGB8 && format != kKelvraGrey8)
        return PELLIO_JPEG_ERROR(kKelvraUnsupportedFormat);
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || quality < 0 || quality > 100)
        return PELLIO_JPEG_CORRUPT();
    return nullptr;
}

CPellioJpegBands::CPellioJpegBands(KelvraPixelFormat format, long width, long height, int quality)
    : m_format(format), m_width(width), m_height(height), m_quality(quality),
      m_bandRows(BandMcus(format, width) > kMaxRestartInterval ? height : McuSide(format) * kMcuRowsPerBand),
      m_restartInterval(m_bandRows == height ? 0 : unsigned(BandMcus(format, width))),
      m_workers(BandCount(height, m_bandRows))
{
}

CPellioJpegBands::~CPellioJpegBands()
{
    for (std::size_t i = m_collected; i < m_results.size(); ++i)
        PellioDropResult(m_results[i]);
}

IKelvraError* CPellioJpegBands::Add(const std::uint8_t* rows, long rowBytes)
{
    auto band = std::make_shared<Band>();
    band->rows = rows;
    band->rowBytes = rowBytes;
    return Post(std::move(band));
}

IKelvraError* CPellioJpegBands::Add(std::vector<std::uint8_t> packed)
{
    auto band = std::make_shared<Band>();
    band->owned = std::move(packed);
    band->rows = band->owned.data();
    band->rowBytes = KelvraRowBytes(m_format, m_width);
    return Post(std::move(band));
}

IKelvraError* CPellioJpegBands::Post(std::shared_ptr<Band> band)
{
    const long rows = m_height - m_rowsAdded < m_bandRows ? m_height - m_rowsAdded : m_bandRows;
    if (rows <= 0)
        return PELLIO_JPEG_ERROR(kKelvraNotReady);
    if (!band->rows)
        return PELLIO_JPEG_CORRUPT();
    const bool ownsRows = !band->owned.empty();
    if (ownsRows && band->owned.size() / std::size_t(band->rowBytes) < std::size_t(rows))
        return PELLIO_JPEG_CORRUPT(); // fewer rows than the band needs
    band->shape = BandShape{m_format, m_width, rows, m_quality, m_restartInterval};
    m_rowsAdded += rows;
    m_bands.push_back(band);
    m_results.push_back(m_workers.Post([band]() -> IKelvraError* {
        return PellioJpegGuard([&]() -> IKelvraError* {
            // libjpeg only reads the rows; its interface merely lacks const.
            std::vector<JSAMPROW> pointers(std::size_t(band->shape.rows), nullptr);
            for (std::size_t row = 0; row < pointers.size(); ++row)
                pointers[row] = const_cast<JSAMPROW>(band->rows) + row * std::size_t(band->rowBytes);
            PellioJpegCompressor coder;
            if (IKelvraError* error = CompressRows(coder, band->shape, pointers.data()))
                return error;
            band->code.assign(coder.buffer, coder.buffer + coder.size);
            std::vector<std::uint8_t>().swap(band->owned);
            return nullptr;
        });
    }));
    // Bands that hold their own rows until coded: a few in flight at most.
    // (The caller's rows cost nothing to queue.)
    const std::size_t bandBytes = std::size_t(band->rowBytes) * std::size_t(m_bandRows);
    while (ownsRows && m_results.size() - m_collected > PellioTasksInFlight(bandBytes, m_workers.Threads())) {
        if (IKelvraError* error = CollectOne())
            return error;
    }
    return nullptr;
}

IKelvraError* CPellioJpegBands::CollectOne()
{
    return m_results[m_collected++].get();
}

// One file: the first band's headers with the whole height, each band's
// coded data with the restart marker that ends the band before it, EOI.
IKelvraError* CPellioJpegBands::Finish(std::vector<std::uint8_t>& jpeg)
{
    if (m_rowsAdded != m_height)
        return PELLIO_JPEG_ERROR(kKelvraNotReady);
    while (m_collected < m_results.size()) {
        if (IKelvraError* error = CollectOne())
            return error;
    }
    std::vector<std::uint8_t> joined;
    for (std::size_t index = 0; index < m_bands.size(); ++index) {
        const std::vector<std::uint8_t>& code = m_bands[index]->code;
        ScanStart scan;
        if (IKelvraError* error = FindScan(code, scan))
            return error;
        if (index == 0) {
            joined.assign(code.begin(), code.begin() + std::ptrdiff_t(scan.dataAt));
            joined[scan.heightAt] = std::uint8_t(m_height >> 8);
            joined[scan.heightAt + 1] = std::uint8_t(m_height);
        } else {
            joined.push_back(0xFF);
            joined.push_back(std::uint8_t(0xD0 + ((index - 1) & 7)));
        }
        joined.insert(joined.end(), code.begin() + std::ptrdiff_t(scan.dataAt), code.end() - 2); // less EOI
        std::vector<std::uint8_t>().swap(m_bands[index]->code);
    }
    joined.push_back(0xFF);
    joined.push_back(kJpegEoi);
    jpeg.swap(joined);
    return nullptr;
}
