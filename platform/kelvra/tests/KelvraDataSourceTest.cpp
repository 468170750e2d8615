// The operations every data source inherits, run over a source that makes
// its tiles from the test pattern, pads its tile rows (so that callers must
// use the row bytes it gives) and counts the locks it hands out.
#include "KelvraImageTestSupport.h"

#include <algorithm>
#include <climits>
#include <map>
#include <mutex>
#include <vector>

using namespace kelvra_image_test;

namespace {

constexpr KelvraTag kPatternTag = KelvraFourCC('P', 'a', 't', 't');
constexpr long kPatternFailure = 7777;
constexpr long kRowPadding = 3;

class CPatternSource : public IKelvraDataSource {
public:
    CPatternSource(KelvraPixelFormat format, long width, long height, long tileSize)
        : m_format(format), m_width(width), m_height(height), m_tileSize(tileSize)
    {
    }

    using IKelvraDataSource::LockTile;
    using IKelvraDataSource::TileExists;
    using IKelvraDataSource::UnlockTile;

    IKelvraError* GetWidth(long* width) override { return Answer(width, m_width); }
    IKelvraError* GetHeight(long* height) override { return Answer(height, m_height); }
    IKelvraError* GetColorSpace(KelvraPixelFormat* format) override { return Answer(format, m_format); }
    IKelvraError* GetResolution(double* dpi) override { return Answer(dpi, 72.0); }
    IKelvraError* GetFlip(bool* flip) override { return Answer(flip, false); }
    IKelvraError* GetRotation(double* degrees) override { return Answer(degrees, 0.0); }
    IKelvraError* GetTileSize(long* size) override { return Answer(size, m_tileSize); }
    IKelvraError* GetPalette(KelvraPalette* palette) override { return Answer(palette, KelvraPalette()); }

    // Odd tiles exist, even ones do not: enough to see which tile was asked.
    IKelvraError* TileExists(long column, long row, bool* exists) override
    {
        return Answer(exists, (column + row) % 2 == 1);
    }

    IKelvraError* LockTile(long column, long row, const void** data, KelvraRect* rect, long* rowBytes) override
    {
        if (column == m_failColumn && row == m_failRow)
            return KELVRA_ERROR(nullptr, kPatternTag, kPatternFailure);
        const KelvraRect tile = KelvraRect(column * m_tileSize, row * m_tileSize, (column + 1) * m_tileSize,
                                           (row + 1) * m_tileSize)
                                    .Intersection(KelvraRect(0, 0, m_width, m_height));
        if (column < 0 || row < 0 || tile.IsEmpty())
            return KELVRA_ERROR(nullptr, kPatternTag, kKelvraBadArgument);
        std::lock_guard<std::mutex> guard(m_lock); // whole reads lock tiles on several threads
        std::vector<std::uint8_t>& pixels = m_tiles[KelvraTileId(column, row)];
        pixels = PatternRows(m_format, tile, TileRowBytes());
        pixels.resize(std::size_t(TileRowBytes()) * std::size_t(m_tileSize), 0xEE);
        ++m_locks[KelvraTileId(column, row)];
        *data = pixels.data();
        if (rect)
            *rect = tile;
        if (rowBytes)
            *rowBytes = TileRowBytes();
        return nullptr;
    }

    IKelvraError* UnlockTile(long column, long row) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        auto lock = m_locks.find(KelvraTileId(column, row));
        if (lock == m_locks.end() || lock->second == 0)
            return KELVRA_ERROR(nullptr, kPatternTag, kKelvraBadArgument);
        --lock->second;
        return nullptr;
    }

    long TileRowBytes() const { return KelvraRowBytes(m_format, m_tileSize) + kRowPadding; }
    void FailAt(long column, long row)
    {
        m_failColumn = column;
        m_failRow = row;
    }
    long Outstanding() const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        long count = 0;
        for (const auto& lock : m_locks)
            count += lock.second;
        return count;
    }

private:
    template <typename Out, typename Value>
    IKelvraError* Answer(Out* out, const Value& value)
    {
        if (!out)
            return KELVRA_ERROR(nullptr, kPatternTag, kKelvraMissingObject);
        *out = value;
        return nullptr;
    }

    KelvraPixelFormat m_format;
    long m_width;
    long m_height;
    long m_tileSize;
    long m_failColumn = -1;
    long m_failRow = -1;
    std::map<long, std::vector<std::uint8_t>> m_tiles;
    mutable std::mutex m_lock;
    std::map<long, long> m_locks;
};

