#include "KelvraImageTestSupport.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

using namespace kelvra_image_test;

namespace {

// Every writer writes the whole pattern into an image of its size and format.
using Writer = IKelvraError* (*)(IKelvraImage* image, KelvraPixelFormat format, long width, long height);

struct WriterCase {
    const char* name;
    Writer write;
    bool appends; // counts as rows written
};

// The caller's rows carry a few spare bytes, which the image must skip.
long CallerRowBytes(KelvraPixelFormat format, long width)
{
    return KelvraRowBytes(format, width) + 5;
}

IKelvraError* AppendInChunks(IKelvraImage* image, KelvraPixelFormat format, long width, long height, long chunk)
{
    const long rowBytes = CallerRowBytes(format, width);
    const std::vector<std::uint8_t> rows = PatternRows(format, KelvraRect(0, 0, width, height), rowBytes);
    for (long y = 0; y < height; y += chunk) {
        const long count = std::min(chunk, height - y);
        if (IKelvraError* error = image->AppendRows(rows.data() + y * rowBytes, count, rowBytes))
            return error;
    }
    return nullptr;
}

IKelvraError* AppendStrips(IKelvraImage* image, KelvraPixelFormat format, long width, long height)
{
    long strip = 0;
    if (IKelvraError* error = image->GetStripHeight(&strip))
        return error;
    return AppendInChunks(image, format, width, height, strip);
}

IKelvraError* AppendSeventeenRows(IKelvraImage* image, KelvraPixelFormat format, long width, long height)
{
    return AppendInChunks(image, format, width, height, 17);
}

IKelvraError* WriteBlocks(IKelvraImage* image, KelvraPixelFormat format, long width, long height, long blockWidth,
                          long blockHeight)
{
    for (long top = 0; top < height; top += blockHeight) {
        for (long left = 0; left < width; left += blockWidth) {
            const KelvraRect cell(left, top, left + blockWidth, top + blockHeight);
            const KelvraRect block = cell.Intersection(KelvraRect(0, 0, width, height));
            const long rowBytes = CallerRowBytes(format, block.Width());
            const std::vector<std::uint8_t> rows = PatternRows(format, block, rowBytes);
            if (IKelvraError* error = KelvraWriteRect(image, block, rows.data(), rowBytes))
                return error;
        }
    }
    return nullptr;
}

IKelvraError* WriteWhole(IKelvraImage* image, KelvraPixelFormat format, long width, long height)
{
    return WriteBlocks(image, format, width, height, width, height);
}

// Blocks whose edges fall inside tiles and, for bitmaps, inside bytes.
IKelvraError* WriteOddBlocks(IKelvraImage* image, KelvraPixelFormat format, long width, long height)
{
    return WriteBlocks(image, format, width, height, 43, 30);
}

const WriterCase kWriters[] = {
    {"AppendStrips", AppendStrips, true},
    {"AppendSeventeenRows", AppendSeventeenRows, true},
    {"WriteWhole", WriteWhole, false},
    {"WriteOddBlocks", WriteOddBlocks, false},
};

struct FormatCase {
    const char* name;
    KelvraPixelFormat format;
};

const FormatCase kFormats[] = {
    {"Bitmap", kKelvraBitmap},
    {"Grey8", kKelvraGrey8},
    {"RGB16", kKelvraRGB16},
    {"CMYK8", kKelvraCMYK8},
};

struct SizeCase {
    long width;
    long height;
};

const SizeCase kSizes[] = {{130, 70}, {64, 64}, {1, 1}, {65, 129}};

void PrintTo(const FormatCase& c, std::ostream* out)
{
    *out << c.name;
}
void PrintTo(const SizeCase& c, std::ostream* out)
{
    *out << c.width << "x" << c.height;
}
void PrintTo(const WriterCase& c, std::ostream* out)
{
    *out << c.name;
}

class KelvraImageRoundTrip : public ::testing::TestWithParam<std::tuple<FormatCase, SizeCase, WriterCase>> {
protected:
    void SetUp() override
    {
        std::tie(m_format, m_size, m_writer) = GetParam();
        m_manager = MakeManager();
        m_image = MakeImage(m_manager.get(), m_format.format, m_size.width, m_size.height);
        ASSERT_TRUE(Succeeded(m_writer.write(m_image.get(), m_format.format, m_size.width, m_size.height)));
    }

    KelvraRect Whole() const { return KelvraRect(0, 0, m_size.width, m_size.height); }

