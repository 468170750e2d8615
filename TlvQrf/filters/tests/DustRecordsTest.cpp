// The stored dust records: the reference (`DstR`) and the map (`DstL`)
// read, refused and written back, and the paged zlib streams under them.
#include "DustTestSupport.h"

#include "filters/dust/TlDustMap.h"
#include "filters/dust/TlDustReference.h"

#include <cstring>
#include <functional>
#include <random>

using namespace dust_test;

namespace {

constexpr KelvraTag kDust = KelvraFourCC('d', 'u', 's', 't');

TEST(DustReferenceTest, ReadsTheImageAndTheShootingValues)
{
    ManagerHolder holder;
    CDustReference reference(holder.manager);
    ReferenceFields fields;
    fields.width = 130;
    fields.height = 101;
    fields.header = 36; // a longer header is skipped
    const Bytes pixels = PatternPixels(130, 101);
    const Bytes record = ReferenceRecord(fields, pixels);
    ExpectOk(reference.Load(record.size(), record.data()));
    EXPECT_EQ(CDustReference::kLoaded, reference.GetState());
    EXPECT_EQ(130, reference.GetWidth());
    EXPECT_EQ(101, reference.GetHeight());
    EXPECT_EQ(258u, reference.GetCurveId());
    EXPECT_EQ(7u, reference.GetKeptValue());
    EXPECT_EQ(50u, reference.GetLensValue());
    EXPECT_EQ(84u, reference.GetApertureCode());
    EXPECT_EQ(pixels, Samples8(reference.GetImage()));
}

// Each case spoils a good record; the reference must keep what it had.
TEST(DustReferenceTest, RefusalsLeaveTheReferenceUnchanged)
{
    const Bytes pixels = PatternPixels(100, 100);
    auto record = [&](std::function<void(ReferenceFields&)> change) {
        ReferenceFields fields;
        change(fields);
        return ReferenceRecord(fields, pixels);
    };
    const Bytes good = record([](ReferenceFields&) {});
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"under 40 bytes", Bytes(good.begin(), good.begin() + 39)},
        {"width 99", record([](ReferenceFields& f) { f.width = 99; })},
        {"height 99", record([](ReferenceFields& f) { f.height = 99; })},
        {"header under 28", WithWord(good, 8, 27)},
        {"payload under 12", WithWord(good, 36, 11)},
        {"wrong magic", WithWord(good, 0, 0x52747345)},
        {"truncated payload", Bytes(good.begin(), good.end() - 1)},
        {"payload that stops short of the image", WithWord(Bytes(good), 20, 101)},
        // 0xFFFFFFF0 + 0x20 + 12 wraps to 0x1C in 32 bits.
        {"header and payload sizes whose sum wraps", WithWord(WithWord(good, 8, 0xFFFFFFF0u), 36, 0x20)},
        {"payload size whose sum wraps", WithWord(good, 36, 0xFFFFFFF8u)},
    };
    ManagerHolder holder;
    CDustReference reference(holder.manager);
    ExpectOk(reference.Load(good.size(), good.data()));
    IKelvraImage* image = reference.GetImage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectError(reference.Load(c.bytes.size(), c.bytes.data()), 1003, kDust);
        EXPECT_EQ(CDustReference::kLoaded, reference.GetState());
        EXPECT_EQ(image, reference.GetImage());
        EXPECT_EQ(100, reference.GetHeight());
    }
    // Sides no image can have fail too, before anything is decoded.
    const Bytes huge = WithWord(WithWord(good, 16, 0x7FFFFFFF), 20, 0x7FFFFFFF);
    IKelvraError* error = reference.Load(huge.size(), huge.data());
    EXPECT_NE(nullptr, error);
    IKelvraError::Release(error);
    EXPECT_EQ(image, reference.GetImage());

    CDustReference empty(holder.manager);
    ExpectError(empty.Load(cases[0].bytes.size(), cases[0].bytes.data()), 1003, kDust);
    EXPECT_EQ(CDustReference::kEmpty, empty.GetState());
    EXPECT_EQ(nullptr, empty.GetImage());
}