TEST(KelvraDataSourceTiles, GetTileClipsTheGridCellToTheSource)
{
    struct {
        long tileSize, column, row;
        const char* rect; // empty: refused with a bad argument
    } const cases[] = {
        {64, 0, 0, "0,0,64,64"},   {64, 2, 1, "128,64,130,70"}, {64, 2, 0, "128,0,130,64"},
        {64, 3, 0, ""},            {64, 0, 2, ""},              {64, -1, 0, ""},
        {16, 2, 1, "32,16,48,32"}, {16, 8, 4, "128,64,130,70"}, {16, 9, 0, ""},
    };
    for (const auto& c : cases) {
        CPatternSource source(kKelvraGrey8, 130, 70, c.tileSize);
        KelvraRect byCell, byId;
        IKelvraError* error = source.GetTile(c.column, c.row, &byCell);
        if (!*c.rect) {
            EXPECT_EQ(kKelvraBadArgument, CauseCode(error)) << c.column << "," << c.row;
            continue;
        }
        ASSERT_TRUE(Succeeded(error));
        ASSERT_TRUE(Succeeded(source.GetTile(KelvraTileId(c.column, c.row), &byId)));
        EXPECT_EQ(c.rect, RectText(byCell));
        EXPECT_EQ(c.rect, RectText(byId));
    }
}

TEST(KelvraDataSourceTiles, IdFormsAskForTheTileTheIdNames)
{
    CPatternSource source(kKelvraGrey8, 130, 70, 16);
    const long tiles[][2] = {{0, 0}, {1, 0}, {0, 1}, {8, 4}, {7, 4}};
    for (const auto& tile : tiles) {
        bool exists = false;
        ASSERT_TRUE(Succeeded(source.TileExists(KelvraTileId(tile[0], tile[1]), &exists)));
        EXPECT_EQ((tile[0] + tile[1]) % 2 == 1, exists) << tile[0] << "," << tile[1];
        const void* data = nullptr;
        KelvraRect rect;
        ASSERT_TRUE(Succeeded(source.LockTile(KelvraTileId(tile[0], tile[1]), &data, &rect, nullptr)));
        EXPECT_EQ(tile[0] * 16, rect.left);
        EXPECT_EQ(tile[1] * 16, rect.top);
        ASSERT_TRUE(Succeeded(source.UnlockTile(KelvraTileId(tile[0], tile[1]))));
    }
    EXPECT_EQ(0, source.Outstanding());
}

TEST(KelvraDataSourceTiles, MapRectCoversTheClippedRectangle)
{
    struct {
        long tileSize;
        KelvraRect rect;
        long firstColumn, firstRow, columns, rows;
        const char* clipped;
    } const cases[] = {
        {64, {0, 0, 130, 70}, 0, 0, 3, 2, "0,0,130,70"},
        {64, {63, 63, 65, 65}, 0, 0, 2, 2, "63,63,65,65"},
        {64, {128, 64, 200, 100}, 2, 1, 1, 1, "128,64,130,70"},
        {64, {-10, -10, 5, 5}, 0, 0, 1, 1, "0,0,5,5"},
        {64, {64, 0, 128, 64}, 1, 0, 1, 1, "64,0,128,64"},
        {64, {200, 0, 300, 10}, 0, 0, 0, 0, "0,0,0,0"},
        {64, {10, 10, 10, 20}, 0, 0, 0, 0, "0,0,0,0"},
        {64, {-50, -50, -1, -1}, 0, 0, 0, 0, "0,0,0,0"},
        {16, {15, 15, 33, 17}, 0, 0, 3, 2, "15,15,33,17"},
        {16, {129, 69, 500, 500}, 8, 4, 1, 1, "129,69,130,70"},
    };
    for (const auto& c : cases) {
        CPatternSource source(kKelvraGrey8, 130, 70, c.tileSize);
        IKelvraTileGrid* grid = nullptr;
        ASSERT_TRUE(Succeeded(source.MapRect(c.rect, &grid))) << RectText(c.rect);
        ASSERT_NE(nullptr, grid);
        EXPECT_EQ(c.firstColumn, grid->GetFirstColumn()) << RectText(c.rect);
        EXPECT_EQ(c.firstRow, grid->GetFirstRow()) << RectText(c.rect);
        EXPECT_EQ(c.columns, grid->GetColumnCount()) << RectText(c.rect);
        EXPECT_EQ(c.rows, grid->GetRowCount()) << RectText(c.rect);
        EXPECT_EQ(c.clipped, RectText(grid->GetRect())) << RectText(c.rect);
        grid->Release();
    }
}