    FormatCase m_format{};
    SizeCase m_size{};
    WriterCase m_writer{};
    ManagerPtr m_manager;
    ImagePtr m_image;
};

TEST_P(KelvraImageRoundTrip, GetDataGivesThePackedPattern)
{
    std::size_t size = 0;
    ASSERT_TRUE(Succeeded(m_image->GetDataSize(&size)));
    const long rowBytes = KelvraRowBytes(m_format.format, m_size.width);
    ASSERT_EQ(std::size_t(rowBytes) * std::size_t(m_size.height), size);
    std::vector<std::uint8_t> data(size, 0xCD);
    ASSERT_TRUE(Succeeded(m_image->GetData(data.data(), size)));
    EXPECT_TRUE(MatchesPattern(data, rowBytes, m_format.format, Whole()));
    EXPECT_EQ(m_writer.appends ? m_size.height : 0, m_image->GetRowsWritten());
}

TEST_P(KelvraImageRoundTrip, ReadRectGivesEachPartAndLeavesSpareBytesAlone)
{
    const KelvraRect parts[] = {Whole(), {63, 63, 66, 66}, {1, 2, 130, 69}, {60, 0, 70, 129}, {64, 64, 65, 65}};
    for (const KelvraRect& wanted : parts) {
        const KelvraRect part = wanted.Intersection(Whole());
        if (part.IsEmpty())
            continue;
        const long packed = KelvraRowBytes(m_format.format, part.Width());
        const long rowBytes = packed + 3;
        std::vector<std::uint8_t> rows(std::size_t(rowBytes) * std::size_t(part.Height()), 0xCD);
        ASSERT_TRUE(Succeeded(KelvraReadRect(m_image.get(), part, rows.data(), rowBytes))) << RectText(part);
        EXPECT_TRUE(MatchesPattern(rows, rowBytes, m_format.format, part)) << RectText(part);
        for (long y = 0; y < part.Height(); ++y) {
            const auto spare = rows.begin() + y * rowBytes + packed;
            EXPECT_TRUE(std::all_of(spare, spare + 3, [](std::uint8_t b) { return b == 0xCD; })) << RectText(part);
        }
    }
}

TEST_P(KelvraImageRoundTrip, GetPixelGivesEachPixel)
{
    const long w = m_size.width, h = m_size.height;
    const long points[][2] = {{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}, {63, 63}, {64, 64}, {w / 2, h / 3}};
    for (const auto& point : points) {
        if (!Whole().Contains(point[0], point[1]))
            continue;
        std::uint8_t pixel[8] = {};
        ASSERT_TRUE(Succeeded(m_image->GetPixel(point[0], point[1], pixel)));
        EXPECT_EQ(PatternPixel(m_format.format, point[0], point[1]),
                  PixelValue(pixel, 8, KelvraBitsPerPixel(m_format.format), 0, 0))
            << point[0] << "," << point[1];
    }
}

std::string RoundTripName(const ::testing::TestParamInfo<KelvraImageRoundTrip::ParamType>& info)
{
    const SizeCase& size = std::get<1>(info.param);
    return std::string(std::get<0>(info.param).name) + "_" + std::to_string(size.width) + "x" +
           std::to_string(size.height) + "_" + std::get<2>(info.param).name;
}

INSTANTIATE_TEST_SUITE_P(, KelvraImageRoundTrip,
                         ::testing::Combine(::testing::ValuesIn(kFormats), ::testing::ValuesIn(kSizes),
                                            ::testing::ValuesIn(kWriters)),
                         RoundTripName);

// A 130 x 70 RGB16 image: three columns and two rows of 64-pixel tiles.
class KelvraImageTiles : public ::testing::Test {
protected:
    void SetUp() override { m_image = MakeImage(m_manager.get(), kKelvraRGB16, 130, 70); }

    // Locks a tile for reading and checks that every byte of its buffer is `value`.
    void ExpectTileBytes(long column, long row, std::uint8_t value)
    {
        const void* data = nullptr;
        KelvraRect rect;
        long rowBytes = 0;
        ASSERT_TRUE(Succeeded(m_image->LockTile(column, row, &data, &rect, &rowBytes)));
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        EXPECT_TRUE(std::all_of(bytes, bytes + kTileBytes, [value](std::uint8_t b) { return b == value; }))
            << column << "," << row;
        EXPECT_TRUE(Succeeded(m_image->UnlockTile(column, row)));
    }

    void FillTile(long column, long row, std::uint8_t value)
    {
        void* data = nullptr;
        ASSERT_TRUE(Succeeded(m_image->LockTileForWrite(column, row, &data, nullptr, nullptr)));
        std::memset(data, value, kTileBytes);
        ASSERT_TRUE(Succeeded(m_image->UnlockTileForWrite(column, row, true)));
    }

