// The export of synthetic raw pictures through the save through a temporary
// file: the written files read back with the loader library, failed and
// cancelled exports that leave the target as it was, a locked target, and
// the direct-image mode.
#include "colour/TlGeneratedProfileHolds.h"
#include "export/TlExport.h"
#include "export/TlExportSteps.h"

#include "CameraTestSupport.h"
#include "colour/TlWorkingProfiles.h"
#include "DevelopTestSupport.h"
#include "frame/TlSaveProgress.h"
#include "lib/TlLibraryState.h"
#include "params/TlOutputProfile.h"
#include "params/TlProgressRelay.h"
#include "pellio/PellioFormats.h"
#include "PellioTestSupport.h"
#include "raw/TlEmbeddedProfile.h"
#include "save/TlSaveImage.h"
#include "save/TlSaveState.h"
#include "save/TlSaveWriters.h"
#include "support/TempFolder.h"
#include "watcher/TlFileSavingUtilities.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

using namespace develop_test;

namespace {

constexpr std::uint32_t kJpeg = 1;
constexpr std::uint32_t kTiff = 256;
constexpr long kWidth = 192;
constexpr long kHeight = 128;
// A plain Bayer camera: its developed picture is 12 pixels smaller.
constexpr std::uint32_t kBayerModel = 258;

// Stops the save at its first report after `after` reports.
class StoppingSink : public ITlSaveProgressSink {
public:
    explicit StoppingSink(int after) : m_after(after) {}
    void Reset(long, long) override {}
    void Notify() override {}
    bool Progress(long, long) override { return ++m_reports > m_after; }
    void SetEnabled(bool) override {}

private:
    int m_after;
    int m_reports = 0;
};

class ExportImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_profiles.IsReady());
        camera_test::WriteCameraData(m_profiles);
        for (const char* name : {"TLLab.icm", "TLLch2.icm", "TLAdobe.icm", "TLGrayG22.icm"})
            m_profiles.Write(name, camera_test::ProfileBytes(name));
        SetProfileFolder(m_profiles.Path().c_str());
        SetGeneratedProfilePrefix("Tlb_");
        const std::string srgb = m_profiles.Path() + "TLsRGB.icm";
        SetWorkingProfiles(srgb.c_str(), srgb.c_str(), nullptr, srgb.c_str(), nullptr);
        TlvQrfLib::SetGlobalManager(m_manager.manager);
        m_previousExport = SetExportImageHook(&ExportImage);
        m_target = m_folder.File("picture.out");
    }
    void TearDown() override
    {
        SetExportImageHook(m_previousExport);
        ExchangeSaveProgressState(TlSaveProgressState());
        SaveState().directDestination = nullptr;
        ReleaseGeneratedProfileHolds(); // as the library's close: the profiles folder can go
    }

    int Export(SyntheticPicture& picture, std::uint32_t layout, std::uint32_t format, std::uint32_t option = 0,
               bool direct = false)
    {
        std::unique_ptr<CTlvParamSet> params = picture.Params();
        params->ReadImageTags();
        return SaveImageToFile(params.get(), m_target.c_str(), layout, format, option, direct);
    }

    std::string OutputProfileBytes(SyntheticPicture& picture)
    {
        std::unique_ptr<CTlvParamSet> params = picture.Params();
        params->ReadImageTags();
        char path[MAX_PATH] = {};
        EXPECT_TRUE(GetOutputProfilePath(params.get(), path));
        return TempFolder::Read(path);
    }

    // Only the target is left in the folder: no temporary file.
    void ExpectOnlyTarget(bool targetExists)
    {
        std::vector<std::string> files = pelliotest::FilesIn(m_folder.Path());
        if (targetExists)
            EXPECT_EQ(std::vector<std::string>{"picture.out"}, files);
        else
            EXPECT_TRUE(files.empty());
    }

    // The target read back, with its main image's size.
    void LoadTarget(pelliotest::LoadedFile* file, long* width, long* height)
    {
        ASSERT_EQ(nullptr, pelliotest::LoadWhole(Manager(), m_target, file));
        ASSERT_EQ(nullptr, file->main->GetSize(width, height));
    }

    IKelvraManager* Manager() { return m_manager.manager; }

    TempProfilesFolder m_profiles;
    ManagerHolder m_manager;
    CTlFileSavingUtilities m_watcher;
    TempFolder m_folder;
    std::string m_target;
    TlExportImageHook m_previousExport = nullptr;
};