TEST(KelvraDataSourceTiles, GridLockGivesTheTileAndThePartInsideTheGrid)
{
    CPatternSource source(kKelvraRGB16, 130, 70, 64);
    const KelvraRect wanted(60, 50, 129, 69);
    IKelvraTileGrid* grid = nullptr;
    ASSERT_TRUE(Succeeded(source.MapRect(wanted, &grid)));
    ASSERT_EQ(3, grid->GetColumnCount());
    ASSERT_EQ(2, grid->GetRowCount());
    for (long row = 0; row < grid->GetRowCount(); ++row) {
        for (long column = 0; column < grid->GetColumnCount(); ++column) {
            const void* data = nullptr;
            KelvraRect tile, locked, expectedTile;
            long rowBytes = 0;
            ASSERT_TRUE(Succeeded(source.LockTile(grid, column, row, &data, &tile, &locked, &rowBytes)));
            ASSERT_TRUE(Succeeded(source.GetTile(column, row, &expectedTile)));
            EXPECT_EQ(RectText(expectedTile), RectText(tile));
            EXPECT_EQ(RectText(tile.Intersection(wanted)), RectText(locked));
            EXPECT_EQ(source.TileRowBytes(), rowBytes);
            // The data starts at the tile's corner, not at the locked part's.
            const std::uint64_t first = PixelValue(static_cast<const std::uint8_t*>(data), rowBytes, 48,
                                                   locked.left - tile.left, locked.top - tile.top);
            EXPECT_EQ(PatternPixel(kKelvraRGB16, locked.left, locked.top), first);
            ASSERT_TRUE(Succeeded(source.UnlockTile(grid, column, row)));
        }
    }
    EXPECT_EQ(0, source.Outstanding());
    grid->Release();
}