MapFields SmallMap()
{
    MapFields fields;
    fields.table = CountingTable(65792);
    fields.mask = PatternPixels(120, 110);
    fields.exclusion = Bytes(120 * 110, 0);
    fields.exclusion[500] = 255;
    fields.flags = 90 * 2 + 1;
    return fields;
}

Bytes StoredRecord(const CDustMap& map)
{
    Bytes stored(map.GetStoredSize());
    ExpectOk(map.Store(stored.size(), stored.data()));
    return stored;
}

TEST(DustMapRecordTest, RoundTripsThroughLoadAndStore)
{
    ManagerHolder holder;
    const MapFields fields = SmallMap();
    const Bytes record = MapRecord(fields);
    CDustMap map(holder.manager);
    EXPECT_EQ(0u, map.GetStoredSize());
    ExpectOk(map.Load(record.size(), record.data()));
    EXPECT_EQ(CDustMap::kFinished, map.GetState());
    EXPECT_EQ(record, StoredRecord(map));
    EXPECT_EQ(fields.mask, Samples8(map.GetCorrectionMask()));
    EXPECT_EQ(fields.exclusion, Samples8(map.GetExclusionImage()));
    bool flip = false;
    double angle = 0;
    ExpectOk(map.GetCorrectionMask()->GetFlip(&flip));
    ExpectOk(map.GetCorrectionMask()->GetRotation(&angle));
    EXPECT_TRUE(flip);
    EXPECT_EQ(90.0, angle);
    std::size_t count = 0;
    const std::uint16_t* table = map.GetToneTable(&count);
    ASSERT_EQ(65792u, count);
    EXPECT_EQ(std::vector<std::uint16_t>(table, table + count), fields.table);

    // A map made from the stored form stores the same record.
    CDustMap copy(holder.manager);
    const Bytes stored = StoredRecord(map);
    ExpectOk(copy.Load(stored.size(), stored.data()));
    EXPECT_EQ(record, StoredRecord(copy));
}

TEST(DustMapRecordTest, LongerHeaderIsSkippedAndAMaskIsOptional)
{
    ManagerHolder holder;
    MapFields fields = SmallMap();
    fields.extraHeader = 4;
    const Bytes longer = MapRecord(fields);
    fields.extraHeader = 0;
    CDustMap map(holder.manager);
    ExpectOk(map.Load(longer.size(), longer.data()));
    EXPECT_EQ(MapRecord(fields), StoredRecord(map));

    fields.mask.clear();
    fields.exclusion.clear();
    const Bytes bare = MapRecord(fields);
    ExpectOk(map.Load(bare.size(), bare.data()));
    EXPECT_EQ(nullptr, map.GetCorrectionMask());
    EXPECT_EQ(bare, StoredRecord(map));
}

TEST(DustMapRecordTest, StoreNeedsAFinishedMapAndRoomForAllOfIt)
{
    ManagerHolder holder;
    CDustMap map(holder.manager);
    Bytes buffer(4096, 0xAA);
    ExpectError(map.Store(buffer.size(), buffer.data()), 1003, kDust);

    const Bytes record = MapRecord(SmallMap());
    ExpectOk(map.Load(record.size(), record.data()));
    buffer.assign(record.size() - 1, 0xAA);
    ExpectError(map.Store(buffer.size(), buffer.data()), 1004, kDust);
    EXPECT_EQ(Bytes(record.size() - 1, 0xAA), buffer);
}

