#include "SaveRoadTestSupport.h"

#include "MakeCalibration/TlCalibrationMaker.h"
#include "MakeCameraTables/TlCameraTablesMaker.h"
#include "MakeProfiles/TlProfileMaker.h"
#include "PellioTestSupport.h"
#include "export/TlExport.h"
#include "qrfsave/TlQrfSave.h"
#include "jobs/TlGlobalJobQueue.h"
#include "lib/TlLibraryStartup.h"
#include "params/TlvParamSetMaker.h"
#include "save/TlSaveImage.h"
#include "saverequest/TlSaveJobQueue.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace saveroad {

namespace {

std::unique_ptr<TempFolder> g_suiteFolder;
std::string g_largeRaw;
std::string g_largeSignalRaw;

loadtest::Bytes StoredSettings()
{
    return loadtest::StoredSettingsBlock(0.5);
}

QrfRawOptions StoringOptions(long width, long height, std::uint32_t model = 258,
                             QrfPattern pattern = QrfPattern::GBRG)
{
    QrfRawOptions raw = loadtest::RawOptions(model, pattern);
    raw.width = width;
    raw.height = height;
    raw.extraTags.push_back({0x80E01, kKelvraTagTypeBytes, StoredSettings()});
    return raw;
}

void CopyPath(char (&target)[260], const std::string& path)
{
    std::strncpy(target, path.c_str(), sizeof target - 1);
    target[sizeof target - 1] = '\0';
}

// The path, or empty when the file could not be written.
std::string WriteLarge(const std::string& path, std::uint32_t model, QrfPattern pattern)
{
    IKelvraError* error = QrfWriteRaw(StoringOptions(3000, 2000, model, pattern), path.c_str());
    if (error == nullptr)
        return path;
    IKelvraError::Release(error);
    return std::string();
}

} // namespace

int SaveThroughLibrary(const STlImageSave& save)
{
    return SaveImageToFile(save.target, save.targetPath, save.channelLayout, save.fileFormat, save.formatOption,
                           save.directImage);
}

void SaveRoadTest::SetUpTestSuite()
{
    g_suiteFolder = std::make_unique<TempFolder>();
    g_largeRaw = WriteLarge(g_suiteFolder->File("large.qrf"), 258, QrfPattern::GBRG);
    g_largeSignalRaw = WriteLarge(g_suiteFolder->File("large-516.qrf"), 516, QrfPattern::BGGR);
}

void SaveRoadTest::TearDownTestSuite()
{
    g_suiteFolder.reset();
}

const std::string& SaveRoadTest::LargeRaw()
{
    return g_largeRaw;
}

const std::string& SaveRoadTest::LargeSignalRaw()
{
    return g_largeSignalRaw;
}

void SaveRoadTest::SetUp()
{
    LoadTest::SetUp();
    ASSERT_TRUE(m_profiles.IsReady());
    const std::string folder = m_profiles.Path();
    ASSERT_EQ(TlWriteProfiles(folder.c_str()), nullptr);
    ASSERT_TRUE(TlWriteCalibrations(folder));
    std::string failure;
    ASSERT_TRUE(TlWriteCameraTables(folder.c_str(), &failure)) << failure;
    ASSERT_FALSE(LargeRaw().empty() || LargeSignalRaw().empty()) << "a large raw file could not be written";

    // What the library's start-up installs, then the start itself.
    InstallParamSetMaker();
    InstallImageSave();
    InstallExport();
    InstallQrfSettingsSave();
    SetJobQueueFactory(&NewSaveJobQueue);
    ASSERT_EQ(StartQrfLibrary(Manager()), 0u);
    m_started = true;
    ASSERT_EQ(CreateSaveImage(&m_saver), 0u);
}

void SaveRoadTest::TearDown()
{
    if (m_saver != nullptr) {
        WaitUntilFinished();
        m_saver->Destroy();
    }
    if (m_started)
        CloseQrfLibrary();
    LoadTest::TearDown();
}

std::string SaveRoadTest::CopyOf(const std::string& path, const std::string& name)
{
    const std::string copy = m_folder.File(name);
    EXPECT_TRUE(CopyFileA(path.c_str(), copy.c_str(), FALSE));
    return copy;
}

std::string SaveRoadTest::SmallRaw(const std::string& name, std::uint32_t model, QrfPattern pattern)
{
    return WriteRaw(name, StoringOptions(192, 128, model, pattern));
}

unsigned long SaveRoadTest::Save(TlvQrfLib::TlvSaveData& record, const std::string& source, const std::string& output,
                                 std::uint32_t fileFormat)
{
    CopyPath(record.szSourcePath, source);
    CopyPath(record.szOutputPath, output);
    record.dwFileFormat = fileFormat;
    return m_saver->SaveImage(record);
}

void SaveRoadTest::WaitUntilFinished()
{
    while (!m_saver->IsFinished())
        Sleep(1);
}

bool SaveRoadTest::WaitForProgress()
{
    while (!m_saver->IsFinished()) {
        if (ReadProgress().total > 0)
            return true;
        Sleep(1);
    }
    return false;
}

Progress SaveRoadTest::ReadProgress() const
{
    Progress progress;
    m_saver->GetProgress(progress.done, progress.total);
    return progress;
}

::testing::AssertionResult SaveRoadTest::IsPicture(const std::string& path, std::uint32_t kind, long width,
                                                   long height)
{
    pelliotest::LoadedFile file;
    const ::testing::AssertionResult loaded = pelliotest::Succeeded(pelliotest::LoadWhole(Manager(), path, &file));
    if (!loaded)
        return loaded;
    if (file.info.fileKind != kind)
        return ::testing::AssertionFailure() << "kind " << std::hex << file.info.fileKind;
    return HoldsPicture(file.main.get(), width, height);
}

::testing::AssertionResult SaveRoadTest::HoldsPicture(IKelvraImage* image, long width, long height)
{
    long w = 0;
    long h = 0;
    IKelvraError::Release(image->GetSize(&w, &h));
    if (w != width || h != height)
        return ::testing::AssertionFailure() << w << " x " << h;
    const pelliotest::Bytes pixels = pelliotest::PixelsOf(image);
    if (pixels.empty() || std::all_of(pixels.begin(), pixels.end(), [&](std::uint8_t b) { return b == pixels[0]; }))
        return ::testing::AssertionFailure() << "a picture without content";
    return ::testing::AssertionSuccess();
}

} // namespace saveroad