TEST(KelvraDataSourceTiles, GridCellsOutsideTheGridAreRefused)
{
    CPatternSource source(kKelvraGrey8, 130, 70, 64);
    IKelvraTileGrid* grid = nullptr;
    ASSERT_TRUE(Succeeded(source.MapRect(KelvraRect(70, 0, 120, 10), &grid))); // one cell: tile (1, 0)
    ASSERT_EQ(1, grid->GetColumnCount());
    ASSERT_EQ(1, grid->GetRowCount());
    const void* data = nullptr;
    const long cells[][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (const auto& cell : cells) {
        EXPECT_EQ(kKelvraBadArgument, CauseCode(source.LockTile(grid, cell[0], cell[1], &data, nullptr, nullptr,
                                                                nullptr)));
        EXPECT_EQ(kKelvraBadArgument, CauseCode(source.UnlockTile(grid, cell[0], cell[1])));
    }
    EXPECT_EQ(kKelvraMissingObject, CauseCode(source.LockTile(nullptr, 0, 0, &data, nullptr, nullptr, nullptr)));
    EXPECT_EQ(kKelvraMissingObject, CauseCode(source.UnlockTile(nullptr, 0, 0)));
    EXPECT_EQ(0, source.Outstanding());
    grid->Release();
}

TEST(KelvraDataSourceTiles, RowBytesAndSizeComeFromTheSource)
{
    struct {
        KelvraPixelFormat format;
        long tileSize, rowBytes;
    } const cases[] = {
        {kKelvraRGB16, 64, 384}, {kKelvraBitmap, 64, 8}, {kKelvraGrey16, 16, 32}, {kKelvraCMYK8, 64, 256}};
    for (const auto& c : cases) {
        CPatternSource source(c.format, 33, 44, c.tileSize);
        long rowBytes = 0, width = 0, height = 0;
        ASSERT_TRUE(Succeeded(source.GetRowBytes(&rowBytes)));
        ASSERT_TRUE(Succeeded(source.GetSize(&width, &height)));
        EXPECT_EQ(c.rowBytes, rowBytes);
        EXPECT_EQ(33, width);
        EXPECT_EQ(44, height);
    }
}

struct PixelCase {
    const char* name;
    KelvraPixelFormat format;
    long tileSize;
};

void PrintTo(const PixelCase& c, std::ostream* out)
{
    *out << c.name;
}

class KelvraDataSourcePixels : public ::testing::TestWithParam<PixelCase> {};

TEST_P(KelvraDataSourcePixels, GetDataPacksEveryTileAndUnlocksThem)
{
    const PixelCase& c = GetParam();
    CPatternSource source(c.format, 130, 70, c.tileSize);
    std::size_t size = 0;
    ASSERT_TRUE(Succeeded(source.GetDataSize(&size)));
    const long rowBytes = KelvraRowBytes(c.format, 130);
    ASSERT_EQ(std::size_t(rowBytes) * 70, size);
    std::vector<std::uint8_t> data(size + 1, 0xFF);
    ASSERT_TRUE(Succeeded(source.GetData(data.data(), data.size())));
    EXPECT_TRUE(MatchesPattern(data, rowBytes, c.format, KelvraRect(0, 0, 130, 70)));
    EXPECT_EQ(0xFF, data[size]); // nothing past the block
    const unsigned usedBits = (130 * KelvraBitsPerPixel(c.format)) % 8;
    for (long y = 0; usedBits && y < 70; ++y) // padding bits of packed rows read as zero
        EXPECT_EQ(0, data[std::size_t(y * rowBytes + rowBytes - 1)] & (0xFF >> usedBits)) << y;
    EXPECT_EQ(0, source.Outstanding());
}

TEST_P(KelvraDataSourcePixels, ReadRectKeepsTheBitsAroundThePart)
{
    const PixelCase& c = GetParam();
    CPatternSource source(c.format, 130, 70, c.tileSize);
    const KelvraRect parts[] = {{3, 1, 8, 4}, {61, 13, 70, 20}, {125, 60, 130, 70}, {15, 15, 17, 33}};
    for (const KelvraRect& part : parts) {
        const unsigned bits = KelvraBitsPerPixel(c.format);
        const long rowBytes = KelvraRowBytes(c.format, part.Width()) + 1;
        std::vector<std::uint8_t> rows(std::size_t(rowBytes) * std::size_t(part.Height()), 0xFF);
        ASSERT_TRUE(Succeeded(KelvraReadRect(&source, part, rows.data(), rowBytes)));
        EXPECT_TRUE(MatchesPattern(rows, rowBytes, c.format, part)) << RectText(part);
        const long usedBits = part.Width() * long(bits);
        for (long y = 0; y < part.Height(); ++y) {
            for (long bit = usedBits; bit < rowBytes * 8; ++bit) // all ones, as the caller left them
                EXPECT_EQ(1u, PixelValue(rows.data(), rowBytes, 1, bit, y)) << RectText(part) << " bit " << bit;
        }
    }
    EXPECT_EQ(0, source.Outstanding());
}

TEST_P(KelvraDataSourcePixels, GetPixelReadsOnePixel)
{
    const PixelCase& c = GetParam();
    CPatternSource source(c.format, 130, 70, c.tileSize);
    const long points[][2] = {{0, 0}, {129, 69}, {63, 64}, {64, 63}, {15, 16}, {100, 7}};
    for (const auto& point : points) {
        std::uint8_t pixel[8] = {};
        ASSERT_TRUE(Succeeded(source.GetPixel(point[0], point[1], pixel)));
        EXPECT_EQ(PatternPixel(c.format, point[0], point[1]), PixelValue(pixel, 8, KelvraBitsPerPixel(c.format), 0, 0))
            << point[0] << "," << point[1];
    }
    EXPECT_EQ(0, source.Outstanding());
}

const PixelCase kPixelCases[] = {
    {"Bitmap64", kKelvraBitmap, 64}, {"Bitmap16", kKelvraBitmap, 16}, {"Grey8", kKelvraGrey8, 64},
    {"Grey16Tile16", kKelvraGrey16, 16}, {"RGB16", kKelvraRGB16, 64}, {"RGB8Tile16", kKelvraRGB8, 16},
};

INSTANTIATE_TEST_SUITE_P(, KelvraDataSourcePixels, ::testing::ValuesIn(kPixelCases),
                         [](const ::testing::TestParamInfo<PixelCase>& info) { return std::string(info.param.name); });

TEST(KelvraDataSourceFailures, AFailingTileStopsTheReadAndLeavesNoLocks)
{
    CPatternSource source(kKelvraGrey8, 130, 70, 64);
    source.FailAt(1, 0);
    std::vector<std::uint8_t> data(130 * 70);
    IKelvraError* error = source.GetData(data.data(), data.size());
    ASSERT_NE(nullptr, error);
    EXPECT_TRUE(error->HasCode(kPatternFailure));
    IKelvraError::Release(error);
    EXPECT_EQ(0, source.Outstanding());
}

// A source too large to hold as one block still answers for single pixels.
TEST(KelvraDataSourceFailures, AnUnaddressableSourceRefusesOnlyWholeReads)
{
    CPatternSource source(kKelvraRGB16, LONG_MAX, LONG_MAX, 64);
    std::size_t size = 0;
    EXPECT_EQ(kKelvraBadArgument, CauseCode(source.GetDataSize(&size)));
    std::uint8_t byte = 0;
    EXPECT_EQ(kKelvraBadArgument, CauseCode(source.GetData(&byte, 1)));
    std::uint8_t pixel[6] = {};
    ASSERT_TRUE(Succeeded(source.GetPixel(5, 5, pixel)));
    EXPECT_EQ(PatternPixel(kKelvraRGB16, 5, 5), PixelValue(pixel, 6, 48, 0, 0));
}

} // namespace
