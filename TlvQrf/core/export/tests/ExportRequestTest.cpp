// A save request as a host makes it, through the library's real job queue,
// image save and export: the file is written for real, and a failed export
// leaves the host's file as it was.
#include "CameraTestSupport.h"
#include "colour/TlColourEngineManager.h"
#include "colour/TlGeneratedProfileHolds.h"
#include "colour/TlWorkingProfiles.h"
#include "ErrorChainTestSupport.h"
#include "export/TlExport.h"
#include "jobs/TlGlobalJobQueue.h"
#include "kelvra/KelvraError.h"
#include "load/TlImageSaveHook.h"
#include "load/TlLoadResult.h"
#include "LoadTestSupport.h"
#include "params/TlvParamSetMaker.h"
#include "pellio/PellioFormats.h"
#include "PellioTestSupport.h"
#include "save/TlSaveImage.h"
#include "save/TlSaveWriters.h"
#include "saverequest/TlSaveJobQueue.h"
#include "saverequest/TlvSaveImage.h"
#include "watcher/TlFileSavingUtilities.h"

#include <windows.h>

#include <cstring>
#include <string>

using namespace loadtest;
using TlvQrfLib::TlvSaveData;

namespace {

class ExportRequestTest : public LoadTest {
protected:
    void SetUp() override
    {
        LoadTest::SetUp();
        ASSERT_TRUE(m_profiles.IsReady());
        camera_test::UseSrgbProfilesIn(m_profiles);
        InstallParamSetMaker();
        SetJobQueueFactory(&NewSaveJobQueue);
        // What the library's start-up installs.
        InstallImageSave();
        m_previousExport = SetExportImageHook(&ExportImage);
        ASSERT_EQ(CreateSaveImage(&m_saver), 0u);
    }
    void TearDown() override
    {
        if (m_saver != nullptr) {
            while (!m_saver->IsFinished())
                Sleep(1);
            m_saver->Destroy();
        }
        SetExportImageHook(m_previousExport);
        SetImageSaveHook(nullptr);
        ReleaseGeneratedProfileHolds(); // as the library's close: the profiles folder can go
        LoadTest::TearDown();
    }

    // A raw file that stores its settings, which a save without a holder
    // applies.
    std::string StoredRaw(const std::string& name)
    {
        QrfRawOptions raw = RawOptions(258, QrfPattern::GBRG);
        raw.extraTags.push_back({0x80E01, kKelvraTagTypeBytes, StoredSettingsBlock(0.5)});
        return WriteRaw(name, raw);
    }

    // Saves the raw file `source` to `output` and waits for the result.
    std::uint32_t Save(const std::string& source, const std::string& output, std::uint32_t format)
    {
        TlvSaveData data;
        std::strncpy(data.szSourcePath, source.c_str(), sizeof data.szSourcePath - 1);
        std::strncpy(data.szOutputPath, output.c_str(), sizeof data.szOutputPath - 1);
        data.dwFileFormat = format;
        data.dwFormatOption = 90;
        EXPECT_EQ(m_saver->SaveImage(data), 2u);
        while (!m_saver->IsFinished())
            Sleep(1);
        return data.dwResult;
    }