TEST(DustMapRecordTest, RefusalsLeaveTheMapUnchanged)
{
    auto mapWith = [](std::function<void(MapFields&)> change) {
        MapFields fields = SmallMap();
        change(fields);
        return MapRecord(fields);
    };
    const Bytes good = MapRecord(SmallMap());
    const struct {
        const char* name;
        Bytes bytes;
        long code;
    } cases[] = {
        {"wrong magic", WithWord(good, 0, 0x4C747345), 1003},
        {"header under 28", WithWord(good, 8, 24), 1003},
        {"truncated", Bytes(good.begin(), good.end() - 1), 1003},
        {"table count under 65792", mapWith([](MapFields& f) { f.table = CountingTable(65791); }), 1014},
        {"table count above 131072", mapWith([](MapFields& f) { f.table = CountingTable(131073); }), 1003},
        {"table shorter than its count",
         mapWith([](MapFields& f) {
             f.table = CountingTable(65792);
             f.claimedCount = 65800;
         }),
         1003},
        {"table longer than its count",
         mapWith([](MapFields& f) {
             f.table = CountingTable(65800);
             f.claimedCount = 65792;
         }),
         -5},
        {"mask shorter than its sides", mapWith([](MapFields& f) { f.mask.resize(f.mask.size() - 120); }), 1003},
        // 0xFFFFFFF0 + 0x30 + ... wraps in 32 bits.
        {"sizes whose sum wraps", WithWord(good, 28, 0xFFFFFFF0u), 1003},
        {"mask and exclusion sizes whose sum wraps", WithWord(WithWord(good, 32, 0x80000000u), 36, 0x80000000u),
         1003},
    };
    ManagerHolder holder;
    CDustMap map(holder.manager);
    ExpectOk(map.Load(good.size(), good.data()));
    IKelvraDataSource* mask = map.GetCorrectionMask();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IKelvraError* error = map.Load(c.bytes.size(), c.bytes.data());
        ASSERT_NE(nullptr, error);
        EXPECT_TRUE(error->HasCode(c.code));
        IKelvraError::Release(error);
        EXPECT_EQ(mask, map.GetCorrectionMask());
        EXPECT_EQ(good, StoredRecord(map));
    }
}

// Random bytes hardly compress: a length is found whose stream fills its
// pages exactly.
TEST(DustPagesTest, StreamEndingOnAPageBoundaryLeavesAnEmptyPageAndReadsBack)
{
    std::mt19937 random(7);
    Bytes noise(20000);
    for (unsigned char& b : noise)
        b = static_cast<unsigned char>(random());
    for (std::size_t length = 16300; length < 16384; ++length) {
        CDustPages pages;
        CDustDeflater deflater;
        ExpectOk(deflater.Start(&pages));
        ExpectOk(deflater.Write(noise.data(), length, true));
        if (pages.Size() != kDustPageSize)
            continue;
        EXPECT_EQ(2u, pages.PageCount());
        ManagerHolder holder;
        TlDustImageShape shape;
        shape.width = long(length);
        shape.height = 1;
        IKelvraImage* image = nullptr;
        ExpectOk(DecodeDustImage(holder.manager, pages, shape, &image));
        ASSERT_NE(nullptr, image);
        EXPECT_EQ(Bytes(noise.begin(), noise.begin() + long(length)), Samples8(image));
        Bytes stored(pages.Size());
        pages.CopyTo(stored.data());
        CDustPages again;
        ExpectOk(EncodeDustImage(image, &again));
        image->Release();
        return;
    }
    FAIL() << "no length fills whole pages";
}

TEST(DustPagesTest, ImagesRoundTripStripByStrip)
{
    ManagerHolder holder;
    TlDustImageShape shape;
    shape.width = 300;
    shape.height = 700;
    const Bytes pixels = PatternPixels(shape.width, shape.height);
    CDustPages pages;
    const Bytes packed = Compressed(pixels);
    ASSERT_TRUE(pages.Assign(packed.data(), packed.size()));
    IKelvraImage* image = nullptr;
    ExpectOk(DecodeDustImage(holder.manager, pages, shape, &image));
    CDustPages encoded;
    ExpectOk(EncodeDustImage(image, &encoded));
    image->Release();
    ExpectOk(DecodeDustImage(holder.manager, encoded, shape, &image));
    EXPECT_EQ(pixels, Samples8(image));
    image->Release();
}

} // namespace
