// Encoding: libjpeg codes bands of rows on worker threads, each band a
// stretch between restart markers, and the bands are joined into one scan;
// then our metadata segments go in after SOI.
#include "PellioLibjpeg.h"
#include "PellioWorkers.h"

#include <cstring>

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

bool IsGrey(const PellioRaster& raster)
{
    return raster.pixelFormat == kKelvraGrey8;
}

std::size_t PackedRowBytes(const PellioRaster& raster)
{
    return std::size_t(KelvraRowBytes(raster.pixelFormat, raster.width));
}

IKelvraError* CheckArguments(const PellioRaster& raster, int quality)
{
    if (raster.pixelFormat != kKelvraRGB8 && raster.pixelFormat != kKelvraGrey8)
        return PELLIO_JPEG_ERROR(kKelvraUnsupportedFormat);
    if (raster.width <= 0 || raster.height <= 0 || raster.width > kMaxSide || raster.height > kMaxSide ||
        quality < 0 || quality > 100)
        return PELLIO_JPEG_CORRUPT();
    if (raster.rowBytes < long(PackedRowBytes(raster)) ||
        raster.bytes.size() / std::size_t(raster.rowBytes) < std::size_t(raster.height))
        return PELLIO_JPEG_CORRUPT();
    return nullptr;
}

// How the picture is cut: `bandRows` rows a band, a restart every
// `restartInterval` MCUs (0: one band and no restarts, when a band of a
// very wide picture holds more MCUs than a DRI segment can state).
struct BandLayout {
    long bandRows;
    unsigned restartInterval;
    long Bands(long height) const { return (height + bandRows - 1) / bandRows; }
};

BandLayout LayoutOf(const PellioRaster& raster)
{
    const long side = IsGrey(raster) ? kGreyMcuSide : kColourMcuSide;
    const long interval = (raster.width + side - 1) / side * kMcuRowsPerBand;
    if (interval > kMaxRestartInterval)
        return BandLayout{raster.height, 0};
    return BandLayout{side * kMcuRowsPerBand, unsigned(interval)};
}

// Codes `rows` rows from `first` as a file of their own. State lives in
// `coder` only (see PellioLibjpeg.h).
IKelvraError* CompressRows(PellioJpegCompressor& coder, const PellioRaster& raster, JSAMPROW* first, long rows,
                           int quality, unsigned restartInterval)
{
    coder.info.err = PellioJpegErrors(coder.failure);
    if (setjmp(coder.failure.jump))
        return PellioLibjpegError(__LINE__, reinterpret_cast<j_common_ptr>(&coder.info));
    jpeg_create_compress(&coder.info);
    jpeg_mem_dest(&coder.info, &coder.buffer, &coder.size);
    coder.info.image_width = JDIMENSION(raster.width);
    coder.info.image_height = JDIMENSION(rows);
    coder.info.input_components = IsGrey(raster) ? 1 : 3;
    coder.info.in_color_space = IsGrey(raster) ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&coder.info);
    jpeg_set_quality(&coder.info, quality < 1 ? 1 : quality, TRUE);
    coder.info.optimize_coding = FALSE; // every band must code with the same tables
    coder.info.restart_interval = restartInterval;
    jpeg_start_compress(&coder.info, TRUE);
    while (coder.info.next_scanline < coder.info.image_height)
        jpeg_write_scanlines(&coder.info, first + coder.info.next_scanline,
                             coder.info.image_height - coder.info.next_scanline);
    jpeg_finish_compress(&coder.info);
    return nullptr;
}

IKelvraError* CompressBand(const PellioRaster& raster, long top, long rows, int quality, unsigned restartInterval,
                           std::vector<std::uint8_t>& code)
{
    return PellioJpegGuard([&]() -> IKelvraError* {
        // libjpeg only reads the rows; its interface merely lacks const.
        std::vector<JSAMPROW> pointers(std::size_t(rows), nullptr);
        for (long row = 0; row < rows; ++row)
            pointers[std::size_t(row)] = const_cast<JSAMPROW>(raster.bytes.data()) +
                                         std::size_t(top + row) * std::size_t(raster.rowBytes);
        PellioJpegCompressor coder;
        if (IKelvraError* error = CompressRows(coder, raster, pointers.data(), rows, quality, restartInterval))
            return error;
        code.assign(coder.buffer, coder.buffer + coder.size);
        return nullptr;
    });
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

// One file: the first band's headers with the whole height, each band's
// coded data with the restart marker that ends the band before it, EOI.
IKelvraError* JoinBands(const std::vector<std::vector<std::uint8_t>>& bands, long height,
                        std::vector<std::uint8_t>& jpeg)
{
    for (std::size_t index = 0; index < bands.size(); ++index) {
        const std::vector<std::uint8_t>& code = bands[index];
        ScanStart scan;
        if (IKelvraError* error = FindScan(code, scan))
            return error;
        if (index == 0) {
            jpeg.assign(code.begin(), code.begin() + std::ptrdiff_t(scan.dataAt));
            jpeg[scan.heightAt] = std::uint8_t(height >> 8);
            jpeg[scan.heightAt + 1] = std::uint8_t(height);
        } else {
            jpeg.push_back(0xFF);
            jpeg.push_back(std::uint8_t(0xD0 + ((index - 1) & 7)));
        }
        jpeg.insert(jpeg.end(), code.begin() + std::ptrdiff_t(scan.dataAt), code.end() - 2); // less EOI
    }
    jpeg.push_back(0xFF);
    jpeg.push_back(kJpegEoi);
    return nullptr;
}

IKelvraError* EncodeBands(const PellioRaster& raster, int quality, std::vector<std::uint8_t>& jpeg)
{
    const BandLayout layout = LayoutOf(raster);
    const long count = layout.Bands(raster.height);
    std::vector<std::vector<std::uint8_t>> bands(static_cast<std::size_t>(count));
    auto band = [&](long index) {
        const long top = index * layout.bandRows;
        const long rows = raster.height - top < layout.bandRows ? raster.height - top : layout.bandRows;
        return CompressBand(raster, top, rows, quality, layout.restartInterval, bands[std::size_t(index)]);
    };
    if (count == 1) {
        if (IKelvraError* error = band(0))
            return error;
        return JoinBands(bands, raster.height, jpeg);
    }
    std::vector<std::future<IKelvraError*>> results;
    IKelvraError* failure = nullptr;
    {
        CPellioWorkers workers(static_cast<std::size_t>(count));
        for (long index = 0; index < count; ++index)
            results.push_back(workers.Post([&band, index] { return band(index); }));
        // The first failure in band order is the one reported.
        for (std::future<IKelvraError*>& result : results) {
            if (failure)
                PellioDropResult(result);
            else
                failure = result.get();
        }
    }
    return failure ? failure : JoinBands(bands, raster.height, jpeg);
}

} // namespace

IKelvraError* PellioEncodeJpeg(const PellioRaster& raster, const PellioJpegMetadata& metadata, int quality,
                               std::vector<std::uint8_t>& out)
{
    return PellioJpegGuard([&]() -> IKelvraError* {
        if (IKelvraError* error = CheckArguments(raster, quality))
            return error;
        std::vector<std::uint8_t> ours;
        if (IKelvraError* error = PellioBuildJpegMetadata(metadata, ours))
            return error;
        std::vector<std::uint8_t> jpeg;
        if (IKelvraError* error = EncodeBands(raster, quality, jpeg))
            return error;
        std::vector<std::uint8_t> result;
        if (IKelvraError* error = PellioSpliceJpegMetadata(jpeg.data(), jpeg.size(), ours, result))
            return error;
        out.swap(result);
        return nullptr;
    });
}
