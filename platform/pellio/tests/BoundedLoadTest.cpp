// Crafted files that state far more picture than they hold: strips that all
// read one deflate stream, strips that overlap, huge sizes over tiny data,
// sub-images that reread the main picture's data, a JPEG frame header with a
// huge size. Each is refused when the loader starts, with an error chain
// that says what is wrong, and before anything of the stated size exists.
#include "PellioTestSupport.h"

#include "pellio/PellioJpeg.h"
#include "pellio/src/TiffIfdBuilder.h"

#include <windows.h>
#include <psapi.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <functional>

namespace pelliotest {
namespace {

// A refused load may read the file and its directories, nothing of the
// picture's stated size (gigabytes in every case below).
constexpr SIZE_T kSmallLoadBytes = 64u << 20;
constexpr std::uint32_t kMosaicWidth = 65536;
constexpr std::uint32_t kStripRows = 64;
// One strip of a 65536-sample-wide 16-bit mosaic.
constexpr std::size_t kMosaicStripBytes = std::size_t(kMosaicWidth) * 2 * kStripRows;

SIZE_T PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    EXPECT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters));
    return counters.PeakWorkingSetSize;
}

// Whether any error of the chain, or any it wraps, carries `text`.
bool ChainSays(const IKelvraError* error, const char* text)
{
    for (; error; error = error->GetNext()) {
        if (std::strstr(error->GetText(), text) || ChainSays(error->GetInner(), text))
            return true;
    }
    return false;
}

// `rawBytes` of zeros as one zlib stream, padded (inflating ignores what
// follows the stream) to the least size the loader believes can hold them.
Bytes DeflatedZeros(std::size_t rawBytes)
{
    const Bytes zeros(rawBytes, 0);
    uLongf size = compressBound(uLong(rawBytes));
    Bytes stream(size);
    EXPECT_EQ(Z_OK, compress2(stream.data(), &size, zeros.data(), uLong(rawBytes), 9));
    stream.resize(std::max<std::size_t>(size, (rawBytes + 1031) / 1032));
    return stream;
}

struct Picture {
    std::uint32_t width;
    std::uint32_t height;
    bool mosaic;     // 16-bit colour filter array data, else 8-bit grey
    bool deflate;
    std::uint32_t rowsPerStrip;
    std::vector<std::uint32_t> offsets;
    std::vector<std::uint32_t> counts;
};

CTiffIfdBuilder Directory(const Picture& p, bool qrf)
{
    CTiffIfdBuilder ifd;
    ifd.AddLong(256, p.width);
    ifd.AddLong(257, p.height);
    ifd.AddShorts(258, {std::uint16_t(p.mosaic ? 16 : 8)});
    ifd.AddShorts(259, {std::uint16_t(p.deflate ? 8 : 1)});
    ifd.AddShorts(262, {std::uint16_t(p.mosaic ? 32803 : 1)});
    ifd.AddLongs(273, p.offsets);
    ifd.AddShorts(277, {1});
    ifd.AddLong(278, p.rowsPerStrip);
    ifd.AddLongs(279, p.counts);
    if (qrf)
        ifd.AddLongs(65000, {1, p.deflate ? 2048u : 32u});
    return ifd;
}

// A little-endian file: `data` from offset 8, then one directory per
// picture, chained in order; the first marks a Qrf file when `qrf` is set.
Bytes TiffFile(const Bytes& data, const std::vector<Picture>& pictures, bool qrf)
{
    Bytes file = {'I', 'I', 42, 0, 0, 0, 0, 0};
    file.insert(file.end(), data.begin(), data.end());
    std::vector<CTiffIfdBuilder> ifds;
    for (std::size_t i = 0; i < pictures.size(); ++i)
        ifds.push_back(Directory(pictures[i], qrf && i == 0));
    std::uint32_t at = std::uint32_t(file.size() + file.size() % 2);
    for (int i = 0; i < 4; ++i)
        file[4 + std::size_t(i)] = std::uint8_t(at >> (8 * i));
    for (std::size_t i = 0; i < ifds.size(); ++i) {
        file.resize(at);
        const std::uint32_t end = at + std::uint32_t(ifds[i].Size());
        const std::uint32_t next = i + 1 < ifds.size() ? end + end % 2 : 0;
        const Bytes bytes = ifds[i].Serialise(at, next);
        file.insert(file.end(), bytes.begin(), bytes.end());
        at = next;
    }
    return file;
}

