// A host's request to write the settings into a raw file, through the real
// job queue and the library's save: the worker loads the raw file, writes
// its settings into a copy and replaces the target with it; an abort from
// the host leaves no file behind.
#include "SaveRoadTestSupport.h"

#include "QrfSaveTestSupport.h"

#include "load/TlLiveObjects.h"
#include "load/TlStoredSettings.h"
#include "qrfsave/TlQrfSave.h"
#include "save/TlSaveImage.h"
#include "save/TlSaveWriters.h"

#include <string>

using namespace saveroad;
using TlvQrfLib::TlvSaveData;

namespace {

constexpr unsigned long kCancelled = 0x1002;

class QrfSettingsRequestTest : public SaveRoadTest {
protected:
    void SetUp() override
    {
        SaveRoadTest::SetUp();
        m_previous = SetSaveSettingsHook(&SaveQrfSettings);
    }
    void TearDown() override
    {
        SaveRoadTest::TearDown();
        SetSaveSettingsHook(m_previous);
    }

    pelliotest::LoadedFile Reload(const std::string& path) { return qrfsave_test::Reload(Manager(), path); }

private:
    TlSaveSettingsHook m_previous = nullptr;
};

TEST_F(QrfSettingsRequestTest, TheSettingsGoIntoACopyOfTheRawFileThroughTheQueue)
{
    const std::string source = SmallRaw("small.qrf");
    const std::string output = m_folder.File("settings.qrf");
    TlvSaveData record;
    record.dwResult = 77;
    ASSERT_EQ(Save(record, source, output, kTlSaveSettingsFormat), 2u);
    WaitUntilFinished();
    EXPECT_EQ(record.dwResult, 0u);

    const pelliotest::LoadedFile before = Reload(source);
    const pelliotest::LoadedFile after = Reload(output);
    ASSERT_TRUE(after.main);
    EXPECT_EQ(pelliotest::PixelsOf(after.main.get()), pelliotest::PixelsOf(before.main.get()));
    EXPECT_FALSE(pelliotest::TagBytes(after.tags.get(), kTlStoredSettingsTag).empty());
    EXPECT_EQ(pelliotest::TagBytes(after.tags.get(), 0x80E05), pelliotest::ValueBytes(std::uint32_t(2)));
    EXPECT_TRUE(TempFolder::Matching(m_folder.Path() + "Tln*").empty());
    EXPECT_EQ(RegisteredImageCount(), 0);
    EXPECT_EQ(RegisteredObjectCount(), 0);
}

TEST_F(QrfSettingsRequestTest, AnAbortedSettingsSaveReportsCancellationAndLeavesTheFile)
{
    const std::string output = m_folder.Write("kept.qrf", "the user's file");
    TlvSaveData record;
    ASSERT_EQ(Save(record, LargeRaw(), output, kTlSaveSettingsFormat), 2u);
    ASSERT_TRUE(WaitForProgress());
    Saver().Abort();
    WaitUntilFinished();
    EXPECT_EQ(record.dwResult, kCancelled) << "an aborted save must not read as saved";
    EXPECT_EQ(TempFolder::Read(output), "the user's file");
    EXPECT_TRUE(TempFolder::Matching(m_folder.Path() + "Tln*").empty());
    EXPECT_EQ(RegisteredImageCount(), 0);
    EXPECT_EQ(RegisteredObjectCount(), 0);
}

} // namespace
