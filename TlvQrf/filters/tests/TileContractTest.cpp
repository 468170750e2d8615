// The tile-generation contract: what is filled, from which source tiles,
// and what is left locked, complete or untouched when something fails.
#include "FrameTestSupport.h"

#include "FilterTestSupport.h"
#include "filters/frame/TlPixelFormats.h"

#include <cstring>

using namespace frame_test;

namespace {

const CTlFormatCheck kRgbOnly{TlIsRgbLike, TlFormatRejection::Code};

// Makes 8-bit grey from the first plane of 8-bit RGB: its tiles are in
// another format than its source's.
class FirstPlaneFilter : public CTlFilter {
public:
    using CTlFilter::CTlFilter;
    KelvraTag GetFilterTag() const override { return TlFilterId("Pln1"); }
    const char* GetFilterName() const override { return "First plane"; }
    IKelvraError* GetFilteredColorSpace(IKelvraDataSource* const*, long, KelvraPixelFormat* format) override
    {
        *format = kKelvraGrey8;
        return nullptr;
    }
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override
    {
        auto firstPlane = [](const CTlTileTarget& target, const CTlSourceTile& sourceTile) -> IKelvraError* {
            const KelvraRect& area = sourceTile.overlap;
            for (long y = area.top; y < area.bottom; ++y) {
                for (long x = area.left; x < area.right; ++x)
                    *target.At(x, y) = *sourceTile.At(x, y);
            }
            return nullptr;
        };
        return GenerateFromSourceTiles(tile, info, CTlFormatCheck{TlIsRgb, TlFormatRejection::Text}, firstPlane);
    }
};

class TileContractTest : public ::testing::Test {
protected:
    IKelvraManager* Manager() { return m_holder.manager; }
    IKelvraImage* Image(long width, long height, KelvraPixelFormat format)
    {
        m_image = MakePatternImage(Manager(), width, height, format);
        return m_image;
    }
    void TearDown() override
    {
        if (m_image)
            m_image->Release();
    }
    // Makes `tile` from `source` as a process run would (sources given).
    static IKelvraError* Generate(CopyTestFilter& filter, FakeTile& tile, IKelvraDataSource* source)
    {
        IKelvraDataSource* sources[] = {source};
        return filter.GenerateTile(&tile, sources, 1);
    }
    // The source's bytes of `rect`, packed.
    static std::vector<std::uint8_t> SourceBytes(IKelvraDataSource* source, const KelvraRect& rect, long* rowBytes)
    {
        KelvraPixelFormat format = 0;
        ExpectOk(source->GetColorSpace(&format));
        *rowBytes = KelvraRowBytes(format, rect.Width());
        std::vector<std::uint8_t> bytes(std::size_t(*rowBytes) * std::size_t(rect.Height()));
        ExpectOk(KelvraReadRect(source, rect, bytes.data(), *rowBytes));
        return bytes;
    }