// A 65536 x `height` mosaic whose strips all read the stream at offset 8.
Picture SharedStreamMosaic(std::uint32_t height, std::uint32_t streamBytes)
{
    const std::uint32_t strips = (height + kStripRows - 1) / kStripRows;
    return Picture{kMosaicWidth, height, true, true, kStripRows, std::vector<std::uint32_t>(strips, 8),
                   std::vector<std::uint32_t>(strips, streamBytes)};
}

Bytes SharedStreamFile(std::uint32_t height, std::size_t pictures, bool qrf)
{
    const Bytes stream = DeflatedZeros(kMosaicStripBytes);
    return TiffFile(stream, std::vector<Picture>(pictures, SharedStreamMosaic(height, std::uint32_t(stream.size()))),
                    qrf);
}

// Two 64-row strips of an 8-bit grey picture 512 samples wide.
Bytes TwoGreyStrips(bool deflate, std::uint32_t secondStart)
{
    const std::size_t stripBytes = 512 * kStripRows;
    const Bytes data = deflate ? DeflatedZeros(stripBytes) : Bytes(secondStart + stripBytes, 0x40);
    const std::uint32_t count = std::uint32_t(deflate ? data.size() : stripBytes);
    return TiffFile(data, {Picture{512, 2 * kStripRows, false, deflate, kStripRows, {8, 8 + secondStart},
                                   {count, count}}},
                    true);
}

struct BoundCase {
    const char* name;
    std::function<Bytes()> make;
    long code;
    const char* says;
};

std::ostream& operator<<(std::ostream& out, const BoundCase& c)
{
    return out << c.name;
}

const BoundCase kCases[] = {
    {"65536 x 65536 mosaic whose strips share one stream", [] { return SharedStreamFile(65536, 1, true); },
     kPellioCorrupt, "out of proportion"},
    {"two strips read one deflate stream", [] { return TwoGreyStrips(true, 0); }, kPellioCorrupt, "overlap"},
    {"uncompressed strips overlap by one byte", [] { return TwoGreyStrips(false, 512 * kStripRows - 1); },
     kPellioCorrupt, "overlap"},
    {"a 2^20 x 2^20 picture in one small strip",
     [] {
         const Bytes stream = DeflatedZeros(kMosaicStripBytes);
         const std::uint32_t side = 1u << 20;
         return TiffFile(stream, {Picture{side, side, false, true, side, {8}, {std::uint32_t(stream.size())}}},
                         true);
     },
     kPellioCorrupt, "too small"},
    {"sub-images reread the main picture's stream", [] { return SharedStreamFile(kStripRows, 4, true); },
     kPellioCorrupt, "out of proportion"},
};

class BoundedLoadTest : public ::testing::TestWithParam<BoundCase> {
protected:
    TempFolder m_folder;
};

TEST_P(BoundedLoadTest, RefusedAtStartWithItsReason)
{
    const BoundCase& c = GetParam();
    const std::string path = m_folder.File("crafted.qrf");
    WriteFile(path, c.make());
    const SIZE_T peakBefore = PeakWorkingSet();
    StartedLoad started;
    IKelvraError* error = StartLoad(path, &started);
    ASSERT_NE(nullptr, error);
    EXPECT_EQ(kPellioLoadTag, error->GetTag());
    EXPECT_TRUE(error->HasCode(c.code));
    EXPECT_TRUE(ChainSays(error, c.says)) << "the chain should say: " << c.says;
    IKelvraError::Release(error);
    EXPECT_EQ(0u, started.tags->GetTagCount());
    EXPECT_LT(PeakWorkingSet() - peakBefore, kSmallLoadBytes);
}

INSTANTIATE_TEST_SUITE_P(CraftedFiles, BoundedLoadTest, ::testing::ValuesIn(kCases));

