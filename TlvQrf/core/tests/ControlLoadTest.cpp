// A host's road to a picture: it makes an image control, loads a raw file
// straight into the control's image attributes, initialises the control
// with what the load gave and shows the developed preview. What the file
// stores (orientation, edit settings) reaches the preview, the attributes
// save the picture through a save request, and the loaded objects go with
// the control.
#include "DevelopEnvironment.h"
#include "DevelopedPatchesSupport.h"
#include "FilterTestSupport.h"
#include "LoadTestSupport.h"

#include "jobs/TlGlobalJobQueue.h"
#include "kelvra/KelvraFilterChain.h"
#include "lib/TlLibraryState.h"
#include "load/TlImageSaveHook.h"
#include "load/TlLiveObjects.h"
#include "pellio/PellioFormats.h"
#include "save/TlSaveImage.h"
#include "saverequest/TlSaveJobQueue.h"
#include "saverequest/TlvSaveImage.h"

#include <windows.h>

#include <cstring>
#include <numeric>

namespace {

constexpr long kWidth = 480;
constexpr long kHeight = 320;
// The De-Bayer step keeps a border of six pixels on each side.
constexpr long kBorder = 12;

constexpr std::uint32_t kStoredAngleTag = 0x10005;
constexpr std::uint32_t kStoredSettingsTag = 0x80E01;

QrfExtraTag StoredAngle(double degrees)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&degrees);
    return {kStoredAngleTag, kKelvraTagTypeDoubles, std::vector<std::uint8_t>(bytes, bytes + sizeof degrees)};
}

double MeanSample(const SampleGrid& grid)
{
    if (grid.samples.empty())
        return 0.0;
    return std::accumulate(grid.samples.begin(), grid.samples.end(), 0.0) / double(grid.samples.size());
}

// What the host holds while the picture is shown.
struct SShown {
    ControlPtr control;
    SampleGrid preview;
    unsigned maxValue = 0;
};

class ControlLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_environment.IsReady());
        // What the library's start-up installs for saves.
        SetJobQueueFactory(&NewSaveJobQueue);
        InstallImageSave();
    }
    void TearDown() override { SetImageSaveHook(nullptr); }

    std::string WriteScene(const std::string& name, const std::vector<QrfExtraTag>& stored = {})
    {
        QrfRawOptions options = SceneOptions(kWidth, kHeight);
        options.extraTags = stored;
        const std::string path = m_environment.WriteRaw(name, options);
        EXPECT_FALSE(path.empty());
        return path;
    }

    // The host's road (CDevelopEnvironment::Open): CreateObject, the load
    // into GetImageAttributes polled to its end, the three-argument
    // Initialize with the loaded image and tags; then the preview chain and
    // the preview as the display reads it.
    static SShown Show(const CDevelopEnvironment& environment, const std::string& path)
    {
        SShown shown;
        shown.control = environment.Open(path).control;
        EXPECT_NE(nullptr, shown.control) << "opened";
        if (shown.control == nullptr)
            return shown;
        ITlvQrfData* data = shown.control.get();
        IKelvraFilterChain* chain = nullptr;
        ExpectOk(data->GetFilterChain(&chain), "preview");
        if (chain == nullptr)
            return shown;
        shown.preview = ReadSampleGrid(chain);
        KelvraPixelFormat format = 0;
        ExpectOk(chain->GetColorSpace(&format), "preview format");
        shown.maxValue = KelvraIs16Bit(format) ? 65535 : 255;
        return shown;
    }

    CDevelopEnvironment m_environment;
};

} // namespace

TEST_F(ControlLoad, ALoadIntoTheControlsAttributesIsShownDevelopedAtTheLoadedSize)
{
    const struct {
        const char* name;
        std::vector<QrfExtraTag> stored;
        int rotation;
        long previewWidth, previewHeight;
    } cases[] = {
        {"as taken", {}, 0, kWidth - kBorder, kHeight - kBorder},
        {"stored quarter turn", {StoredAngle(90.0)}, 90, kHeight - kBorder, kWidth - kBorder},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SShown shown = Show(m_environment, WriteScene("scene.qrf", c.stored));
        ASSERT_NE(nullptr, shown.control);
        CTlvQrfControl& control = *shown.control;
        EXPECT_NE(0, control.rawFlag);
        EXPECT_EQ(32, control.fileFormat);
        EXPECT_TRUE(control.storedSettings) << "a mosaic in the raw container";
        EXPECT_EQ(std::uint32_t(kWidth), control.fullWidth);
        EXPECT_EQ(std::uint32_t(kHeight), control.fullHeight);
        EXPECT_EQ(c.rotation, control.GetRotation());
        EXPECT_TRUE(control.IsReady());
        EXPECT_EQ(c.previewWidth, shown.preview.width);
        EXPECT_EQ(c.previewHeight, shown.preview.height);
        EXPECT_EQ(3, shown.preview.planes);
        EXPECT_GT(MeanSample(shown.preview), shown.maxValue / 16.0) << "developed, not black";
    }
}