    ManagerHolder m_holder;
    IKelvraImage* m_image = nullptr;
};

TEST_F(TileContractTest, NothingToFillIsSuccessAndTouchesNothing)
{
    RecordingSource source(Image(100, 100, kKelvraRGB8));
    CopyTestFilter filter(Manager(), kRgbOnly);
    FakeTile tile(KelvraRect(0, 0, 64, 64), KelvraRect(10, 10, 10, 40), kKelvraRGB8);
    ExpectOk(Generate(filter, tile, &source));
    EXPECT_FALSE(tile.WasLocked());
    EXPECT_FALSE(tile.IsComplete());
    EXPECT_TRUE(tile.IsUntouched());
    EXPECT_TRUE(source.locks.empty());
}

TEST_F(TileContractTest, RefusedSourceFormatFailsBeforeAnythingIsLocked)
{
    RecordingSource source(Image(100, 100, kKelvraCMYK8));
    for (TlFormatRejection rejection : {TlFormatRejection::Code, TlFormatRejection::Text}) {
        CopyTestFilter filter(Manager(), CTlFormatCheck{TlIsRgbLike, rejection});
        FakeTile tile(KelvraRect(0, 0, 64, 64), KelvraRect(0, 0, 64, 64), kKelvraCMYK8);
        IKelvraError* error = Generate(filter, tile, &source);
        ASSERT_NE(nullptr, error);
        EXPECT_EQ(TlFilterId("Cpy1"), error->GetTag());
        if (rejection == TlFormatRejection::Code)
            EXPECT_EQ(kKelvraUnsupportedFormat, error->GetCode());
        else
            EXPECT_STREQ("Bad source data color space", error->GetText());
        IKelvraError::Release(error);
        EXPECT_FALSE(tile.IsLocked());
        EXPECT_FALSE(tile.IsComplete());
        EXPECT_TRUE(tile.IsUntouched());
    }
    EXPECT_TRUE(source.locks.empty());
}

TEST_F(TileContractTest, AreaAcrossSourceTilesIsCopiedBitForBit)
{
    RecordingSource source(Image(200, 150, kKelvraRGB16));
    CopyTestFilter filter(Manager(), kRgbOnly);
    const KelvraRect full(40, 30, 190, 150), toFill(45, 33, 180, 140);
    FakeTile tile(full, toFill, kKelvraRGB16);
    ExpectOk(Generate(filter, tile, &source));
    EXPECT_TRUE(tile.IsComplete());
    EXPECT_FALSE(tile.IsLocked());
    EXPECT_EQ(9, filter.tilesSeen); // three source tile columns by three rows
    EXPECT_EQ(9u, source.locks.size());
    EXPECT_EQ(0, source.HeldCount());

    long rowBytes = 0;
    const std::vector<std::uint8_t> expected = SourceBytes(&source, full, &rowBytes);
    for (long y = full.top; y < full.bottom; ++y) {
        for (long x = full.left; x < full.right; ++x) {
            const std::uint8_t* got = tile.PixelAt(x, y);
            if (toFill.Contains(x, y)) {
                const std::uint8_t* want = &expected[std::size_t((y - full.top) * rowBytes + (x - full.left) * 6)];
                ASSERT_EQ(0, std::memcmp(want, got, 6)) << x << "," << y;
            } else {
                ASSERT_TRUE(got[0] == FakeTile::kMarker && got[5] == FakeTile::kMarker) << x << "," << y;
            }
        }
    }
}

TEST_F(TileContractTest, ConnectedFilterReproducesItsSourceAndSoDoesARun)
{
    for (KelvraPixelFormat format : {kKelvraRGB8, kKelvraRGB16}) {
        SCOPED_TRACE(format);
        IKelvraImage* image = MakePatternImage(Manager(), 150, 100, format); // edge tiles are cut
        CopyTestFilter filter(Manager(), kRgbOnly);
        ExpectOk(KelvraDataConnect(image, &filter));
        EXPECT_EQ(ReadAllSamples(image), ReadAllSamples(&filter));

        IKelvraImage* written = MakeBlankImage(Manager(), 1, 1, kKelvraGrey8);
        RunProcess(filter, image, written);
        EXPECT_EQ(ReadAllSamples(image), ReadAllSamples(written));
        written->Release();
        image->Release();
    }
}

TEST_F(TileContractTest, TileBufferIsAddressedInTheOutputFormat)
{
    IKelvraImage* image = Image(150, 100, kKelvraRGB8);
    FirstPlaneFilter filter(Manager());
    ExpectOk(KelvraDataConnect(image, &filter));
    const SampleGrid in = ReadSampleGrid(image);
    const SampleGrid out = ReadSampleGrid(&filter);
    ASSERT_EQ(1, out.planes);
    ASSERT_EQ(in.width, out.width);
    for (long y = 0; y < in.height; ++y) {
        for (long x = 0; x < in.width; ++x)
            ASSERT_EQ(in.At(x, y, 0), out.At(x, y, 0)) << x << "," << y;
    }
}

TEST_F(TileContractTest, NeededSourceRectangleDecidesWhichSourceTilesAreRead)
{
    RecordingSource source(Image(200, 150, kKelvraRGB8));
    CopyTestFilter filter(Manager(), kRgbOnly);
    filter.margin = 5;
    FakeTile tile(KelvraRect(64, 64, 128, 128), KelvraRect(64, 64, 128, 128), kKelvraRGB8);
    ExpectOk(Generate(filter, tile, &source));
    EXPECT_EQ(9, filter.tilesSeen);
    EXPECT_EQ(74L * 74L, filter.overlapArea); // 59..133 each way
    EXPECT_EQ(0, source.HeldCount());
    EXPECT_TRUE(tile.IsComplete());
}

TEST_F(TileContractTest, FailureDuringTheWalkUnlocksEverythingAndLeavesTheTileIncomplete)
{
    struct Case {
        const char* name;
        int failAtLock;
        int failAtTile;
        long code;
    };
    const Case cases[] = {
        {"first source lock refused", 1, 0, kKelvraNotReady},
        {"third source lock refused", 3, 0, kKelvraNotReady},
        {"worker fails on the second source tile", 0, 2, kKelvraOperationFailed},
    };
    RecordingSource source(Image(200, 150, kKelvraRGB8));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        source.locks.clear();
        source.failAtLock = c.failAtLock;
        CopyTestFilter filter(Manager(), kRgbOnly);
        filter.failAtTile = c.failAtTile;
        FakeTile tile(KelvraRect(0, 0, 200, 150), KelvraRect(0, 0, 200, 150), kKelvraRGB8);
        IKelvraError* error = Generate(filter, tile, &source);
        ASSERT_NE(nullptr, error);
        EXPECT_EQ(TlFilterId("Cpy1"), error->GetTag());
        EXPECT_TRUE(error->HasCode(c.code));
        IKelvraError::Release(error);
        EXPECT_TRUE(tile.WasLocked());
        EXPECT_FALSE(tile.IsLocked());
        EXPECT_FALSE(tile.IsComplete());
        EXPECT_EQ(0, source.HeldCount());
    }
}

TEST_F(TileContractTest, MissingSourceIsReportedAndTheTileIsNotLocked)
{
    CopyTestFilter filter(Manager(), kRgbOnly);
    FakeTile tile(KelvraRect(0, 0, 64, 64), KelvraRect(0, 0, 64, 64), kKelvraRGB8);
    ExpectError(filter.GenerateTile(&tile, nullptr, 0), kKelvraNotReady, TlFilterId("Cpy1"));
    EXPECT_FALSE(tile.WasLocked());
}

} // namespace