    static constexpr long kRowBytes = 64 * 6;
    static constexpr std::size_t kTileBytes = std::size_t(kRowBytes) * 64;
    ManagerPtr m_manager = MakeManager();
    ImagePtr m_image;
};

TEST_F(KelvraImageTiles, TilesCoverTheGridClippedToTheImage)
{
    struct {
        long column, row;
        KelvraRect rect;
    } const tiles[] = {
        {0, 0, {0, 0, 64, 64}},
        {2, 0, {128, 0, 130, 64}},
        {0, 1, {0, 64, 64, 70}},
        {2, 1, {128, 64, 130, 70}},
    };
    for (const auto& tile : tiles) {
        const void* data = nullptr;
        KelvraRect rect;
        long rowBytes = 0;
        ASSERT_TRUE(Succeeded(m_image->LockTile(tile.column, tile.row, &data, &rect, &rowBytes)));
        EXPECT_EQ(RectText(tile.rect), RectText(rect));
        EXPECT_EQ(kRowBytes, rowBytes);
        EXPECT_TRUE(Succeeded(m_image->UnlockTile(tile.column, tile.row)));
    }
    long rowBytes = 0;
    ASSERT_TRUE(Succeeded(m_image->GetRowBytes(&rowBytes)));
    EXPECT_EQ(kRowBytes, rowBytes);
}

TEST_F(KelvraImageTiles, UnwrittenTilesReadAsZerosAndDoNotExist)
{
    for (long row = 0; row < 2; ++row) {
        for (long column = 0; column < 3; ++column) {
            ExpectTileBytes(column, row, 0);
            bool exists = true;
            ASSERT_TRUE(Succeeded(m_image->TileExists(column, row, &exists)));
            EXPECT_FALSE(exists);
        }
    }
}

TEST_F(KelvraImageTiles, AWrittenTileExistsAndKeepsItsPixels)
{
    FillTile(1, 1, 0x5A);
    bool exists = false;
    ASSERT_TRUE(Succeeded(m_image->TileExists(KelvraTileId(1, 1), &exists)));
    EXPECT_TRUE(exists);
    ExpectTileBytes(1, 1, 0x5A);
}

// Unwritten tiles may share one zero buffer: writing a tile must never reach it.
TEST_F(KelvraImageTiles, WritingATileLeavesUnwrittenTilesZero)
{
    const void* before = nullptr;
    ASSERT_TRUE(Succeeded(m_image->LockTile(0, 0, &before, nullptr, nullptr)));
    FillTile(0, 0, 0xFF);
    FillTile(1, 0, 0xEE);
    const auto* held = static_cast<const std::uint8_t*>(before);
    EXPECT_TRUE(std::all_of(held, held + kTileBytes, [](std::uint8_t b) { return b == 0; }));
    EXPECT_TRUE(Succeeded(m_image->UnlockTile(0, 0)));
    ExpectTileBytes(0, 0, 0xFF);
    ExpectTileBytes(2, 0, 0);
}

// A holder keeps reading what it locked, even when the image drops its
// pixels and new tiles of the same size are made meanwhile.
TEST_F(KelvraImageTiles, LockedPixelsOutliveASizeChange)
{
    FillTile(0, 0, 0x33);
    const void* held = nullptr;
    ASSERT_TRUE(Succeeded(m_image->LockTile(0, 0, &held, nullptr, nullptr)));
    ASSERT_TRUE(Succeeded(m_image->SetSize(100, 100)));
    FillTile(0, 0, 0x44);
    FillTile(1, 1, 0x55);
    const auto* bytes = static_cast<const std::uint8_t*>(held);
    EXPECT_TRUE(std::all_of(bytes, bytes + kTileBytes, [](std::uint8_t b) { return b == 0x33; }));
    EXPECT_TRUE(Succeeded(m_image->UnlockTile(0, 0)));
    ExpectTileBytes(0, 0, 0x44);
}

// Unwritten tiles and written ones (whose reads take a shorter path) alike.
TEST_F(KelvraImageTiles, EveryLockNeedsItsOwnUnlock)
{
    FillTile(1, 0, 0x11);
    for (long column : {0L, 1L}) {
        const void* data = nullptr;
        ASSERT_TRUE(Succeeded(m_image->LockTile(column, 0, &data, nullptr, nullptr)));
        ASSERT_TRUE(Succeeded(m_image->LockTile(KelvraTileId(column, 0), &data, nullptr, nullptr)));
        EXPECT_EQ(kKelvraBadArgument, CauseCode(m_image->UnlockTileForWrite(column, 0, false))) << column;
        EXPECT_TRUE(Succeeded(m_image->UnlockTile(column, 0)));
        EXPECT_TRUE(Succeeded(m_image->UnlockTile(KelvraTileId(column, 0))));
        EXPECT_EQ(kKelvraBadArgument, CauseCode(m_image->UnlockTile(column, 0))) << column;
    }
}

// Which changes drop the pixels and the count of rows written.
TEST(KelvraImageChanges, OnlyNewSizesAndFormatsDropPixels)
{
    KelvraPalette palette;
    palette.count = 1;
    struct {
        const char* name;
        std::function<IKelvraError*(IKelvraImage*)> change;
        bool drops;
    } const cases[] = {
        {"new size", [](IKelvraImage* image) { return image->SetSize(64, 32); }, true},
        {"new format", [](IKelvraImage* image) { return image->SetColorSpace(kKelvraGrey16); }, true},
        {"same size", [](IKelvraImage* image) { return image->SetSize(130, 70); }, false},
        {"same format", [](IKelvraImage* image) { return image->SetColorSpace(kKelvraGrey8); }, false},
        {"resolution", [](IKelvraImage* image) { return image->SetResolution(300); }, false},
        {"transform", [](IKelvraImage* image) { return image->SetTransform(true, 90, 0); }, false},
        {"palette", [&palette](IKelvraImage* image) { return image->SetPalette(palette); }, false},
    };
    ManagerPtr manager = MakeManager();
    for (const auto& c : cases) {
        ImagePtr image = MakeImage(manager.get(), kKelvraGrey8, 130, 70);
        ASSERT_TRUE(Succeeded(AppendStrips(image.get(), kKelvraGrey8, 130, 70)));
        ASSERT_TRUE(Succeeded(c.change(image.get()))) << c.name;
        bool exists = false;
        ASSERT_TRUE(Succeeded(image->TileExists(0, 0, &exists)));
        EXPECT_EQ(!c.drops, exists) << c.name;
        EXPECT_EQ(c.drops ? 0 : 70, image->GetRowsWritten()) << c.name;
        std::uint8_t pixel[2] = {0xCD, 0xCD};
        ASSERT_TRUE(Succeeded(image->GetPixel(1, 1, pixel)));
        EXPECT_EQ(c.drops ? 0 : PatternPixel(kKelvraGrey8, 1, 1), pixel[0]) << c.name;
    }
}

// Everything an image describes itself by, read through its getters.
struct ImageValues {
    long width = -1;
    long height = -1;
    KelvraPixelFormat format = 1;
    double dpi = -1;
    bool flip = false;
    double rotation = -1;
    KelvraPalette palette;
    long strip = -1;
};

ImageValues ReadValues(IKelvraImage* image)
{
    ImageValues values;
    EXPECT_TRUE(Succeeded(image->GetSize(&values.width, &values.height)));
    EXPECT_TRUE(Succeeded(image->GetColorSpace(&values.format)));
    EXPECT_TRUE(Succeeded(image->GetResolution(&values.dpi)));
    EXPECT_TRUE(Succeeded(image->GetFlip(&values.flip)));
    EXPECT_TRUE(Succeeded(image->GetRotation(&values.rotation)));
    EXPECT_TRUE(Succeeded(image->GetPalette(&values.palette)));
    EXPECT_TRUE(Succeeded(image->GetStripHeight(&values.strip)));
    return values;
}

TEST(KelvraImageValues, ANewImageHasNoSizeNoFormatAndDefaultValues)
{
    ManagerPtr manager = MakeManager();
    IKelvraImage* made = nullptr;
    ASSERT_TRUE(Succeeded(manager->CreateImage(&made)));
    ImagePtr image(made);
    const ImageValues values = ReadValues(image.get());
    EXPECT_EQ(0, values.width);
    EXPECT_EQ(0, values.height);
    EXPECT_EQ(0u, values.format);
    EXPECT_EQ(72.0, values.dpi);
    EXPECT_FALSE(values.flip);
    EXPECT_EQ(0.0, values.rotation);
    EXPECT_EQ(0, values.palette.count);
    EXPECT_EQ(64, values.strip);
    EXPECT_EQ(manager.get(), image->GetManager());
}

TEST(KelvraImageValues, SettersAreReadBack)
{
    ManagerPtr manager = MakeManager();
    ImagePtr image = MakeImage(manager.get(), kKelvraLab16, 7, 9);
    KelvraPalette palette;
    palette.count = 2;
    palette.entries[0] = 0x112233;
    palette.entries[1] = 0x445566;
    palette.entries[2] = 0x778899; // past the count: not part of the palette
    ASSERT_TRUE(Succeeded(image->SetResolution(254)));
    ASSERT_TRUE(Succeeded(image->SetTransform(true, 270, 0)));
    ASSERT_TRUE(Succeeded(image->SetPalette(palette)));
    const ImageValues values = ReadValues(image.get());
    EXPECT_EQ(7, values.width);
    EXPECT_EQ(9, values.height);
    EXPECT_EQ(kKelvraLab16, values.format);
    EXPECT_EQ(254.0, values.dpi);
    EXPECT_TRUE(values.flip);
    EXPECT_EQ(270.0, values.rotation);
    EXPECT_EQ(2, values.palette.count);
    EXPECT_EQ(0x445566u, values.palette.entries[1]);
    EXPECT_EQ(0u, values.palette.entries[2]);
}

} // namespace
