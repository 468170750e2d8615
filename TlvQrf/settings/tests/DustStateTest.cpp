// The dust record's stored form, its copy with and without a dust map, and
// making a map from a stored one.
#include "DustEngineFakes.h"
#include "DustPluginGoldens.h"
#include "StateTestSupport.h"

#include "settings/dust/TlDustState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

using namespace tlstate_test;
using namespace dust_test;

namespace {

const Bytes kReference{0xAA, 0xBB, 0xCC};

void FillDust(CTlDustState& record)
{
    ASSERT_TRUE(record.SetData(kReference.data(), kReference.size()));
    record.captureTime = {2024, 5, 17, 13, 45, 30};
    record.firstFurther = 0x0102;
    record.secondFurther = 0xFFFE;
}

Bytes DataOf(const CTlDustState& record)
{
    return Bytes(record.GetData(), record.GetData() + record.GetDataSize());
}

IKelvraManager* const kManager = Token<IKelvraManager>(0x1000);
IKelvraManager* const kOtherManager = Token<IKelvraManager>(0x2000);

TEST(DustStateStored, SavesItsGoldenForm)
{
    CTlDustState record;
    FillDust(record);
    EXPECT_EQ(SaveWhole(record), Hex(kDustStateV1));
    EXPECT_EQ(record.GetSize(), 40);
}

TEST(DustStateStored, LoadsItsGoldenForm)
{
    CTlDustState record;
    EXPECT_EQ(LoadBytes(record, Hex(kDustStateV1)), 40);
    EXPECT_EQ(DataOf(record), kReference);
    EXPECT_EQ(record.captureTime, (TlDustCaptureTime{2024, 5, 17, 13, 45, 30}));
    EXPECT_EQ(record.firstFurther, 0x0102);
    EXPECT_EQ(record.secondFurther, 0xFFFE);
}

TEST(DustStateStored, HundredBytesOfReferenceSave137BytesAndComeBack)
{
    Bytes reference(100);
    for (std::size_t i = 0; i < reference.size(); ++i)
        reference[i] = static_cast<unsigned char>(i * 7);
    CTlDustState record;
    ASSERT_TRUE(record.SetData(reference.data(), reference.size()));
    record.captureTime = {2003, 12, 31, 23, 59, 58};

    const Bytes stored = SaveWhole(record);
    ASSERT_EQ(stored.size(), 137u);

    CTlDustState loaded;
    EXPECT_EQ(LoadBytes(loaded, stored), 137);
    EXPECT_EQ(DataOf(loaded), reference);
    EXPECT_EQ(loaded.captureTime, record.captureTime);
}

// A block without data resets the record, capture time included, even when
// the block carries another time.
TEST(DustStateStored, NoDataLoadsTheDefaultCaptureTime)
{
    CTlDustState withoutData;
    withoutData.captureTime = {2010, 6, 7, 8, 9, 10};
    withoutData.firstFurther = 5;
    const Bytes stored = SaveWhole(withoutData);

    CTlDustState record;
    FillDust(record);
    EXPECT_EQ(LoadBytes(record, stored), 37);
    EXPECT_TRUE(record.IsDefault());
    EXPECT_EQ(record.captureTime, (TlDustCaptureTime{1900, 1, 1, 0, 0, 0}));
    EXPECT_EQ(record.firstFurther, 0);
}

TEST(DustStateStored, SaveIntoShortBuffersWritesWhatFitsAndReportsTheFullSize)
{
    CTlDustState record;
    FillDust(record);
    const Bytes golden = Hex(kDustStateV1);
    struct Case {
        int size;
        int written;
    };
    // A field that does not fit is left out, with every later one.
    for (const Case c : {Case{16, 16}, Case{21, 18}, Case{25, 22}, Case{29, 29}, Case{30, 29}, Case{39, 38}}) {
        Bytes buffer(golden.size(), 0xEE);
        EXPECT_EQ(record.Save(buffer.data(), c.size), 40) << c.size;
        EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + std::min(c.written, 18), golden.begin())) << c.size;
        if (c.written > 22) {
            EXPECT_TRUE(std::equal(buffer.begin() + 22, buffer.begin() + c.written, golden.begin() + 22)) << c.size;
        }
        EXPECT_EQ(buffer[c.written], 0xEE) << c.size;
        if (c.written >= 22) {
            std::uint32_t length = 0;
            std::memcpy(&length, buffer.data() + 18, 4);
            EXPECT_EQ(length, std::uint32_t(c.written - 18)) << c.size;
        }
    }
}

TEST(DustStateValues, DataSizeEqualityAndReset)
{
    CTlDustState record;
    EXPECT_TRUE(record.IsDefault());
    ASSERT_TRUE(record.SetDataSize(5));
    EXPECT_EQ(DataOf(record), Bytes(5, 0));
    EXPECT_FALSE(record.IsDefault());

    CTlDustState other;
    EXPECT_TRUE(record.IsEqual(other)) << "data is not compared";
    other.secondFurther = 1;
    EXPECT_FALSE(record.IsEqual(other));

    FillDust(record);
    record.Reset();
    EXPECT_TRUE(record.IsDefault());
    EXPECT_TRUE(record.IsEqual(CTlDustState()));
}