    TempProfilesFolder m_profiles;
    CTlFileSavingUtilities m_watcher;
    ITlvSaveImage* m_saver = nullptr;
    TlExportImageHook m_previousExport = nullptr;
};

TEST_F(ExportRequestTest, ARawFileIsExportedToJpeg)
{
    const std::string source = StoredRaw("picture.qrf");
    const std::string output = m_folder.File("picture.jpg");
    ASSERT_EQ(0u, Save(source, output, kPellioFormatJpeg));

    pelliotest::LoadedFile file;
    ASSERT_TRUE(pelliotest::Succeeded(pelliotest::LoadWhole(Manager(), output, &file)));
    EXPECT_EQ(std::uint32_t(kPellioKindJpeg), file.info.fileKind);
    long width = 0, height = 0;
    ASSERT_TRUE(pelliotest::Succeeded(file.main->GetSize(&width, &height)));
    EXPECT_GT(width, 0);
    EXPECT_GT(height, 0);
}

TEST_F(ExportRequestTest, AFailedExportLeavesTheHostsFile)
{
    const std::string source = StoredRaw("picture.qrf");
    const std::string output = m_folder.File("picture.out");
    TempFolder::Overwrite(output, "the user's file");
    EXPECT_NE(0u, Save(source, output, 77)) << "a format the saver does not know";
    EXPECT_EQ("the user's file", TempFolder::Read(output));
    for (const std::string& name : pelliotest::FilesIn(m_folder.Path()))
        EXPECT_NE(0, name.compare(0, 3, "Tln")) << name;
}

TEST_F(ExportRequestTest, AFailedSaveHandsTheHostTheChainThatSaysWhy)
{
    const std::string raw = StoredRaw("picture.qrf");
    const std::string bytes = TempFolder::Read(raw);
    const std::string truncated = m_folder.Write("truncated.qrf", bytes.substr(0, bytes.size() / 2));
    const std::string notRaw = m_folder.Write("notes.qrf", "not a raw file\n");
    const struct {
        const char* name;
        std::string source;
        std::string output;
        std::uint32_t format;
        const char* what;   // the first error's text
        const char* layer;  // the text of the layer that failed
        std::uint32_t category;
        long code;          // the cause
    } cases[] = {
        {"not a raw file", notRaw, m_folder.File("a.jpg"), kPellioFormatJpeg,
         "the source file could not be loaded: the loader does not take the file",
         "the source file could not be loaded: the loader does not take the file", kKelvraCategoryKelvra,
         kPellioUnknownFile},
        {"a raw file cut short", truncated, m_folder.File("b.jpg"), kPellioFormatJpeg,
         "the source file could not be loaded: the loader does not take the file",
         "the source file could not be loaded: the loader does not take the file", kKelvraCategoryKelvra,
         kPellioReadFailed},
        {"an output folder that is not there", raw, m_folder.Path() + "none\\c.jpg", kPellioFormatJpeg,
         "the image could not be developed and written", "no temporary file can be made in the output folder",
         kKelvraCategoryOS, ERROR_DIRECTORY},
        // The Unix root's /sys under Wine's drive Z:: no one, root included,
        // makes a file there.
        {"an output folder no one may write to", raw, "Z:\\sys\\e.jpg", kPellioFormatJpeg,
         "the image could not be developed and written", "no temporary file can be made in the output folder",
         kKelvraCategoryOS, ERROR_ACCESS_DENIED},
        {"a format the writer does not know", raw, m_folder.File("d.out"), 77,
         "the image could not be developed and written", "the writer refused the output format",
         kKelvraCategoryKelvra, kKelvraUnsupportedFormat},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(kTlResultFailed, Save(c.source, c.output, c.format));
        IKelvraError* chain = m_saver->TakeError();
        ASSERT_NE(chain, nullptr);
        EXPECT_EQ(chain->GetCode(), kKelvraTextError);
        EXPECT_STREQ(chain->GetText(), c.what);
        EXPECT_TRUE(ChainHoldsText(chain, c.layer));
        EXPECT_TRUE(ChainHoldsCode(chain, c.category, c.code));
        IKelvraError::Release(chain);
        EXPECT_EQ(m_saver->TakeError(), nullptr) << "taken once";
    }
    EXPECT_EQ(bytes, TempFolder::Read(raw)) << "the source is only read";
}

// A development chain that cannot be built tells the host which stage
// failed, with the colour engine's own error innermost.
TEST_F(ExportRequestTest, AChainThatCannotBeBuiltHandsTheHostTheFiltersError)
{
    const std::string output = m_profiles.Path() + "TLsRGB.icm";
    const std::string other = m_profiles.Path() + "TLKX7_QRF.icm";
    CCMLEngMgr::CReference engine;
    ASSERT_TRUE(DeleteFileA(output.c_str()));
    IKelvraError* expected = nullptr;
    EXPECT_FALSE(RequestEngine(engine, other.c_str(), output.c_str(), &expected));

    EXPECT_EQ(kTlResultFailed, Save(StoredRaw("picture.qrf"), m_folder.File("a.jpg"), kPellioFormatJpeg));
    IKelvraError* chain = m_saver->TakeError();
    ASSERT_NE(chain, nullptr);
    EXPECT_TRUE(ChainHoldsText(chain, "Filter chain error"));
    EXPECT_TRUE(error_chain_test::ChainMentions(chain, "the development chain could not be built at the output "
                                                       "colour stage (20)"));
    EXPECT_TRUE(ChainHoldsText(chain, "Missing CMS Engine"));
    EXPECT_TRUE(error_chain_test::SameCause(chain, expected));
    IKelvraError::Release(chain);
    IKelvraError::Release(expected);
}

TEST_F(ExportRequestTest, ASaveThatSucceedsLeavesNoChain)
{
    const std::string notRaw = m_folder.Write("notes.qrf", "not a raw file\n");
    EXPECT_EQ(kTlResultFailed, Save(notRaw, m_folder.File("a.jpg"), kPellioFormatJpeg));
    EXPECT_EQ(0u, Save(StoredRaw("picture.qrf"), m_folder.File("b.jpg"), kPellioFormatJpeg));
    EXPECT_EQ(m_saver->TakeError(), nullptr) << "the failure before it is no part of this save";
}

} // namespace
