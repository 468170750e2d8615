// The load path's checks: the picture's pixel format against the formats
// the library develops, the camera model code, and the scale between the
// two sources of a raw-processing image.
#include "settings/loadpath/TlLoadPath.h"

#include "filters/sigcore/TlSigProcImageApi.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

IKelvraError* Failure()
{
    return KELVRA_ERROR(nullptr, KelvraFourCC('T', 'e', 's', 't'), kKelvraOperationFailed);
}

// A picture that only tells its pixel format (or fails to).
class FakePicture : public IKelvraDataSource {
public:
    KelvraPixelFormat format = kKelvraRGB8;
    bool formatFails = false;

    IKelvraError* GetColorSpace(KelvraPixelFormat* out) override
    {
        if (formatFails)
            return Failure();
        *out = format;
        return nullptr;
    }
    IKelvraError* GetWidth(long*) override { return Failure(); }
    IKelvraError* GetHeight(long*) override { return Failure(); }
    IKelvraError* GetResolution(double*) override { return Failure(); }
    IKelvraError* GetFlip(bool*) override { return Failure(); }
    IKelvraError* GetRotation(double*) override { return Failure(); }
    IKelvraError* GetTileSize(long*) override { return Failure(); }
    IKelvraError* GetPalette(KelvraPalette*) override { return Failure(); }
    IKelvraError* TileExists(long, long, bool*) override { return Failure(); }
    IKelvraError* LockTile(long, long, const void**, KelvraRect*, long*) override { return Failure(); }
    IKelvraError* UnlockTile(long, long) override { return Failure(); }
    using IKelvraDataSource::LockTile;
    using IKelvraDataSource::TileExists;
    using IKelvraDataSource::UnlockTile;
};

// A loader whose description fails for the flags listed and otherwise fills
// the request with the given results.
class FakeLoader : public IKelvraLoad {
public:
    std::vector<long> failingFlags;
    std::uint32_t width = 3008, formatCode = 0x51, height = 2000;
    std::vector<long> flagsAsked;
    std::vector<KelvraLoadRequest> requestsSeen;

    IKelvraError* DescribeImage(KelvraLoadRequest* request, long full) override
    {
        flagsAsked.push_back(full);
        requestsSeen.push_back(*request);
        for (long flag : failingFlags) {
            if (flag == full)
                return Failure();
        }
        request->width = width;
        request->formatCode = formatCode;
        request->height = height;
        return nullptr;
    }
    IKelvraError* Start(IKelvraFileStream*, IKelvraTagControl*, long, long) override { return Failure(); }
    IKelvraError* GetFileInfo(KelvraFileInfo*) const override { return Failure(); }
    IKelvraError* GetSubImageInfo(long, KelvraSubImageInfo*) const override { return Failure(); }
    IKelvraError* SetImage(IKelvraImage*) override { return Failure(); }
    bool IsComplete() const override { return false; }
    IKelvraError* Step() override { return Failure(); }
    void GetProgress(long*, long*) const override {}
    IKelvraError* LoadSubImage(long, IKelvraImage*, std::uint32_t*) override { return Failure(); }
    void Release() override {}
    void Destroy() override {}
};

long Progress(long, long)
{
    return 0;
}

class FakeTask : public ITlLoadTaskAccess {
public:
    FakeTask() { EXPECT_EQ(nullptr, IKelvraTagControl::CreateTagControl(&tags)); }
    ~FakeTask() { tags->Destroy(); }

    void SetModelCode(std::uint32_t code)
    {
        ASSERT_EQ(nullptr, tags->AddTag(kKelvraTagModelCode));
        ASSERT_EQ(nullptr, tags->SetTag(kKelvraTagModelCode, kKelvraTagTypeLong, sizeof code, &code));
    }

    IKelvraDataSource* GetPicture() override { return picture; }
    IKelvraTagControl* GetTagControl() override { return tags; }
    KelvraLoadCallback GetProgressCallback() override { return &Progress; }
    void KeepFormatCode(std::uint32_t code) override { keptFormat.push_back(code); }
    void KeepImageSize(std::uint32_t w, std::uint32_t h) override { keptSizes.push_back({w, h}); }

