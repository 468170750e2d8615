// The save context: it parks the save state (moving the writer objects,
// filters, engine references, step and paths out, copying the rest) and puts
// it back when it is destroyed, but only when it has a filter watcher.
#include "watcher/TlFileSavingUtilities.h"
#include "frame/TlSaveProgress.h"
#include "lib/TlLibraryState.h"
#include "save/TlSaveContext.h"
#include "save/TlSaveState.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Distinct fake addresses; the state never dereferences its writer objects.
template <typename T>
T* Fake(std::uintptr_t n)
{
    return reinterpret_cast<T*>(n * 16);
}

class NullSink : public ITlSaveProgressSink {
public:
    void Reset(long, long) override {}
    void Notify() override {}
    bool Progress(long, long) override { return false; }
    void SetEnabled(bool) override {}
};

class SaveContextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousWatcher = ExchangeCurrentFileWatcher(nullptr);
        m_previousTag = ExchangeSoftwareTag("Tag 1.0");
        m_previousProgress = GetSaveProgressState();
        for (auto& engine : m_engines)
            engine.reset(new CKelvraFilterCMLEngine);
        FillRunningSave();
    }
    void TearDown() override
    {
        STlSaveState& state = SaveState();
        for (auto& engine : state.engines)
            engine.Release();
        state = STlSaveState();
        ExchangeCurrentFileWatcher(m_previousWatcher);
        ExchangeSoftwareTag(m_previousTag);
        ExchangeSaveProgressState(m_previousProgress);
    }

    void FillRunningSave()
    {
        STlSaveState& state = SaveState();
        state.profilePath = "C:\\out.icc";
        state.tempPath = "C:\\Tln1.tmp";
        state.directDestination = Fake<IKelvraImage>(1);
        state.step = 3;
        state.prepared = true;
        state.saver = Fake<IKelvraSave>(2);
        state.stream = Fake<IKelvraFileStream>(3);
        state.tags = Fake<IKelvraTagControl>(4);
        state.sources = {Fake<IKelvraDataSource>(5), Fake<IKelvraDataSource>(6)};
        state.scaleFilter = Fake<IKelvraFilter>(7);
        state.sharpeningFilter = Fake<IKelvraFilter>(8);
        state.colourFilter = Fake<IKelvraFilter>(9);
        for (int slot = 0; slot < kTlSaveEngineSlots; ++slot)
            state.engines[slot] = m_engines[slot].get();
        state.sharpeningChain = {Fake<IKelvraFilter>(10)};
        state.rawSaveOption = 11;
        state.formatOption = 12;
        TlSaveProgressState progress;
        progress.sink = &m_sink;
        progress.base = 40;
        ExchangeSaveProgressState(progress);
    }

    long References(int slot) const { return m_engines[slot]->GetReferenceCount(); }

    CTlFileSavingUtilities* m_previousWatcher = nullptr;
    std::string m_previousTag;
    TlSaveProgressState m_previousProgress;
    NullSink m_sink;
    std::unique_ptr<CKelvraFilterCMLEngine> m_engines[kTlSaveEngineSlots];
};

TEST_F(SaveContextTest, WhileItLivesTheGlobalsHoldACleanFinishedSave)
{
    CSaveContext context(nullptr);
    const STlSaveState& state = SaveState();

    EXPECT_TRUE(state.profilePath.empty());
    EXPECT_TRUE(state.tempPath.empty());
    EXPECT_EQ(state.step, kTlSaveStepFinished);
    EXPECT_FALSE(state.prepared);
    EXPECT_EQ(state.saver, nullptr);
    EXPECT_EQ(state.stream, nullptr);
    EXPECT_EQ(state.tags, nullptr);
    EXPECT_TRUE(state.sources.empty());
    EXPECT_EQ(state.scaleFilter, nullptr);
    EXPECT_EQ(state.sharpeningFilter, nullptr);
    EXPECT_EQ(state.colourFilter, nullptr);
    EXPECT_TRUE(state.sharpeningChain.empty());
    for (int slot = 0; slot < kTlSaveEngineSlots; ++slot) {
        EXPECT_FALSE(state.engines[slot]);
        EXPECT_EQ(References(slot), 1) << "held by the context only";
    }
    // Copied values stay in place.
    EXPECT_EQ(state.directDestination, Fake<IKelvraImage>(1));
    EXPECT_EQ(state.rawSaveOption, 11u);
    EXPECT_EQ(state.formatOption, 12u);
    EXPECT_EQ(GetSoftwareTag(), "Tag 1.0");
    EXPECT_EQ(GetSaveProgressState().sink, &m_sink);
}

TEST_F(SaveContextTest, WithAWatcherDestructionPutsTheStateBack)
{
    CTlFileSavingUtilities watcher;
    ExchangeCurrentFileWatcher(nullptr);
    {
        CSaveContext context(&watcher);
        // What the save that ran meanwhile left behind.
        SaveState().saver = Fake<IKelvraSave>(20);
        SaveState().rawSaveOption = 21;
        ExchangeSoftwareTag("Other");
        ExchangeSaveProgressState(TlSaveProgressState());
    }
    const STlSaveState& state = SaveState();

    EXPECT_EQ(GetCurrentFileWatcher(), &watcher);
    // The parked save goes on where it stood, with the file it was writing.
    EXPECT_EQ(state.step, 3);
    EXPECT_EQ(state.profilePath, "C:\\out.icc");
    EXPECT_EQ(state.tempPath, "C:\\Tln1.tmp");
    EXPECT_TRUE(state.prepared);
    EXPECT_EQ(state.saver, Fake<IKelvraSave>(2));
    EXPECT_EQ(state.stream, Fake<IKelvraFileStream>(3));
    EXPECT_EQ(state.tags, Fake<IKelvraTagControl>(4));
    EXPECT_EQ(state.sources.size(), 2u);
    EXPECT_EQ(state.colourFilter, Fake<IKelvraFilter>(9));
    EXPECT_EQ(state.sharpeningChain.size(), 1u);
    EXPECT_EQ(state.rawSaveOption, 11u);
    EXPECT_EQ(GetSoftwareTag(), "Tag 1.0");
    EXPECT_EQ(GetSaveProgressState().sink, &m_sink);
    EXPECT_EQ(GetSaveProgressState().base, 40);
    for (int slot = 0; slot < kTlSaveEngineSlots; ++slot) {
        EXPECT_EQ(state.engines[slot].Get(), m_engines[slot].get());
        EXPECT_EQ(References(slot), 1) << "the context let go of its own";
    }
}

TEST_F(SaveContextTest, WithoutAWatcherNothingIsRestoredAndTheEnginesAreReleased)
{
    { CSaveContext context(nullptr); }
    const STlSaveState& state = SaveState();

    EXPECT_EQ(state.saver, nullptr);
    EXPECT_FALSE(state.prepared);
    for (int slot = 0; slot < kTlSaveEngineSlots; ++slot)
        EXPECT_EQ(References(slot), 0);
}

TEST_F(SaveContextTest, TheCurrentWatcherIsTakenWhenNoneIsGiven)
{
    CTlFileSavingUtilities watcher; // becomes the current watcher
    {
        CSaveContext context;
        ExchangeCurrentFileWatcher(nullptr);
    }
    EXPECT_EQ(GetCurrentFileWatcher(), &watcher);
    EXPECT_EQ(SaveState().saver, Fake<IKelvraSave>(2));
}

} // namespace
