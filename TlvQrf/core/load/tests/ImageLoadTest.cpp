// Loading files the way a host does, through the load object: the raw
// decision, the signal-processing image, stored settings, the embedded
// profile's temporary copy, the IPTC record, sub-images, and the codes of
// corrupt and unsupported files. Every test ends with empty registries.
#include "LoadTestSupport.h"

#include "kelvra/KelvraImage.h"
#include "load/TlLiveObjects.h"
#include "load/TlLoadTask.h"
#include "load/TlvLoadImage.h"
#include "pellio/Pellio.h"
#include "pellio/PellioFormats.h"
#include "settings/edit/TlvEditSettings.h"

#include <windows.h>

#include <memory>

using namespace loadtest;

namespace {

class ImageLoadTest : public LoadTest {
protected:
    std::unique_ptr<CTlvImageAttributes> attributes = std::make_unique<CTlvImageAttributes>();

    // The holder goes before the fixture checks the registries.
    void TearDown() override
    {
        attributes.reset();
        LoadTest::TearDown();
    }
};

KelvraPixelFormat FormatOf(IKelvraImage* image)
{
    KelvraPixelFormat format = 0;
    IKelvraError::Release(image->GetColorSpace(&format));
    return format;
}

TEST_F(ImageLoadTest, RawFileOfAPlainModelLoadsAsRawWithItsSubImages)
{
    const std::string path = WriteRaw("plain.qrf", RawOptions(257, QrfPattern::RGGB));
    const HostLoad load = LoadThroughHost(*attributes, path);
    EXPECT_EQ(load.begin, 0u);
    EXPECT_EQ(load.execute, 0u);
    EXPECT_TRUE(load.finished);
    EXPECT_EQ(load.finish, 0u);
    EXPECT_EQ(attributes->rawFlag, 1);
    EXPECT_EQ(attributes->fileFormat, 32);
    EXPECT_FALSE(attributes->signalProcessing);
    EXPECT_TRUE(attributes->storedSettings) << "format 32 with the mosaic layout";
    EXPECT_EQ(FormatOf(attributes->images.image), KelvraPixelFormat(0x10020401));
    EXPECT_FALSE(attributes->images.subImages.empty());
    EXPECT_EQ(attributes->modelCode, 257);
    // The size record was rebuilt for the 192 x 128 picture.
    EXPECT_DOUBLE_EQ(attributes->geometry.GetImageWidth() / attributes->geometry.GetImageHeight(), 1.5);
    EXPECT_EQ(ImageUseCount(attributes->images.image), 1);
    EXPECT_EQ(ObjectUseCount(attributes->images.tags), 1);
}

TEST_F(ImageLoadTest, SignalProcessingModelsGetTheSignalProcessingImage)
{
    struct Case {
        std::uint32_t model;
        QrfPattern pattern;
        std::uint32_t format;
        bool signal;
    };
    const Case cases[] = {
        {257, QrfPattern::RGGB, 32, false},
        {513, QrfPattern::YCGM, 32, true},
        {514, QrfPattern::YCGM, 2048, true},
        {515, QrfPattern::BGGR, 32, true},
        {516, QrfPattern::BGGR, 2048, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        QrfRawOptions options = RawOptions(c.model, c.pattern);
        options.format = c.format;
        const std::string path = WriteRaw("model-" + std::to_string(c.model) + ".qrf", options);
        auto loaded = std::make_unique<CTlvImageAttributes>();
        const HostLoad load = LoadThroughHost(*loaded, path);
        EXPECT_EQ(load.begin, 0u);
        EXPECT_EQ(load.finish, 0u);
        EXPECT_EQ(loaded->signalProcessing, c.signal);
        EXPECT_EQ(loaded->rawFlag, 1);
        if (c.signal) {
            EXPECT_TRUE(loaded->storedSettings) << "signal-processing images carry stored settings";
            EXPECT_EQ(FormatOf(loaded->images.image), kKelvraRGB16);
        }
        EXPECT_EQ(ImageUseCount(loaded->images.image), 1);
        loaded.reset();
        EXPECT_EQ(RegisteredImageCount(), 0);
        EXPECT_EQ(RegisteredObjectCount(), 0);
    }
}

TEST_F(ImageLoadTest, SignalProcessingImageThatCannotBePreparedFailsTheLoadAndKeepsTheLoadedImage)
{
    QrfRawOptions options = RawOptions(513, QrfPattern::YCGM);
    // A colour-filter pattern the signal-processing image does not know.
    options.extraTags.push_back({0xA302, kKelvraTagTypeBytes, Bytes{2, 0, 2, 0, 9, 9, 9, 9}});
    const HostLoad load = LoadThroughHost(*attributes, WriteRaw("bad-pattern.qrf", options));
    EXPECT_EQ(load.begin, 0u);
    EXPECT_EQ(load.finish, 0x1008u);
    EXPECT_FALSE(attributes->signalProcessing);
    ASSERT_NE(attributes->images.image, nullptr);
    EXPECT_EQ(FormatOf(attributes->images.image), KelvraPixelFormat(0x10020403));
    EXPECT_EQ(ImageUseCount(attributes->images.image), 1);
}

TEST_F(ImageLoadTest, StoredSettingsBlockOfARawFileFillsTheRecords)
{
    QrfRawOptions options = RawOptions(258, QrfPattern::GBRG);
    options.extraTags.push_back({0x80E01, kKelvraTagTypeBytes, StoredSettingsBlock(1.5)});
    const HostLoad load = LoadThroughHost(*attributes, WriteRaw("stored.qrf", options));
    EXPECT_EQ(load.finish, 0u);
    EXPECT_TRUE(attributes->storedSettings);
    EXPECT_DOUBLE_EQ(attributes->adjust.ExposureCompensation(), 1.5);
}

TEST_F(ImageLoadTest, RawFileWithoutSettingsBlockLoadsWithoutStoredSettings)
{
    const HostLoad load = LoadThroughHost(*attributes, WriteRaw("bare.qrf", RawOptions(258, QrfPattern::GBRG)));
    EXPECT_EQ(load.finish, 0u);
    EXPECT_DOUBLE_EQ(attributes->adjust.ExposureCompensation(), 0.0);
}

TEST_F(ImageLoadTest, EmbeddedProfileIsCopiedToATemporaryFileThatGoesWithTheImage)
{
    const Bytes profile = {'p', 'r', 'o', 'f', 'i', 'l', 'e', 0, 1, 2, 3};
    QrfRawOptions options = RawOptions(257, QrfPattern::RGGB);
    options.extraTags.push_back({34675, kKelvraTagTypeBytes, profile});
    const HostLoad load = LoadThroughHost(*attributes, WriteRaw("profile.qrf", options));
    EXPECT_EQ(load.finish, 0u);
    ASSERT_EQ(attributes->images.hasTemporaryFile, 1);
    const std::string copy = attributes->images.temporaryFile;
    EXPECT_NE(copy.find("TlP"), std::string::npos);
    EXPECT_EQ(ReadAll(copy), profile);
    attributes.reset();
    EXPECT_FALSE(TempFolder::Exists(copy));
}

TEST_F(ImageLoadTest, ProfileTagThatOnlyNamesAFileIsNotTaken)
{
    const std::string named = "C:\\Profiles\\Somewhere.icm";
    QrfRawOptions options = RawOptions(257, QrfPattern::RGGB);
    options.extraTags.push_back({34675, kKelvraTagTypePath, Bytes(named.c_str(), named.c_str() + named.size() + 1)});
    const HostLoad load = LoadThroughHost(*attributes, WriteRaw("named-profile.qrf", options));
    EXPECT_EQ(load.finish, 0u);
    EXPECT_EQ(attributes->images.hasTemporaryFile, 0);
    EXPECT_EQ(attributes->images.temporaryFile[0], '\0');
}

TEST_F(ImageLoadTest, IptcRecordIsTakenAtItsExactSize)
{
    Bytes iptc(301);
    for (std::size_t i = 0; i < iptc.size(); ++i)
        iptc[i] = std::uint8_t(i * 5 + 1);
    QrfRawOptions options = RawOptions(257, QrfPattern::RGGB);
    options.extraTags.push_back({0x83BB, kKelvraTagTypeDataHeader, iptc});
    LoadThroughHost(*attributes, WriteRaw("iptc.qrf", options));
    ASSERT_EQ(attributes->iptc.Count(), iptc.size());
    EXPECT_EQ(Bytes(attributes->iptc.Data(), attributes->iptc.Data() + attributes->iptc.Count()), iptc);
}

TEST_F(ImageLoadTest, RawFormatCodeOutsideTheKnownSetIsRefused)
{
    struct Case {
        std::uint32_t code;
        unsigned long result;
    };
    const Case cases[] = {{3, 0x1103}, {33, 0}, {38, 0}, {39, 0x1103}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        QrfRawOptions options = RawOptions(257, QrfPattern::RGGB);
        options.makerFormat = c.code;
        auto loaded = std::make_unique<CTlvImageAttributes>();
        const HostLoad load = LoadThroughHost(*loaded, WriteRaw("code-" + std::to_string(c.code) + ".qrf", options));
        EXPECT_EQ(load.finish, c.result);
    }
}

TEST_F(ImageLoadTest, JpegAndTiffFilesAreNotRawUnlessNamedQrf)
{
    struct Case {
        const char* name;
        std::uint32_t format;
        std::uint8_t raw;
    };
    const Case cases[] = {
        {"picture.jpg", kPellioFormatJpeg, 0},
        {"picture.tif", kPellioFormatTiff, 0},
        {"picture", kPellioFormatTiff, 0},
        {"PICTURE.QRF", kPellioFormatJpeg, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = WriteImageFile(c.name, c.format);
        auto loaded = std::make_unique<CTlvImageAttributes>();
        const HostLoad load = LoadThroughHost(*loaded, path);
        EXPECT_EQ(load.begin, 0u);
        EXPECT_EQ(load.finish, 0u);
        EXPECT_EQ(loaded->rawFlag, c.raw);
        EXPECT_EQ(loaded->fileFormat, std::int32_t(c.format));
        EXPECT_FALSE(loaded->signalProcessing);
        EXPECT_EQ(FormatOf(loaded->images.image), kKelvraRGB8);
    }
}

TEST_F(ImageLoadTest, ResolutionComesFromTheTagsExceptForRawFiles)
{
    LoadThroughHost(*attributes, WriteImageFile("dpi.tif", kPellioFormatTiff, 240.0));
    EXPECT_DOUBLE_EQ(attributes->resolution, 240.0);

    auto raw = std::make_unique<CTlvImageAttributes>();
    raw->resolution = 150.0;
    LoadThroughHost(*raw, WriteRaw("dpi.qrf", RawOptions(257, QrfPattern::RGGB)));
    EXPECT_DOUBLE_EQ(raw->resolution, 150.0) << "a raw file keeps the stored resolution";
}

TEST_F(ImageLoadTest, FilesThatCannotBeLoadedGiveTheirCodes)
{
    QrfRawOptions options = RawOptions(257, QrfPattern::RGGB);
    const Bytes whole = ReadAll(WriteRaw("whole.qrf", options));
    const std::string truncated = m_folder.Write(
        "truncated.qrf", std::string(whole.begin(), whole.begin() + std::ptrdiff_t(whole.size() / 2)));
    struct Case {
        const char* name;
        std::string path;
        unsigned long begin;
        unsigned long execute;
    };
    const Case cases[] = {
        {"missing", m_folder.File("missing.qrf"), 0x1201, 0},
        {"not an image", m_folder.Write("junk.qrf", std::string(4096, 'x')), 0x1103, 0},
        {"empty", m_folder.Write("empty.tif", ""), 0x1103, 0},
        {"truncated", truncated, 0, 0x1008},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto loaded = std::make_unique<CTlvImageAttributes>();
        const HostLoad load = LoadThroughHost(*loaded, c.path);
        // A truncated file may already fail when its structure is read.
        if (c.begin == 0 && load.begin != 0) {
            EXPECT_EQ(load.begin, 0x1103u);
        } else {
            EXPECT_EQ(load.begin, c.begin);
            EXPECT_EQ(load.execute, c.execute);
        }
        EXPECT_EQ(load.finish, 0u) << "nothing to complete";
        loaded.reset();
        EXPECT_EQ(RegisteredImageCount(), 0);
        EXPECT_EQ(RegisteredObjectCount(), 0);
    }
}

TEST_F(ImageLoadTest, FinishAfterAbortCompletesNothing)
{
    QrfRawOptions options = RawOptions(257, QrfPattern::RGGB);
    options.extraTags.push_back({34675, kKelvraTagTypeBytes, Bytes{1, 2, 3}});
    const HostLoad load = LoadThroughHost(*attributes, WriteRaw("aborted.qrf", options), true);
    EXPECT_EQ(load.finish, 0u);
    EXPECT_TRUE(attributes->images.subImages.empty());
    EXPECT_EQ(attributes->images.hasTemporaryFile, 0);
}

TEST_F(ImageLoadTest, SecondLoadIntoTheSameHolderReleasesTheFirst)
{
    QrfRawOptions options = RawOptions(257, QrfPattern::RGGB);
    options.extraTags.push_back({34675, kKelvraTagTypeBytes, Bytes{9, 8, 7}});
    const std::string path = WriteRaw("twice.qrf", options);
    LoadThroughHost(*attributes, path);
    const std::string firstCopy = attributes->images.temporaryFile;
    const long imagesAfterOne = RegisteredImageCount();
    LoadThroughHost(*attributes, path);
    EXPECT_EQ(RegisteredImageCount(), imagesAfterOne);
    EXPECT_EQ(RegisteredObjectCount(), 1);
    EXPECT_FALSE(TempFolder::Exists(firstCopy));
    EXPECT_TRUE(TempFolder::Exists(attributes->images.temporaryFile));
}

TEST_F(ImageLoadTest, RawSourceSubImageReplacesTheMainImageThroughTheRegistry)
{
    const QrfRawOptions options = RawOptions(257, QrfPattern::RGGB);
    const std::string path =
        WriteRawWithSubImages("export.qrf", options, {kPellioEntryRendition, kPellioEntryRawSource});
    const HostLoad load = LoadThroughHost(*attributes, path);
    EXPECT_EQ(load.finish, 0u);
    ASSERT_EQ(attributes->images.subImages.size(), 2u);
    EXPECT_EQ(attributes->images.image, attributes->images.subImages[1].image);
    EXPECT_EQ(ImageUseCount(attributes->images.image), 2) << "kept as main image and as sub-image";
    EXPECT_EQ(RegisteredImageCount(), 2) << "the replaced mosaic left the registry";
}

TEST_F(ImageLoadTest, StoredOrientationTagsTurnTheSizeRecord)
{
    const double angle = 90.0;
    const std::uint32_t mirror = 1;
    QrfRawOptions options = RawOptions(257, QrfPattern::RGGB);
    options.extraTags.push_back({0x10005, kKelvraTagTypeDoubles, Bytes(reinterpret_cast<const std::uint8_t*>(&angle),
                                                                        reinterpret_cast<const std::uint8_t*>(&angle + 1))});
    options.extraTags.push_back({0x10004, kKelvraTagTypeLong, Bytes(reinterpret_cast<const std::uint8_t*>(&mirror),
                                                                     reinterpret_cast<const std::uint8_t*>(&mirror + 1))});
    const HostLoad load = LoadThroughHost(*attributes, WriteRaw("turned.qrf", options));
    EXPECT_EQ(load.finish, 0u);
    EXPECT_EQ(attributes->flip, 1);
    EXPECT_EQ(attributes->angle, 90);
}

TEST_F(ImageLoadTest, ScaledMosaicModelGetsItsScaleUnlessTheGeometryIsKept)
{
    const std::string path = WriteRaw("model-259.qrf", RawOptions(259, QrfPattern::RGGB));
    for (bool keepGeometry : {false, true}) {
        SCOPED_TRACE(keepGeometry);
        auto loaded = std::make_unique<CTlvImageAttributes>();
        const double before = loaded->geometry.GetScale();
        CLoadTask task(Manager());
        ASSERT_EQ(task.Begin(loaded.get(), KelvraFile(path.c_str()), false, true), 0);
        while (!task.IsFinished())
            ASSERT_EQ(task.Execute(), 0);
        EXPECT_EQ(task.Finish(keepGeometry, true), 0);
        EXPECT_DOUBLE_EQ(loaded->geometry.GetScale(), keepGeometry ? before : 0.7492354740061162);
    }
}

} // namespace