TEST_F(ExportImageTest, RawPictureIsWrittenAsJpegAndTiff)
{
    const struct {
        const char* name;
        std::uint32_t layout;
        std::uint32_t format;
        std::uint32_t option;
        KelvraPixelFormat written;
    } cases[] = {
        {"8-bit JPEG", 0, kJpeg, 90, kKelvraRGB8},
        {"8-bit TIFF", 0, kTiff, 0, kKelvraRGB8},
        {"16-bit TIFF", 1, kTiff, 0, kKelvraRGB16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SyntheticPicture picture(Manager(), kBayerModel, kWidth, kHeight);
        ASSERT_EQ(0, Export(picture, c.layout, c.format, c.option));
        ExpectOnlyTarget(true);

        pelliotest::LoadedFile file;
        long width = 0, height = 0;
        ASSERT_NO_FATAL_FAILURE(LoadTarget(&file, &width, &height));
        EXPECT_EQ(kWidth - 12, width);
        EXPECT_EQ(kHeight - 12, height);
        KelvraPixelFormat format = 0;
        ASSERT_EQ(nullptr, file.main->GetColorSpace(&format));
        EXPECT_EQ(c.written, format);

        const pelliotest::Bytes profile = pelliotest::TagBytes(file.tags.get(), kTlIccProfileTag);
        EXPECT_EQ(OutputProfileBytes(picture), std::string(profile.begin(), profile.end()))
            << "raw tones leave in the output profile, which the file names";
        DeleteFileA(m_target.c_str());
    }
}

// The file names the profile its data is in: the output profile when the
// chain ends in it, the working space of slot 1 for layout 2, none when the
// data stays in the source's own space.
TEST_F(ExportImageTest, TheEmbeddedProfileIsTheOneTheDataIsIn)
{
    const std::string srgb = m_profiles.Path() + "TLsRGB.icm";
    const std::string adobe = m_profiles.Path() + "TLAdobe.icm";
    SetWorkingProfiles(srgb.c_str(), adobe.c_str(), nullptr, srgb.c_str(), nullptr);
    const struct {
        const char* name;
        bool raw;
        const char* outputProfile; // null: the flag clear
        std::uint32_t layout;
        const char* embedded;      // null: none
    } cases[] = {
        {"raw tones, flag clear", true, nullptr, 0, "TLsRGB.icm"},
        {"output profile asked", true, "TLAdobe.icm", 0, "TLAdobe.icm"},
        {"working space of slot 1", true, "TLsRGB.icm", 2, "TLAdobe.icm"},
        {"developed source, nothing to convert", false, nullptr, 0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SyntheticPicture picture(Manager(), kBayerModel, kWidth, kHeight);
        IKelvraImage* developed = MakePatternImage(Manager(), kWidth, kHeight, kKelvraRGB8);
        if (!c.raw) {
            picture.holder.rawFlag = 0;
            picture.holder.images.image = developed;
        }
        if (c.outputProfile != nullptr) {
            picture.holder.outputProfileUsed = 1;
            const std::string path = m_profiles.Path() + c.outputProfile;
            std::snprintf(picture.holder.outputProfilePath, sizeof picture.holder.outputProfilePath, "%s",
                          path.c_str());
        }
        const int result = Export(picture, c.layout, kTiff);
        picture.holder.images.image = picture.Image();
        developed->Release();
        ASSERT_EQ(0, result);

        pelliotest::LoadedFile file;
        long width = 0, height = 0;
        ASSERT_NO_FATAL_FAILURE(LoadTarget(&file, &width, &height));
        const pelliotest::Bytes profile = pelliotest::TagBytes(file.tags.get(), kTlIccProfileTag);
        const std::string expected = c.embedded != nullptr ? TempFolder::Read(m_profiles.Path() + c.embedded) : "";
        EXPECT_EQ(expected, std::string(profile.begin(), profile.end()));
        DeleteFileA(m_target.c_str());
    }
}

// The profile a direct-image host is handed a copy of is the one this save
// embedded: one that an earlier save embedded is not named again.
TEST_F(ExportImageTest, ASaveThatEmbedsNoProfileNamesNone)
{
    SyntheticPicture picture(Manager(), kBayerModel, kWidth, kHeight);
    IKelvraImage* developed = MakePatternImage(Manager(), kWidth, kHeight, kKelvraRGB8);
    picture.holder.rawFlag = 0;
    picture.holder.images.image = developed;
    SaveState().profilePath = m_profiles.Path() + "TLAdobe.icm"; // the last save's
    const int result = Export(picture, 0, kTiff);
    picture.holder.images.image = picture.Image();
    developed->Release();
    ASSERT_EQ(0, result);
    EXPECT_EQ("", SaveState().profilePath);
}

// The fixed-size format takes its size from the saver; without the
// fixed-size flag it is an ordinary TIFF of the picture's size.
TEST_F(ExportImageTest, TheFixedSizeFormatNeedsTheFlag)
{
    const std::uint32_t size = (200u << 16) | 100u;
    const struct {
        std::uint8_t fixedSize;
        std::uint32_t writtenFormat;
        long width;
        long height;
    } cases[] = {
        {1, 1024, 200, 100},
        {0, kTiff, kWidth - 12, kHeight - 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.fixedSize));
        SyntheticPicture picture(Manager(), kBayerModel, kWidth, kHeight);
        picture.holder.fixedSize = c.fixedSize;
        ASSERT_EQ(0, Export(picture, 0, 1024, size));
        pelliotest::LoadedFile file;
        long width = 0, height = 0;
        ASSERT_NO_FATAL_FAILURE(LoadTarget(&file, &width, &height));
        EXPECT_EQ(c.writtenFormat, file.info.formatCode);
        EXPECT_EQ(c.width, width);
        EXPECT_EQ(c.height, height);
        DeleteFileA(m_target.c_str());
    }
}

// The saver gets a rendition whose longer side is 640 and a thumbnail of
// 160 made from it; a picture that fits keeps its size in the rendition.
TEST_F(ExportImageTest, TheRenditionsReachTheFile)
{
    const struct {
        long width;
        long height;
        std::vector<std::pair<long, long>> renditions;
    } cases[] = {
        {kWidth, kHeight, {{160, 160 * (kHeight - 12) / (kWidth - 12)}, {kWidth - 12, kHeight - 12}}},
        {1000, 700, {{160, 111}, {640, 445}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        SyntheticPicture picture(Manager(), kBayerModel, c.width, c.height);
        ASSERT_EQ(0, Export(picture, 0, kTiff));
        pelliotest::LoadedFile file;
        long width = 0, height = 0;
        ASSERT_NO_FATAL_FAILURE(LoadTarget(&file, &width, &height));
        std::vector<std::pair<long, long>> sizes;
        for (const auto& image : file.subImages) {
            ASSERT_EQ(nullptr, image->GetSize(&width, &height));
            sizes.emplace_back(width, height);
        }
        EXPECT_EQ(c.renditions, sizes);
        DeleteFileA(m_target.c_str());
    }
}

// A quarter turn swaps the sides, and every pixel lands where the turn puts
// it: the top-left corner of the unturned picture becomes the top-right one.
TEST_F(ExportImageTest, AQuarterTurnIsApplied)
{
    SampleGrid plain, turned;
    for (int angle : {0, 90}) {
        SyntheticPicture picture(Manager(), kBayerModel, kWidth, kHeight);
        picture.holder.angle = std::uint16_t(angle);
        ASSERT_EQ(0, Export(picture, 0, kTiff));
        pelliotest::LoadedFile file;
        long width = 0, height = 0;
        ASSERT_NO_FATAL_FAILURE(LoadTarget(&file, &width, &height));
        (angle == 0 ? plain : turned) = ReadSampleGrid(file.main.get());
        DeleteFileA(m_target.c_str());
    }
    ASSERT_EQ(plain.width, turned.height);
    ASSERT_EQ(plain.height, turned.width);
    int moved = 0;
    for (long y = 0; y < plain.height; ++y)
        for (long x = 0; x < plain.width; ++x)
            for (long plane = 0; plane < 3; ++plane)
                moved += plain.At(x, y, plane) == turned.At(turned.width - 1 - y, x, plane) ? 0 : 1;
    EXPECT_EQ(0, moved) << "samples not where a clockwise quarter turn puts them";
}

// The crop rectangle is in half pixels of the developed picture.
TEST_F(ExportImageTest, TheCropGivesTheWrittenSize)
{
    SyntheticPicture picture(Manager(), kBayerModel, kWidth, kHeight);
    picture.holder.geometry.ResizeToImage(kWidth - 12, kHeight - 12);
    picture.holder.geometry.SetCropRect(20.0, 10.0, 120.0, 90.0, 0);
    ASSERT_EQ(0, Export(picture, 0, kTiff));
    pelliotest::LoadedFile file;
    long width = 0, height = 0;
    ASSERT_NO_FATAL_FAILURE(LoadTarget(&file, &width, &height));
    EXPECT_EQ(50, width);
    EXPECT_EQ(40, height);
}

TEST_F(ExportImageTest, FailedAndCancelledExportsLeaveTheTargetAsItWas)
{
    // The chroma booster's stage is refused without its calibration file.
    constexpr int kBoosterNotLoaded = 27;
    const struct {
        const char* name;
        std::uint32_t format;
        int stopAfter; // -1: no stop
        bool refusedStage;
        int result;
        bool fixedSize;
    } cases[] = {
        {"a fixed size other than the direct image's", kTiff, -1, false, kTlExportNoSource, true},
        {"format the saver refuses", 77, -1, false, kTlExportBeginRefused, false},
        {"a stage of the chain refused", kTiff, -1, true, kBoosterNotLoaded, false},
        {"cancelled at once", kTiff, 0, false, kTlExportAborted, false},
        {"cancelled while writing", kTiff, 3, false, kTlExportAborted, false},
        {"raw file cancelled while writing", 2048, 3, false, kTlExportAborted, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder::Overwrite(m_target, "the user's file");
        StoppingSink sink(c.stopAfter);
        TlSaveProgressState progress;
        progress.sink = c.stopAfter >= 0 ? &sink : nullptr;
        ExchangeSaveProgressState(progress);
        SyntheticPicture picture(Manager(), kBayerModel, kWidth, kHeight);
        picture.holder.fixedSize = c.fixedSize ? 1 : 0;
        if (c.refusedStage) {
            picture.holder.chromaBoostUsed = 1;
            picture.holder.chromaBoost.amount = 40;
        }

        EXPECT_EQ(c.result, Export(picture, 0, c.format));
        EXPECT_EQ("the user's file", TempFolder::Read(m_target));
        ExpectOnlyTarget(true);
        EXPECT_FALSE(SaveState().prepared);
        EXPECT_EQ(nullptr, SaveState().saver);
        ExchangeSaveProgressState(TlSaveProgressState());
    }
}

TEST_F(ExportImageTest, ALockedTargetFailsCleanly)
{
    TempFolder::Overwrite(m_target, "the user's file");
    HANDLE held = CreateFileA(m_target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    SyntheticPicture picture(Manager(), kBayerModel, kWidth, kHeight);
    EXPECT_EQ(kTlSaveTargetNotReplaced, Export(picture, 0, kTiff));
    CloseHandle(held);
    EXPECT_EQ("the user's file", TempFolder::Read(m_target));
    ExpectOnlyTarget(true);
}

// The development of a raw-processing source reports to the save only while
// it runs: the observer it had before is back after a success and a failure.
TEST_F(ExportImageTest, TheSourcesObserverIsPutBackOnEveryPath)
{
    for (std::uint32_t format : {kTiff, std::uint32_t(77)}) {
        SCOPED_TRACE(format);
        SyntheticPicture picture(Manager(), 513, kWidth, kHeight);
        ASSERT_NE(nullptr, picture.Developed());
        CProgressRelay previous;
        picture.Developed()->SetObserver(&previous);
        Export(picture, 0, format);
        EXPECT_EQ(&previous, picture.Developed()->GetObserver());
        picture.Developed()->SetObserver(nullptr);
    }
}

// A JPEG takes one rendition: the saver refuses the list with both, and the
// list it is given again still ends with the source's entry, or with the
// attached bitmap when the settings ask for it.
TEST_F(ExportImageTest, TheRetriedImageListKeepsItsLastEntry)
{
    const unsigned char block[4] = {1, 2, 3, 4};
    const struct {
        std::uint8_t bitmapOption;
        std::uint32_t lastKind;
    } cases[] = {
        {0, kPellioEntryRawSource},
        {1, kPellioEntryBitmap},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.bitmapOption));
        SyntheticPicture picture(Manager(), kBayerModel, kWidth, kHeight);
        std::unique_ptr<CTlvParamSet> params = picture.Params();
        params->ReadImageTags();
        params->options[2] = c.bitmapOption;
        params->profileBuffer = block;
        params->profileBufferSize = sizeof block;
        ASSERT_EQ(0, PrepareExport(params.get(), m_target.c_str(), 0, kJpeg, 90));
        int done = 0;
        while (done == 0 && SaveState().step != kTlExportWrite)
            ASSERT_EQ(0, ExportStep(*params, &done, false));
        ASSERT_EQ(0, done);
        const STlSaveState& save = SaveState();
        ASSERT_EQ(2, save.imageCount);
        EXPECT_EQ(kPellioEntryRendition, save.imageList[0].kind);
        EXPECT_EQ(c.lastKind, save.imageList[1].kind);
        EXPECT_EQ(0u, save.imageList[2].kind) << "nothing is left behind the list";
        int result = 0;
        while (done == 0)
            result = ExportStep(*params, &done, false);
        EXPECT_EQ(0, result);
        DeleteFileA(m_target.c_str());
    }
}

TEST_F(ExportImageTest, DirectImageModeNeedsADestination)
{
    SyntheticPicture picture(Manager(), kBayerModel, kWidth, kHeight);
    EXPECT_EQ(kTlExportRunFailed, Export(picture, 0, 1024, 0, true));
    EXPECT_FALSE(SaveState().prepared);
    EXPECT_EQ(nullptr, SaveState().saver);
}

TEST_F(ExportImageTest, DirectImageModeRendersIntoTheDestinationImage)
{
    SyntheticPicture picture(Manager(), kBayerModel, kWidth, kHeight);
    IKelvraImage* destination = nullptr;
    ASSERT_EQ(nullptr, Manager()->CreateImage(&destination));
    SaveState().directDestination = destination;
    EXPECT_EQ(0, Export(picture, 0, 1024, 0, true));
    long width = 0, height = 0;
    EXPECT_EQ(nullptr, destination->GetSize(&width, &height));
    EXPECT_EQ(kWidth - 12, width);
    EXPECT_EQ(kHeight - 12, height);
    for (const std::string& name : pelliotest::FilesIn(m_folder.Path()))
        EXPECT_EQ(0u, name.find("picture")) << "no temporary file is left: " << name;
    destination->Release();
}

} // namespace