// The shared stream is a sound strip on its own: one strip of it loads, so
// the refusals above are about the whole, not a bad strip.
TEST(BoundedLoadControlTest, OneStripOfTheSharedStreamLoads)
{
    TempFolder folder;
    const std::string path = folder.File("one-strip.qrf");
    WriteFile(path, SharedStreamFile(kStripRows, 1, true));
    ManagerPtr manager = MakeManager();
    LoadedFile file;
    ASSERT_TRUE(Succeeded(LoadWhole(manager.get(), path, &file)));
    EXPECT_EQ(kMosaicWidth, file.info.width);
    EXPECT_EQ(kStripRows, file.info.height);
    const Bytes pixels = PixelsOf(file.main.get());
    EXPECT_EQ(kMosaicStripBytes, pixels.size());
    EXPECT_EQ(pixels.end(), std::find_if(pixels.begin(), pixels.end(), [](std::uint8_t b) { return b != 0; }));
}

// A plain TIFF's later pages that would overrun the file's share are left
// out, as other unreadable pages are; its main picture still loads.
TEST(BoundedLoadControlTest, PlainTiffKeepsThePagesItsSizeAllows)
{
    TempFolder folder;
    const std::string path = folder.File("pages.tif");
    WriteFile(path, SharedStreamFile(kStripRows, 4, false));
    StartedLoad started;
    ASSERT_TRUE(Succeeded(StartLoad(path, &started)));
    KelvraFileInfo info{};
    info.size = sizeof info;
    ASSERT_TRUE(Succeeded(started.load->GetFileInfo(&info)));
    EXPECT_EQ(kMosaicWidth, info.width);
    EXPECT_EQ(0u, info.subImageCount);
}

// The JPEG of an 8-bit grey or RGB raster of one value.
Bytes FlatJpeg(KelvraPixelFormat format, long width, long height, int quality)
{
    PellioRaster raster;
    raster.width = width;
    raster.height = height;
    raster.pixelFormat = format;
    raster.rowBytes = KelvraRowBytes(format, width);
    raster.bytes.assign(std::size_t(raster.rowBytes) * std::size_t(height), 0x80);
    Bytes jpeg;
    EXPECT_TRUE(Succeeded(PellioEncodeJpeg(raster, PellioJpegMetadata(), quality, jpeg)));
    return jpeg;
}

// A small JPEG whose frame header claims 65535 x 65535 pixels: the decoder
// would make room for 12 GB before finding the data short.
TEST(BoundedJpegLoadTest, HugeFrameOverTinyDataIsRefusedAtStart)
{
    Bytes jpeg = FlatJpeg(kKelvraRGB8, 16, 16, 90);
    const std::uint8_t baselineFrame[] = {0xFF, 0xC0};
    const auto frame = std::search(jpeg.begin(), jpeg.end(), std::begin(baselineFrame), std::end(baselineFrame));
    ASSERT_NE(jpeg.end(), frame) << "no baseline frame header";
    const std::size_t at = std::size_t(frame - jpeg.begin()) + 5; // marker, length, precision
    std::fill(jpeg.begin() + long(at), jpeg.begin() + long(at) + 4, 0xFF);
    TempFolder folder;
    const std::string path = folder.File("huge-frame.jpg");
    WriteFile(path, jpeg);
    const SIZE_T peakBefore = PeakWorkingSet();
    StartedLoad started;
    IKelvraError* error = StartLoad(path, &started);
    ASSERT_NE(nullptr, error);
    EXPECT_EQ(kPellioLoadTag, error->GetTag());
    EXPECT_TRUE(error->HasCode(kKelvraBadArgument));
    EXPECT_TRUE(ChainSays(error, "out of proportion"));
    IKelvraError::Release(error);
    EXPECT_LT(PeakWorkingSet() - peakBefore, kSmallLoadBytes);
}

// Flat pictures compress best of all; the bound leaves them alone.
TEST(BoundedJpegLoadTest, FlatPicturesStillLoad)
{
    const struct {
        KelvraPixelFormat format;
        int quality;
    } cases[] = {{kKelvraGrey8, 40}, {kKelvraRGB8, 40}, {kKelvraRGB8, 100}};
    TempFolder folder;
    ManagerPtr manager = MakeManager();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.format << std::dec << " quality " << c.quality);
        const std::string path = folder.File("flat.jpg");
        WriteFile(path, FlatJpeg(c.format, 1024, 1024, c.quality));
        LoadedFile file;
        ASSERT_TRUE(Succeeded(LoadWhole(manager.get(), path, &file)));
        EXPECT_EQ(1024u, file.info.width);
        EXPECT_EQ(1024u, file.info.height);
    }
}

} // namespace
} // namespace pelliotest