    FakePicture ownPicture;
    IKelvraDataSource* picture = &ownPicture;
    IKelvraTagControl* tags = nullptr;
    std::vector<std::uint32_t> keptFormat;
    std::vector<std::vector<std::uint32_t>> keptSizes;
};

struct FormatCase {
    KelvraPixelFormat format;
    std::uint32_t modelCode;
    int expected;
};

const FormatCase kFormatCases[] = {
    {0x08060201, 0, 0},       {0x10060201, 0, 0},      {0x10020401, 257, 0},    {0x10020401, 0, -231},
    {0x10020403, 0, -231},    {0x10020403, 259, 0},    {0x10020404, 516, 0},    {0x10020404, 0, -231},
    {0x10020402, 259, -230},  {0x10020001, 259, -230}, {0x08060203, 0, -230},   {0x10060204, 0, -230},
    {0, 0, -230},
};

TEST(ReadImageFormatTest, FormatsAndModelCodes)
{
    for (const FormatCase& c : kFormatCases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.format << std::dec << " model " << c.modelCode);
        FakeTask task;
        FakeLoader loader;
        task.ownPicture.format = c.format;
        if (c.modelCode != 0)
            task.SetModelCode(c.modelCode);
        EXPECT_EQ(c.expected, ReadImageFormat(task, nullptr, &loader));
    }
}

TEST(ReadImageFormatTest, FullDescriptionCarriesTheTasksCallbackAndFillsTheTask)
{
    FakeTask task;
    FakeLoader loader;
    ASSERT_EQ(0, ReadImageFormat(task, nullptr, &loader));

    ASSERT_EQ(std::vector<long>{1}, loader.flagsAsked);
    const KelvraLoadRequest& request = loader.requestsSeen[0];
    EXPECT_EQ(sizeof(KelvraLoadRequest), request.size);
    EXPECT_EQ(0u, request.width);
    EXPECT_EQ(0u, request.formatCode);
    EXPECT_EQ(0u, request.height);
    EXPECT_EQ(&Progress, request.callback);
    EXPECT_EQ(0u, request.reserved);

    EXPECT_EQ(std::vector<std::uint32_t>{0x51}, task.keptFormat);
    EXPECT_EQ((std::vector<std::vector<std::uint32_t>>{{3008, 2000}}), task.keptSizes);
}

TEST(ReadImageFormatTest, SizeIsKeptOnlyWhenTheDescriptionGaveAHeight)
{
    FakeTask task;
    FakeLoader loader;
    loader.height = 0;
    ASSERT_EQ(0, ReadImageFormat(task, nullptr, &loader));
    EXPECT_EQ(std::vector<std::uint32_t>{0x51}, task.keptFormat);
    EXPECT_TRUE(task.keptSizes.empty());
}

TEST(ReadImageFormatTest, FailedFullDescriptionIsTriedOnceMoreWithoutProgress)
{
    FakeTask task;
    FakeLoader loader;
    loader.failingFlags = {1};
    EXPECT_EQ(0, ReadImageFormat(task, nullptr, &loader));
    EXPECT_EQ((std::vector<long>{1, 0}), loader.flagsAsked);
    EXPECT_EQ(0u, loader.requestsSeen[1].formatCode); // a fresh request
    EXPECT_EQ(std::vector<std::uint32_t>{0x51}, task.keptFormat);
}

TEST(ReadImageFormatTest, UnreadablePictureGives234)
{
    {
        SCOPED_TRACE("both descriptions fail");
        FakeTask task;
        FakeLoader loader;
        loader.failingFlags = {1, 0};
        EXPECT_EQ(-234, ReadImageFormat(task, nullptr, &loader));
        EXPECT_EQ((std::vector<long>{1, 0}), loader.flagsAsked);
        EXPECT_TRUE(task.keptSizes.empty());
    }
    {
        SCOPED_TRACE("the picture cannot tell its format");
        FakeTask task;
        FakeLoader loader;
        task.ownPicture.formatFails = true;
        EXPECT_EQ(-234, ReadImageFormat(task, nullptr, &loader));
    }
    {
        SCOPED_TRACE("no picture");
        FakeTask task;
        FakeLoader loader;
        task.picture = nullptr;
        EXPECT_EQ(-234, ReadImageFormat(task, nullptr, &loader));
    }
    {
        SCOPED_TRACE("no loader");
        FakeTask task;
        EXPECT_EQ(-234, ReadImageFormat(task, nullptr, nullptr));
    }
}

