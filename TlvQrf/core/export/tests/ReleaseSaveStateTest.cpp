// Releasing a save's state: the chain-only form between the export's stages
// keeps the writer and the images; the full form leaves a clean, finished
// state and keeps no unfinished output.
#include "export/TlReleaseSaveState.h"

#include "FilterTestSupport.h"
#include "filters/pluginfilter/TlPluginHostFilter.h"
#include "filtrix/KelvraFilterScale.h"
#include "frame/TlSaveProgress.h"
#include "fullres/TlFullResState.h"
#include "kelvra/KelvraFilterChain.h"
#include "pellio/Pellio.h"
#include "save/TlSaveState.h"
#include "settings/plugins/TlPluginState.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

class RecordingSink : public ITlSaveProgressSink {
public:
    void Reset(long, long) override {}
    void Notify() override { ++notified; }
    bool Progress(long, long) override { return false; }
    void SetEnabled(bool value) override { enabled = value; }

    int notified = 0;
    bool enabled = false;
};

class ReleaseSaveStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TlSaveProgressState progress;
        progress.sink = &m_sink;
        progress.base = 30;
        m_previous = ExchangeSaveProgressState(progress);
        FillRunningExport();
    }
    void TearDown() override
    {
        ReleaseSaveState(false);
        ExchangeSaveProgressState(m_previous);
    }

    IKelvraImage* NewImage() { return MakePatternImage(m_manager.manager, 8, 8, kKelvraRGB8); }

    // What an export holds half-way through its plug-in stage.
    void FillRunningExport()
    {
        IKelvraManager* manager = m_manager.manager;
        STlFullResState& chain = FullResState();
        ASSERT_EQ(manager->CreateFilterChain(&chain.chain), nullptr);
        chain.filters.emplace_back(new CKelvraFilterScale(manager, 2));
        ASSERT_EQ(chain.chain->InsertFilter(chain.filters.back().get(), -1), nullptr);
        chain.destination = NewImage();

        STlSaveState& save = SaveState();
        ASSERT_EQ(CreateSave(&save.saver), nullptr);
        ASSERT_EQ(CreateFileStream(&save.stream), nullptr);
        ASSERT_EQ(save.stream->SetPath(m_target.c_str()), nullptr);
        ASSERT_EQ(save.stream->Open(kKelvraStreamWrite), nullptr);
        ASSERT_EQ(CreateTagControl(&save.tags), nullptr);
        ASSERT_EQ(save.saver->Begin(save.stream, save.tags, kPellioFormatTiff, 0), nullptr);
        save.prepared = true;
        save.step = 3;
        save.runHandle = &save;
        save.pluginIndex = 1;
        save.pluginEntry = new CTlPluginState;
        save.pluginFilter = new CPluginHostFilter(manager);
        save.workImages[0] = NewImage();
        save.workImages[1] = NewImage();
        save.workSelector = kTlFirstWorkImage;
        save.rendition = NewImage();
        save.scaleFilter = new CKelvraFilterScale(manager, 2);
        save.imageList[0] = {kPellioEntryRendition, 1, save.scaleFilter};
        save.imageCount = 1;
    }

    ManagerHolder m_manager;
    TempFolder m_folder;
    const std::string m_target = m_folder.File("out.tif");
    RecordingSink m_sink;
    TlSaveProgressState m_previous;
};

TEST_F(ReleaseSaveStateTest, ChainOnlyKeepsTheWriterAndTheImages)
{
    ReleaseSaveState(true);
    const STlSaveState& save = SaveState();

    EXPECT_EQ(FullResState().chain, nullptr);
    EXPECT_TRUE(FullResState().filters.empty());
    EXPECT_EQ(save.pluginFilter, nullptr);
    EXPECT_EQ(save.pluginEntry, nullptr);

    EXPECT_NE(FullResState().destination, nullptr) << "holds what the chain wrote";
    EXPECT_NE(save.saver, nullptr);
    EXPECT_NE(save.stream, nullptr);
    EXPECT_NE(save.tags, nullptr);
    EXPECT_NE(save.workImages[0], nullptr);
    EXPECT_NE(save.rendition, nullptr);
    EXPECT_EQ(save.imageCount, 1);
    EXPECT_TRUE(save.prepared);
    EXPECT_EQ(save.step, 3);
    EXPECT_EQ(m_sink.notified, 0);
}

TEST_F(ReleaseSaveStateTest, FullLeavesACleanFinishedStateAndNoOutput)
{
    m_sink.enabled = false; // a filter phase was running
    ReleaseSaveState(false);
    const STlSaveState& save = SaveState();

    EXPECT_EQ(FullResState().chain, nullptr);
    EXPECT_EQ(FullResState().destination, nullptr);
    EXPECT_EQ(save.saver, nullptr);
    EXPECT_EQ(save.stream, nullptr);
    EXPECT_EQ(save.tags, nullptr);
    EXPECT_EQ(save.pluginFilter, nullptr);
    EXPECT_EQ(save.pluginEntry, nullptr);
    EXPECT_EQ(save.workImages[0], nullptr);
    EXPECT_EQ(save.workImages[1], nullptr);
    EXPECT_EQ(save.workSelector, kTlNoWorkImage);
    EXPECT_EQ(save.rendition, nullptr);
    EXPECT_EQ(save.scaleFilter, nullptr);
    EXPECT_EQ(save.imageCount, 0);
    EXPECT_EQ(save.imageList[0].object, nullptr);
    EXPECT_EQ(save.runHandle, nullptr);
    EXPECT_EQ(save.step, kTlSaveStepFinished);
    EXPECT_FALSE(save.prepared);

    EXPECT_TRUE(m_sink.enabled) << "the phase ended";
    EXPECT_EQ(m_sink.notified, 1);
    EXPECT_FALSE(TempFolder::Exists(m_target)) << "an unfinished save keeps no output";
}

TEST_F(ReleaseSaveStateTest, ReleasingTwiceIsHarmless)
{
    ReleaseSaveState(false);
    ReleaseSaveState(false);
    ReleaseSaveState(true);
    EXPECT_EQ(SaveState().step, kTlSaveStepFinished);
    EXPECT_EQ(SaveState().saver, nullptr);
}

} // namespace
