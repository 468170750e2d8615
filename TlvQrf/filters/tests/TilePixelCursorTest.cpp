// The tile pixel cursor over a real 8-bit RGB image of 200 x 150 pixels
// (tiles of 64: four columns, three rows), through a source that records
// every lock.
#include "FrameTestSupport.h"

#include "FilterTestSupport.h"
#include "filters/frame/TlEdgeMapping.h"
#include "filters/frame/TlTilePixelCursor.h"

#include <climits>

using namespace frame_test;

namespace {

const long kWidth = 200, kHeight = 150;

class TilePixelCursorTest : public ::testing::Test {
protected:
    TilePixelCursorTest() : m_image(MakePatternImage(m_holder.manager, kWidth, kHeight, kKelvraRGB8)), source(m_image)
    {
    }
    ~TilePixelCursorTest() override { m_image->Release(); }

    // Fails unless the cursor points at the pixel (x, y) of the image.
    static void ExpectPixel(const CTilePixelCursor& cursor, long x, long y)
    {
        ASSERT_NE(nullptr, cursor.Sample());
        for (long plane = 0; plane < 3; ++plane)
            EXPECT_EQ(PatternSample(x, y, plane, false), cursor.Sample()[plane]) << x << "," << y;
    }

    ManagerHolder m_holder;
    IKelvraImage* m_image;

protected:
    RecordingSource source;
};

TEST_F(TilePixelCursorTest, SeekReadsThePixelAndTheDistancesToTheTileEdges)
{
    CTilePixelCursor cursor(0, &source, 6);
    ExpectOk(cursor.Seek(70, 10));
    ExpectPixel(cursor, 70, 10);
    EXPECT_EQ(3, cursor.PixelStep());
    EXPECT_EQ(6, cursor.PixelsToLeft());
    EXPECT_EQ(57, cursor.PixelsToRight());
    EXPECT_EQ(10, cursor.RowsAbove());
    EXPECT_EQ(53, cursor.RowsBelow());
    EXPECT_FALSE(cursor.IsOutsideX());
    EXPECT_FALSE(cursor.IsOutsideY());

    ExpectOk(cursor.Seek(199, 149)); // the cut tile in the corner
    ExpectPixel(cursor, 199, 149);
    EXPECT_EQ(0, cursor.PixelsToRight());
    EXPECT_EQ(0, cursor.RowsBelow());
    EXPECT_EQ(7, cursor.PixelsToLeft());
}

TEST_F(TilePixelCursorTest, EdgeModesMapOutsidePositionsIntoTheImage)
{
    // Positions count from the near edge (0) or, with `far`, from the image's
    // size along the axis.
    const struct {
        int mode;
        bool far;
        long asked;
        long read;
        bool outside;
    } cases[] = {
        {kTlEdgeClamp, false, -5, 0, true},       {kTlEdgeClamp, true, 3, -1, true},
        {kTlEdgeMirror, false, -1, 1, true},      {kTlEdgeMirror, true, 0, -2, true},
        {kTlEdgeKeepParity, false, -3, 1, true},  {kTlEdgeKeepParity, false, -4, 0, true},
        {kTlEdgeKeepParity, true, 0, -2, true},   {kTlEdgeKeepParity, true, 1, -1, true},
        {3, false, -1, 2, true},                  {kTlEdgeMirror, false, 17, 17, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << (c.far ? " size + " : " ") << c.asked);
        {
            const long asked = (c.far ? kWidth : 0) + c.asked, read = (c.far ? kWidth : 0) + c.read;
            CTilePixelCursor cursor(0, &source, 6);
            cursor.SetEdgeModes(c.mode, kTlEdgeClamp);
            ExpectOk(cursor.Seek(asked, 20));
            ExpectPixel(cursor, read, 20);
            EXPECT_EQ(c.outside, cursor.IsOutsideX());
            EXPECT_FALSE(cursor.IsOutsideY());
            EXPECT_EQ(asked, cursor.X());
            if (c.outside) {
                EXPECT_EQ(0, cursor.PixelsToLeft() + cursor.PixelsToRight());
            }
            EXPECT_EQ(20, cursor.RowsAbove());
        }
        const long asked = (c.far ? kHeight : 0) + c.asked, read = (c.far ? kHeight : 0) + c.read;
        CTilePixelCursor cursor(0, &source, 6);
        cursor.SetEdgeModes(kTlEdgeClamp, c.mode);
        ExpectOk(cursor.Seek(30, asked));
        ExpectPixel(cursor, 30, read);
        EXPECT_EQ(c.outside, cursor.IsOutsideY());
        EXPECT_FALSE(cursor.IsOutsideX());
    }
    EXPECT_EQ(0, source.HeldCount());
}

TEST_F(TilePixelCursorTest, MoveInsideTheTileStepsThePointerAndAcrossItLocksTheNextTile)
{
    CTilePixelCursor cursor(0, &source, 6);
    ExpectOk(cursor.Seek(70, 10));
    const unsigned char* before = cursor.Sample();
    ExpectOk(cursor.MoveTo(73, 12));
    EXPECT_EQ(before + 3 * cursor.PixelStep() + 2 * cursor.RowStep(), cursor.Sample());
    ExpectPixel(cursor, 73, 12);
    EXPECT_EQ(9, cursor.PixelsToLeft());
    EXPECT_EQ(51, cursor.RowsBelow());
    EXPECT_EQ(1u, source.locks.size());

    ExpectOk(cursor.MoveTo(130, 12));
    ExpectPixel(cursor, 130, 12);
    ASSERT_EQ(2u, source.locks.size());
    EXPECT_EQ(std::make_pair(2L, 0L), source.locks.back());

    ExpectOk(cursor.MoveTo(75, 70)); // back across two edges: a new tile again
    ExpectPixel(cursor, 75, 70);
    EXPECT_EQ(3u, source.locks.size());
}

TEST_F(TilePixelCursorTest, MoveFromAnOutsidePositionSeeksAgain)
{
    CTilePixelCursor cursor(0, &source, 6);
    ExpectOk(cursor.Seek(-2, 5)); // clamped to column 0
    ExpectOk(cursor.MoveTo(1, 5));
    ExpectPixel(cursor, 1, 5);
    EXPECT_FALSE(cursor.IsOutsideX());
    EXPECT_EQ(1, cursor.PixelsToLeft());
    EXPECT_EQ(1u, source.locks.size()); // found in the cache, not locked twice
}

TEST_F(TilePixelCursorTest, FullCacheGivesUpTheLeastRecentlyUsedTile)
{
    CTilePixelCursor cursor(0, &source, 6);
    for (long column = 0; column < 4; ++column)
        ExpectOk(cursor.Seek(column * 64 + 1, 1)); // row 0: tiles 0..3
    ExpectOk(cursor.Seek(1, 65));                 // tiles (0, 1), (1, 1)
    ExpectOk(cursor.Seek(65, 65));
    ExpectOk(cursor.Seek(2, 2)); // tile (0, 0) used again: (1, 0) is now the oldest
    EXPECT_EQ(6u, source.locks.size());
    EXPECT_TRUE(source.unlocks.empty());

    ExpectOk(cursor.Seek(129, 65)); // a seventh tile
    ExpectPixel(cursor, 129, 65);
    ASSERT_EQ(1u, source.unlocks.size());
    EXPECT_EQ(std::make_pair(1L, 0L), source.unlocks[0]);
    EXPECT_EQ(6, source.HeldCount());
    EXPECT_EQ(6, cursor.GetCachedCount());
    EXPECT_TRUE(source.IsHeld(0, 0));
}

TEST_F(TilePixelCursorTest, PositionLeftOutsideReadsNothing)
{
    CTilePixelCursor cursor(0, &source, 2);
    cursor.SetEdgeModes(0, 1);
    ExpectOk(cursor.Seek(-1, 5));
    EXPECT_TRUE(cursor.IsPositioned());
    EXPECT_EQ(nullptr, cursor.Sample());
    EXPECT_TRUE(source.locks.empty());
    ExpectOk(cursor.MoveTo(kWidth, 5));
    EXPECT_EQ(nullptr, cursor.Sample());
    ExpectOk(cursor.MoveTo(3, 5)); // back inside
    ExpectPixel(cursor, 3, 5);
}

TEST_F(TilePixelCursorTest, ReleaseAndDestructionUnlockEveryTile)
{
    {
        CTilePixelCursor cursor(0, &source, 6);
        for (long i = 0; i < 4; ++i)
            ExpectOk(cursor.Seek(i * 64 + 5, i * 40)); // four different tiles
        EXPECT_EQ(4, source.HeldCount());
        cursor.Release();
        EXPECT_EQ(0, source.HeldCount());
        EXPECT_EQ(nullptr, cursor.Sample());

        ExpectOk(cursor.Seek(150, 100)); // usable again
        ExpectPixel(cursor, 150, 100);
        EXPECT_EQ(1, source.HeldCount());
    }
    EXPECT_EQ(0, source.HeldCount());
    EXPECT_EQ(source.locks.size(), source.unlocks.size());
}

TEST_F(TilePixelCursorTest, ErrorsCarryNoFilterId)
{
    source.failAtLock = 1;
    CTilePixelCursor cursor(0, &source, 6);
    IKelvraError* error = cursor.Seek(5, 5);
    ASSERT_NE(nullptr, error);
    EXPECT_EQ(0u, error->GetTag());
    EXPECT_TRUE(error->HasCode(kKelvraNotReady));
    IKelvraError::Release(error);
    EXPECT_FALSE(cursor.IsPositioned());
    EXPECT_EQ(nullptr, cursor.Sample());

    ExpectOk(cursor.Seek(5, 5)); // the next lock is granted
    ExpectPixel(cursor, 5, 5);
}

TEST_F(TilePixelCursorTest, BitmapSourceIsRefused)
{
    IKelvraImage* bitmap = MakeBlankImage(m_holder.manager, 16, 16, kKelvraBitmap);
    CTilePixelCursor cursor(0, bitmap, 6);
    ExpectError(cursor.Seek(0, 0), kKelvraUnsupportedFormat, 0);
    bitmap->Release();
}

TEST(EdgeMappingTest, MirrorAndStepsStayInsideForAnyCoordinate)
{
    const struct {
        long coordinate;
        long size;
        int mode;
        long mapped;
        bool outside;
    } cases[] = {
        {-1, 1, kTlEdgeMirror, 0, true},        // a one-pixel image mirrors onto itself
        {5, 1, kTlEdgeMirror, 0, true},
        {-10, 10, kTlEdgeMirror, 8, true},
        {18, 10, kTlEdgeMirror, 0, true},
        {LONG_MAX, 10, kTlEdgeMirror, 1, true},  // 2^31 - 1 = 1 after whole periods of 18
        {LONG_MIN, 10, kTlEdgeMirror, 2, true},
        {LONG_MIN, 10, kTlEdgeClamp, 0, true},
        {LONG_MAX, 10, kTlEdgeClamp, 9, true},
        {LONG_MIN, 10, kTlEdgeKeepParity, 0, true},
        {LONG_MAX, 10, kTlEdgeKeepParity, 9, true},
        {-7, 10, 0, -7, false},
        {12, 10, -2, 12, false},
        {-1, 0, kTlEdgeMirror, -1, true},        // nothing to mirror into
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.coordinate << " in " << c.size << " mode " << c.mode);
        bool outside = !c.outside;
        EXPECT_EQ(c.mapped, TlMapEdge(c.coordinate, c.size, c.mode, &outside));
        EXPECT_EQ(c.outside, outside);
    }
}

} // namespace