TEST(ReadImageFormatTest, RawDataWithoutTagControlHasNoModelCode)
{
    FakeTask task;
    FakeLoader loader;
    task.ownPicture.format = 0x10020403;
    IKelvraTagControl* tags = task.tags;
    task.tags = nullptr;
    EXPECT_EQ(-231, ReadImageFormat(task, nullptr, &loader));
    task.tags = tags;
}

TEST(GetShortTagValueTest, ModelCodeOrZero)
{
    EXPECT_EQ(0, GetShortTagValue(nullptr));

    FakeTask task;
    EXPECT_EQ(0, GetShortTagValue(task.tags)) << "no model code tag: the query fails";
    const long errorsBefore = IKelvraError::LiveCount();
    task.SetModelCode(259);
    EXPECT_EQ(259, GetShortTagValue(task.tags));
    EXPECT_EQ(errorsBefore, IKelvraError::LiveCount());
}

TEST(GetShortTagValueTest, FailedQueryReleasesItsError)
{
    FakeTask task;
    const long errorsBefore = IKelvraError::LiveCount();
    EXPECT_EQ(0, GetShortTagValue(task.tags));
    EXPECT_EQ(errorsBefore, IKelvraError::LiveCount());
}

// Two sources with their own sizes; a size of -2 fails to be read.
class FakeSigProcImage : public ISigProcImageSources {
public:
    long sizes[2][2] = {{3000, 2000}, {1500, 1200}};
    bool second = false;
    std::vector<std::pair<bool, bool>> selections; // (useSecond, notify)

    IKelvraError* GetWidth(long* width) override { return Answer(sizes[second][0], width); }
    IKelvraError* GetHeight(long* height) override { return Answer(sizes[second][1], height); }
    IKelvraError* SelectSource(bool useSecond, bool notify) override
    {
        selections.emplace_back(useSecond, notify);
        second = useSecond;
        return nullptr;
    }

private:
    static IKelvraError* Answer(long value, long* out)
    {
        if (value == -2)
            return Failure();
        *out = value;
        return nullptr;
    }
};

TEST(GetMinScaleRatioTest, SmallerRatioOfSecondToFirstSourceFirstSelectedAfter)
{
    FakeSigProcImage image;
    EXPECT_DOUBLE_EQ(0.5, GetMinScaleRatio(&image));
    EXPECT_EQ((std::vector<std::pair<bool, bool>>{{true, false}, {false, false}}), image.selections);
    EXPECT_FALSE(image.second);

    image.sizes[1][0] = 2400; // 0.8 wide, 0.6 high
    EXPECT_DOUBLE_EQ(0.6, GetMinScaleRatio(&image));
}

TEST(GetMinScaleRatioTest, AnyMissingSizeGivesMinusOne)
{
    const long errorsBefore = IKelvraError::LiveCount();
    for (int source = 0; source < 2; ++source) {
        for (int side = 0; side < 2; ++side) {
            for (long bad : {0L, -5L, -2L}) {
                SCOPED_TRACE(::testing::Message() << "source " << source << " side " << side << " value " << bad);
                FakeSigProcImage image;
                image.sizes[source][side] = bad;
                EXPECT_EQ(-1.0, GetMinScaleRatio(&image));
                EXPECT_FALSE(image.second);
            }
        }
    }
    EXPECT_EQ(errorsBefore, IKelvraError::LiveCount());
    EXPECT_EQ(-1.0, GetMinScaleRatio(nullptr));
}

} // namespace