class DustStateEngine : public ::testing::Test {
protected:
    // A record whose map holds `stored`, made for `manager`.
    void GiveMap(CTlDustState& record, const Bytes& stored, IKelvraManager* manager = kManager)
    {
        ASSERT_EQ(record.CreateEngine(manager, stored.data(), stored.size()), CTlDustState::kEngineCreated);
    }

    DustScript script;
    FakeDustFactory factory{script};
    const Bytes mapRecord{'D', 's', 't', 'L', 9, 8, 7};
};

TEST_F(DustStateEngine, CreateEngineAnswersEachCase)
{
    struct Case {
        const char* name;
        IKelvraManager* manager;
        bool data;
        std::size_t size;
        bool noMap;
        long loadError;
        int result;
        bool keepsAMap;
    };
    const Case cases[] = {
        {"NoManager", nullptr, true, 7, false, 0, CTlDustState::kEngineMissingArgument, true},
        {"NoData", kManager, false, 7, false, 0, CTlDustState::kEngineMissingArgument, true},
        {"SizeZero", kManager, true, 0, false, 0, CTlDustState::kEngineMissingArgument, true},
        {"MapCannotBeMade", kManager, true, 7, true, 0, CTlDustState::kEngineOutOfMemory, false},
        {"MapRefusesTheData", kManager, true, 7, false, 1003, CTlDustState::kEngineUnreadable, false},
        {"Made", kManager, true, 7, false, 0, CTlDustState::kEngineCreated, true},
    };
    for (const Case& c : cases) {
        CTlDustState record;
        GiveMap(record, {1, 2});
        script.noMap = c.noMap;
        script.mapLoadError = c.loadError;
        EXPECT_EQ(record.CreateEngine(c.manager, c.data ? mapRecord.data() : nullptr, c.size), c.result) << c.name;
        EXPECT_EQ(record.GetDustMap() != nullptr, c.keepsAMap) << c.name;
        if (c.result == CTlDustState::kEngineCreated) {
            EXPECT_EQ(StoredMap(record.GetDustMap()), mapRecord) << c.name;
        }
        script.noMap = false;
        script.mapLoadError = 0;
    }
    EXPECT_EQ(script.liveEngines, 0);
}

TEST_F(DustStateEngine, CopyGivesTheCopyAMapOfItsOwnForTheSameManager)
{
    CTlDustState source;
    FillDust(source);
    GiveMap(source, mapRecord, kOtherManager);

    CTlDustState copy;
    copy = source;
    EXPECT_EQ(DataOf(copy), kReference);
    EXPECT_TRUE(copy.IsEqual(source));
    ASSERT_NE(copy.GetDustMap(), nullptr);
    EXPECT_NE(copy.GetDustMap(), source.GetDustMap());
    EXPECT_EQ(StoredMap(copy.GetDustMap()), mapRecord);
    EXPECT_EQ(script.managers.back(), kOtherManager);
    EXPECT_EQ(script.liveEngines, 2);
}

TEST_F(DustStateEngine, CopyWithoutMapOrWithAFailingMapLeavesTheCopyWithoutOne)
{
    CTlDustState source;
    FillDust(source);
    CTlDustState target;
    GiveMap(target, mapRecord);

    target = source;
    EXPECT_EQ(target.GetDustMap(), nullptr) << "the copy resets first";
    EXPECT_EQ(DataOf(target), kReference);

    GiveMap(source, mapRecord);
    script.mapStoreError = 1004;
    target = source;
    EXPECT_EQ(target.GetDustMap(), nullptr);
    script.mapStoreError = 0;

    script.mapLoadError = 1003;
    target = source;
    EXPECT_EQ(target.GetDustMap(), nullptr);
    EXPECT_EQ(script.liveEngines, 1);
}

TEST_F(DustStateEngine, CopyOfARecordWithoutDataTakesNoCaptureTime)
{
    CTlDustState source;
    source.captureTime = {2020, 2, 2, 2, 2, 2};
    CTlDustState copy(source);
    EXPECT_EQ(copy.captureTime, TlDustCaptureTime());
}

TEST_F(DustStateEngine, CopyOntoItselfChangesNothing)
{
    CTlDustState record;
    FillDust(record);
    GiveMap(record, mapRecord);
    IDustMap* map = record.GetDustMap();
    CTlDustState& same = record;
    record = same;
    EXPECT_EQ(SaveWhole(record), Hex(kDustStateV1));
    EXPECT_EQ(record.GetDustMap(), map);
}

TEST_F(DustStateEngine, LoadDropsTheMapOfTheOldReference)
{
    CTlDustState record;
    GiveMap(record, mapRecord);
    EXPECT_EQ(LoadBytes(record, Hex(kDustStateV1)), 40);
    EXPECT_EQ(record.GetDustMap(), nullptr);
    EXPECT_EQ(script.liveEngines, 0);
}

} // namespace