TEST_F(ControlLoad, EditSettingsTheFileStoresReachTheControlAndItsPreview)
{
    const SShown plain = Show(m_environment, WriteScene("plain.qrf"));
    const SShown brighter =
        Show(m_environment, WriteScene("brighter.qrf", {{kStoredSettingsTag, kKelvraTagTypeBytes,
                                                         loadtest::StoredSettingsBlock(1.0)}}));
    ASSERT_NE(nullptr, plain.control);
    ASSERT_NE(nullptr, brighter.control);
    EXPECT_EQ(0.0, plain.control->adjust.value);
    EXPECT_EQ(1.0, brighter.control->adjust.value) << "the stored exposure";
    EXPECT_NE(0, brighter.control->adjustUsed);
    ASSERT_EQ(plain.preview.samples.size(), brighter.preview.samples.size());
    EXPECT_GT(MeanSample(brighter.preview), MeanSample(plain.preview) * 1.2) << "one stop brighter";
}

// The control's holder owns what the load registered: the image and the
// tags go with the control.
TEST_F(ControlLoad, TheLoadedImageAndTagsGoWithTheControl)
{
    const long images = RegisteredImageCount();
    const long objects = RegisteredObjectCount();
    {
        const SShown shown = Show(m_environment, WriteScene("owned.qrf"));
        ASSERT_NE(nullptr, shown.control);
        EXPECT_GT(RegisteredImageCount(), images);
        EXPECT_GT(RegisteredObjectCount(), objects);
    }
    EXPECT_EQ(images, RegisteredImageCount());
    EXPECT_EQ(objects, RegisteredObjectCount());
}

// A control cleaned up and initialised again with another picture lets the
// first picture's loaded image and tags go; the second stays in use until
// the control goes.
TEST_F(ControlLoad, ASecondInitializeReleasesTheFirstPicture)
{
    const long images = RegisteredImageCount();
    const long objects = RegisteredObjectCount();
    {
        const SShown first = Show(m_environment, WriteScene("first.qrf"));
        const SShown second = Show(m_environment, WriteScene("second.qrf"));
        ASSERT_NE(nullptr, first.control);
        ASSERT_NE(nullptr, second.control);
        CTlvQrfControl& control = *first.control;
        IKelvraImage* oldImage = control.images.image;
        IKelvraTagControl* oldTags = control.images.tags;
        // The host hands the first control a use of the second picture.
        IKelvraImage* newImage = second.control->images.image;
        IKelvraTagControl* newTags = second.control->images.tags;
        RegisterImage(newImage);
        RegisterObject(newTags);

        IKelvraError::Release(control.Cleanup(false));
        ExpectOk(control.Initialize(TlvQrfLib::GetGlobalManager(), newImage, newTags), "second Initialize");
        EXPECT_EQ(0, ImageUseCount(oldImage)) << "the first picture is released";
        EXPECT_EQ(0, ObjectUseCount(oldTags));
        EXPECT_EQ(2, ImageUseCount(newImage));
        EXPECT_EQ(2, ObjectUseCount(newTags));
    }
    EXPECT_EQ(images, RegisteredImageCount());
    EXPECT_EQ(objects, RegisteredObjectCount());
}

// The save request takes the control's attributes as the image's settings
// holder: the loaded picture is saved with the orientation it shows.
TEST_F(ControlLoad, TheControlsAttributesSaveThePictureItShows)
{
    const SShown shown = Show(m_environment, WriteScene("turned.qrf", {StoredAngle(90.0)}));
    ASSERT_NE(nullptr, shown.control);
    ITlvSaveImage* saver = nullptr;
    ASSERT_EQ(0u, CreateSaveImage(&saver));
    TlvQrfLib::TlvSaveData data;
    const std::string source = m_environment.Files().File("turned.qrf");
    const std::string output = m_environment.Files().File("turned.jpg");
    std::strncpy(data.szSourcePath, source.c_str(), sizeof data.szSourcePath - 1);
    std::strncpy(data.szOutputPath, output.c_str(), sizeof data.szOutputPath - 1);
    data.dwFileFormat = kPellioFormatJpeg;
    data.dwFormatOption = 90;
    data.pSettings = shown.control->GetImageAttributes();
    EXPECT_EQ(2u, saver->SaveImage(data));
    while (!saver->IsFinished())
        Sleep(1);
    saver->Destroy();
    EXPECT_EQ(0u, data.dwResult);
    const SampleGrid saved = patches_test::ReadImageFile(output).grid;
    EXPECT_EQ(3, saved.planes);
    EXPECT_LT(saved.width, saved.height) << "turned a quarter, as shown";
    EXPECT_GT(MeanSample(saved), 255 / 16.0) << "developed, not black";
}
