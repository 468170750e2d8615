// The image job of a save request without a settings holder, on a raw file
// that stores no settings: it finds "Neutral.set" beside the module, as the
// install step lays it out, prepares the save with neutral records and
// saves; without the file the save fails instead of saving unprepared.
#include "ImageJobTestSupport.h"
#include "LoadTestSupport.h"

#include "MakeNeutralSettings/TlNeutralSettingsMaker.h"

#include "frame/TlProfileFolder.h"
#include "load/TlImageJob.h"
#include "load/TlLiveObjects.h"
#include "settings/holders/TlvControlSettings.h"

#include <windows.h>

#include <cstring>
#include <memory>

using namespace loadtest;
using namespace imagejobtest;

namespace {

TlImageJobOptions OptionsFor(const std::string& source, const std::string& target)
{
    TlImageJobOptions options;
    std::strncpy(options.sourcePath, source.c_str(), sizeof options.sourcePath - 1);
    std::strncpy(options.targetPath, target.c_str(), sizeof options.targetPath - 1);
    options.channelLayout = 1;
    options.fileFormat = 1;
    return options;
}

class NeutralSettingsJobTest : public LoadTest {
protected:
    // The file beside this module, where the install step puts it beside
    // the library. A copy this test did not write stays.
    void InstallBesideModule()
    {
        if (TempFolder::Exists(m_neutral))
            return;
        std::string failure;
        ASSERT_TRUE(TlWriteNeutralSettings(GetModuleFolder().c_str(), &failure)) << failure;
        m_written = true;
    }

    void TearDown() override
    {
        if (m_written)
            DeleteFileA(m_neutral.c_str());
        EXPECT_EQ(owner.liveAttributes, 0);
        EXPECT_EQ(owner.liveTargets, 0);
        LoadTest::TearDown();
    }

    std::unique_ptr<CImageJob> JobWithoutHolder(const std::string& source)
    {
        auto job = std::make_unique<CImageJob>(owner, Manager());
        EXPECT_EQ(job->SetUpFromFile(OptionsFor(source, m_folder.File("out.jpg"))), kTlJobDone);
        return job;
    }

    const std::string m_neutral = GetModuleFolder() + "Neutral.set";
    bool m_written = false;
    CountingOwner owner;
};

TEST_F(NeutralSettingsJobTest, RawFileWithoutStoredSettingsIsSavedWithTheInstalledNeutralSettings)
{
    InstallBesideModule();
    const std::string source = WriteRaw("plain.qrf", RawOptions(258, QrfPattern::GBRG));
    auto job = JobWithoutHolder(source);
    EXPECT_EQ(std::string(job->GetTempFilePath()), m_neutral);

    ASSERT_EQ(job->LoadSource(), kTlJobDone);
    auto attributes = std::make_unique<CTlvImageAttributes>();
    attributes->adjust.value = 2.0; // neutral settings replace what was there
    attributes->whiteBalance.mode = CTlWhiteBalanceState::kModeTemperature;
    ASSERT_EQ(job->PrepareSave(job->GetTempFilePath(), *attributes), kTlJobDone);
    EXPECT_DOUBLE_EQ(attributes->adjust.ExposureCompensation(), 0.0);
    EXPECT_EQ(attributes->adjust.HueLevel(), 3);
    EXPECT_EQ(attributes->whiteBalance.mode, CTlWhiteBalanceState::kModeAsShot);
    EXPECT_TRUE(attributes->geometry.IsUncropped());
    attributes.reset();
    job->Release(false);

    RecordingSave save;
    auto run = JobWithoutHolder(source);
    EXPECT_EQ(run->Run(), kTlJobDone);
    EXPECT_EQ(save.Seen().calls, 1);
    run->Release(false);
    run.reset();
    EXPECT_TRUE(TempFolder::Exists(m_neutral)) << "the job keeps the shared file";
    EXPECT_EQ(RegisteredImageCount(), 0);
    EXPECT_EQ(RegisteredObjectCount(), 0);
}

TEST_F(NeutralSettingsJobTest, WithoutTheFileTheSaveFailsUnsaved)
{
    if (TempFolder::Exists(m_neutral))
        GTEST_SKIP() << "a copy lies beside this module";
    RecordingSave save;
    auto job = JobWithoutHolder(WriteRaw("plain.qrf", RawOptions(258, QrfPattern::GBRG)));
    EXPECT_EQ(job->Run(), kTlJobNoSettingsFile);
    EXPECT_EQ(save.Seen().calls, 0);
    EXPECT_FALSE(job->WasSaved());
    job->Release(false);
}

} // namespace
