// The red-eye filter: its name, its mode and capture data, its operations
// on a picture without red eyes, library failures, and the pixels it passes
// while it has no region. The synthetic face's tests are in
// RedEyeFilterPixelsTest.cpp.
#include "FilterRigs.h"

#include "filters/redeye/TlRedEyeFilter.h"
#include "infra/ByteBuffer.h"
#include "kelvra/KelvraTagControl.h"

#include <cstring>
#include <limits>

using namespace filter_test;

namespace {

using RedEyeChain = ChainRig<CRedEyeFilter>;

TEST(RedEyeFilterTest, NamesItselfAndStartsInModeNone)
{
    RedEyeChain chain(kKelvraRGB8);
    CRedEyeFilter& filter = chain.filter;
    EXPECT_EQ(0x4F6D5265u, filter.GetFilterTag());
    EXPECT_STREQ("Ombrix redeye filter", filter.GetFilterName());
    EXPECT_EQ(CRedEyeFilter::kModeNone, filter.GetMode());
    EXPECT_FALSE(filter.HasPendingClick());
    EXPECT_FALSE(filter.GetKeepAutomatic());
    EXPECT_FALSE(filter.HasAutomaticRegions());
    EXPECT_FALSE(filter.HasManualRegions());
    EXPECT_EQ(0u, filter.GetShootingInfo().size);
    EXPECT_FALSE(chain.filter.IsBypassed());
}

// Without regions a change of mode has nothing to correct or restore.
TEST(RedEyeFilterTest, ModeChangesAreStoredAndWithoutRegionsSendNothing)
{
    for (bool keepAutomatic : {false, true}) {
        RedEyeChain chain(kKelvraRGB8);
        chain.filter.SetKeepAutomatic(keepAutomatic);
        for (int mode : {2, 2, 1, 0, 1, 2, 0}) {
            SCOPED_TRACE(mode);
            ExpectOk(chain.filter.SetMode(mode, true));
            EXPECT_EQ(mode, chain.filter.GetMode());
        }
        EXPECT_FALSE(chain.filter.IsStale());
        EXPECT_TRUE(chain.sink.notices.empty());
    }
}

TEST(RedEyeFilterTest, UnknownModeIsRefusedAndKeepsTheMode)
{
    RedEyeChain chain(kKelvraRGB8);
    ExpectOk(chain.filter.SetMode(1, false));
    for (int mode : {-1, 3}) {
        ExpectError(chain.filter.SetMode(mode, true), kKelvraBadArgument, TlFilterId("OmRe"));
        EXPECT_EQ(1, chain.filter.GetMode());
    }
}

TEST(RedEyeFilterTest, OwnerSetsThePendingClickAndKeepAutomatic)
{
    RedEyeChain chain(kKelvraRGB8);
    chain.filter.SetPendingClick(12, 34);
    chain.filter.SetKeepAutomatic(true);
    EXPECT_TRUE(chain.filter.HasPendingClick());
    EXPECT_EQ(12, chain.filter.GetPendingX());
    EXPECT_EQ(34, chain.filter.GetPendingY());
    EXPECT_TRUE(chain.filter.GetKeepAutomatic());
}

TEST(RedEyeFilterTest, CorrectAtPointSwitchesToManualAndUsesUpTheClick)
{
    RedEyeChain chain(kKelvraRGB8);
    ExpectOk(chain.filter.CorrectAtPoint(true)); // nothing pending: nothing happens
    EXPECT_EQ(CRedEyeFilter::kModeNone, chain.filter.GetMode());

    chain.filter.SetPendingClick(20, 30);
    ExpectOk(chain.filter.CorrectAtPoint(true));
    EXPECT_EQ(CRedEyeFilter::kModeManual, chain.filter.GetMode());
    EXPECT_FALSE(chain.filter.HasPendingClick());
    EXPECT_FALSE(chain.filter.HasManualRegions());
    EXPECT_TRUE(chain.sink.notices.empty());
}

int g_failedDetections = 0;

ReStatus DetectionOutOfMemory(const ReParams*, std::uint32_t, ReProgress, long, std::uint32_t, ReList*)
{
    ++g_failedDetections;
    return ReOutOfMemory;
}

// A detection that failed is not remembered as done: the next call tries
// again.
TEST(RedEyeFilterTest, FailedDetectionIsReportedAndTriedAgain)
{
    TlRedEyeCalls failing = TlEyemendCalls();
    failing.detectAuto = DetectionOutOfMemory;
    ManagerHolder holder;
    IKelvraImage* image = MakePatternImage(holder.manager, kRigWidth, kRigHeight, kKelvraRGB8);
    CRedEyeFilter filter(holder.manager, failing);
    ExpectOk(KelvraDataConnect(image, &filter));
    g_failedDetections = 0;
    for (int attempt = 1; attempt <= 2; ++attempt) {
        ExpectError(filter.DetectAuto(nullptr, 4096, true), kKelvraOutOfMemory, TlFilterId("OmRe"));
        EXPECT_EQ(attempt, g_failedDetections);
        EXPECT_EQ(CRedEyeFilter::kModeNone, filter.GetMode());
        EXPECT_FALSE(filter.HasAutomaticRegions());
    }
    KelvraDataDisconnect(image, &filter);
    image->Release();
}

// Without red eyes the detection succeeds with nothing to correct.
TEST(RedEyeFilterTest, DetectionWithoutRedEyesSwitchesToAutomaticAndSendsNothing)
{
    RedEyeChain chain(kKelvraRGB8);
    ExpectOk(chain.filter.DetectAuto(nullptr, 4096, true));
    EXPECT_EQ(CRedEyeFilter::kModeAutomatic, chain.filter.GetMode());
    EXPECT_FALSE(chain.filter.HasAutomaticRegions());
    EXPECT_TRUE(chain.sink.notices.empty());
    ExpectOutputEqualsSource(&chain.filter, chain.image);
}

TEST(RedEyeFilterTest, RegionRecordsThatCannotBeReadAreSkipped)
{
    RedEyeChain chain(kKelvraRGB8);
    std::vector<CByteBuffer> records(2);
    ASSERT_TRUE(records[0].Allocate(16));
    for (bool manual : {false, true}) {
        ExpectOk(chain.filter.LoadRegions(manual, records));
        ExpectOk(chain.filter.ClearManualRegions(true));
    }
    EXPECT_FALSE(chain.filter.HasAutomaticRegions());
    EXPECT_FALSE(chain.filter.HasManualRegions());
    EXPECT_TRUE(chain.sink.notices.empty());
}

TEST(RedEyeFilterTest, SavingAnEmptyListLeavesTheRecordsUntouched)
{
    RedEyeChain chain(kKelvraRGB8);
    std::vector<CByteBuffer> records(1);
    ASSERT_TRUE(records[0].Allocate(4));
    for (bool manual : {false, true}) {
        for (bool all : {false, true}) {
            ExpectOk(chain.filter.SaveRegions(manual, records, all));
            ASSERT_EQ(1u, records.size());
            EXPECT_EQ(4, records[0].GetSize());
        }
    }
}

TEST(RedEyeFilterTest, LibraryStatusesMapToFrameworkCodes)
{
    const struct {
        std::uint32_t status;
        long code;
    } cases[] = {{0, 0},
                 {0x40000001, 0},
                 {0xC0000002, kKelvraMissingObject},
                 {0xC0000003, kKelvraOutOfMemory},
                 {0xC0000001, kKelvraOperationFailed},
                 {ReCancelled, kKelvraOperationFailed},
                 {ReBadRecord, kKelvraOperationFailed},
                 {1, kKelvraOperationFailed}};
    for (const auto& c : cases)
        EXPECT_EQ(c.code, TlRedEyeStatusCode(c.status)) << std::hex << c.status;
}

// A tag control the test fills.
class Tags {
public:
    Tags() { ExpectOk(IKelvraTagControl::CreateTagControl(&m_tags)); }
    ~Tags() { m_tags->Destroy(); }
    void Set(std::uint32_t id, std::uint32_t type, std::uint32_t length, const void* value)
    {
        ExpectOk(m_tags->AddTag(id));
        ExpectOk(m_tags->SetTag(id, type, length, value));
    }
    void SetDouble(std::uint32_t id, double value) { Set(id, kKelvraTagTypeDoubles, sizeof value, &value); }
    void SetLong(std::uint32_t id, std::int32_t value) { Set(id, kKelvraTagTypeLong, sizeof value, &value); }
    IKelvraTagControl* Get() { return m_tags; }

private:
    IKelvraTagControl* m_tags = nullptr;
};

TEST(RedEyeFilterTest, CaptureDataIsReadOnceFromTheTags)
{
    RedEyeChain chain(kKelvraRGB8);
    Tags tags;
    const char model[] = "Talvo Z9";
    tags.Set(0x110, kKelvraTagTypeText, sizeof model, model);
    tags.SetDouble(0x920A, 35.9);
    tags.SetDouble(0x9206, -2.5);
    tags.SetLong(0x9209, 16);
    ExpectOk(chain.filter.SetShootingInfo(tags.Get()));
    const TlRedEyeShootingInfo& info = chain.filter.GetShootingInfo();
    EXPECT_EQ(sizeof(TlRedEyeShootingInfo), info.size);
    ASSERT_NE(nullptr, info.cameraModel);
    EXPECT_STREQ("Talvo Z9", info.cameraModel);
    EXPECT_EQ(35, info.focalLength);
    EXPECT_EQ(-2, info.subjectDistance);
    EXPECT_EQ(1, info.flash);

    Tags other;
    other.SetDouble(0x920A, 50.0);
    ExpectOk(chain.filter.SetShootingInfo(other.Get()));
    EXPECT_EQ(35, chain.filter.GetShootingInfo().focalLength);
}

TEST(RedEyeFilterTest, CaptureTagsOfAnotherSizeOrOutOfRangeAreSafe)
{
    RedEyeChain chain(kKelvraRGB8);
    Tags tags;
    tags.SetLong(0x920A, 35);                  // 4 bytes, not a double: ignored
    tags.SetDouble(0x9206, 1e300);             // held at the int's limit
    tags.Set(0x9209, kKelvraTagTypeBytes, 2, "\x01\x00"); // 2 bytes: ignored
    const char unterminated[] = {'A', 'B', 'C'};
    tags.Set(0x110, kKelvraTagTypeBytes, sizeof unterminated, unterminated);
    ExpectOk(chain.filter.SetShootingInfo(tags.Get()));
    const TlRedEyeShootingInfo& info = chain.filter.GetShootingInfo();
    EXPECT_EQ(0, info.focalLength);
    EXPECT_EQ(std::numeric_limits<std::int32_t>::max(), info.subjectDistance);
    EXPECT_EQ(0, info.flash);
    ASSERT_NE(nullptr, info.cameraModel);
    EXPECT_STREQ("ABC", info.cameraModel);
}

TEST(RedEyeFilterTest, CaptureDataWithoutTagsIsFilledWithZeros)
{
    RedEyeChain chain(kKelvraRGB8);
    ExpectOk(chain.filter.SetShootingInfo(nullptr));
    const TlRedEyeShootingInfo& info = chain.filter.GetShootingInfo();
    EXPECT_EQ(sizeof(TlRedEyeShootingInfo), info.size);
    EXPECT_EQ(nullptr, info.cameraModel);
    EXPECT_EQ(0, info.flash);
}

TEST(RedEyeFilterTest, RgbPixelsPassUnchangedInEveryMode)
{
    for (KelvraPixelFormat format : {kKelvraRGB8, kKelvraRGB16}) {
        SCOPED_TRACE(format);
        RedEyeChain chain(format);
        for (int mode : {0, 1, 2}) {
            ExpectOk(chain.filter.SetMode(mode, true));
            ExpectOutputEqualsSource(&chain.filter, chain.image);
        }
    }
}

TEST(RedEyeFilterTest, OtherFormatsAreRefusedWithTheSystemText)
{
    for (KelvraPixelFormat format : {kKelvraGrey8, kKelvraGrey16, kKelvraCMYK8}) {
        SCOPED_TRACE(format);
        RedEyeChain chain(format);
        ExpectRefusedWithText(chain.filter, format);
    }
}

} // namespace
