// The host pauses a running save and resumes it, at every progress report
// the save makes, in exports and in settings saves, many saves in a row. A
// paused save parks its state and must go on from where it stood once it is
// resumed: each save ends with its whole file, never with an unfinished one
// in the target's place, and the target stays as it was while the save is
// held.
#include "JobsTestSupport.h"
#include "SaveRoadTestSupport.h"

#include "export/TlExportSteps.h"
#include "frame/TlSaveProgress.h"
#include "jobs/TlGlobalJobQueue.h"
#include "jobs/TlJobQueue.h"
#include "load/TlLiveObjects.h"
#include "pellio/PellioFormats.h"
#include "save/TlSaveState.h"

#include <windows.h>

#include <memory>
#include <set>
#include <string>
#include <thread>

using namespace saveroad;
using TlvQrfLib::TlvSaveData;

namespace {

constexpr int kSavesPerCase = 40;
// The settings save's steps that report progress: the De-Bayer run and the
// writing (a raw file whose stored renditions fit its settings keeps them).
constexpr int kSettingsDeBayer = 1;
constexpr int kSettingsWriting = 5;

// Sits between the save and the job queue as the save's progress sink. At
// each report it tells the host and goes on to the queue only once the
// host's pause is set, so that the worker parks at exactly that report.
// Inside a filter phase the queue holds no pause, so those reports pass.
class PauseAtEveryReport : public ITlSaveProgressSink {
public:
    explicit PauseAtEveryReport(CJobQueue& queue) : m_queue(queue) {}

    // Worker: a save begins with `inner` as its sink.
    void Begin(ITlSaveProgressSink* inner) { m_inner = inner; }

    void Reset(long position, long total) override { m_inner->Reset(position, total); }
    void Notify() override { m_inner->Notify(); }
    void SetEnabled(bool enabled) override
    {
        m_enabled = enabled;
        m_inner->SetEnabled(enabled);
    }
    bool Progress(long position, long range) override
    {
        if (m_enabled) {
            const int step = SaveState().step;
            m_state.Update([&] {
                ++m_reached;
                m_steps.insert(step);
            });
            // The handshake: the host's pause has set the flag, or the host
            // has let go of the save.
            while (!m_queue.IsPaused() && !m_state.Read([&] { return m_letGo; }))
                std::this_thread::yield();
        }
        return m_inner->Progress(position, range);
    }

    // Host: until the save reached a report after the first `handled` ones
    // (true) or `saver` has finished (false). A save held at a report does
    // not finish.
    bool WaitForReport(int handled, ITlvSaveImage& saver)
    {
        for (;;) {
            if (m_state.Read([&] { return m_reached > handled; }))
                return true;
            if (saver.IsFinished())
                return false;
            std::this_thread::yield();
        }
    }
    // Host: the save need not wait for a pause any more.
    void LetGo()
    {
        m_state.Update([&] { m_letGo = true; });
    }
    // Host: a new save begins.
    void Restart()
    {
        m_state.Update([&] { m_reached = 0; });
    }
    std::set<int> Steps()
    {
        return m_state.Read([&] { return m_steps; });
    }

private:
    CJobQueue& m_queue;
    ITlSaveProgressSink* m_inner = nullptr;
    bool m_enabled = true;
    jobs_test::Observed m_state;
    int m_reached = 0;
    bool m_letGo = false;
    std::set<int> m_steps;
};

PauseAtEveryReport* g_pauser = nullptr;

// The image job's save, with the pauser as the save's progress sink.
int SaveWithPauses(const STlImageSave& save)
{
    TlSaveProgressState state = GetSaveProgressState();
    g_pauser->Begin(state.sink);
    state.sink = g_pauser;
    const TlSaveProgressState previous = ExchangeSaveProgressState(state);
    const int result = SaveThroughLibrary(save);
    TlSaveProgressState after = GetSaveProgressState();
    after.sink = previous.sink;
    ExchangeSaveProgressState(after);
    return result;
}

class SaveRoadPauseTest : public SaveRoadTest {
protected:
    void SetUp() override
    {
        SaveRoadTest::SetUp();
        m_queue = GetJobQueue();
        ASSERT_NE(m_queue, nullptr);
        NewPauser();
        m_previousHook = SetImageSaveHook(&SaveWithPauses);
    }
    void TearDown() override
    {
        if (m_pauser)
            m_pauser->LetGo();
        SaveRoadTest::TearDown();
        SetImageSaveHook(m_previousHook);
        g_pauser = nullptr;
    }

    // A pauser that has seen no save yet; no save may run.
    void NewPauser()
    {
        m_pauser = std::make_unique<PauseAtEveryReport>(*m_queue);
        g_pauser = m_pauser.get();
    }

    // Pauses the running save at each of its reports and resumes it; while
    // it is held, the target has `held` as its content and the save's state
    // is parked. Answers the pauses made.
    int PauseAtEachReport(const std::string& target, const std::string& held)
    {
        int handled = 0;
        while (m_pauser->WaitForReport(handled, Saver())) {
            ++handled;
            EXPECT_EQ(m_queue->Pause(), 0);
            EXPECT_FALSE(Saver().IsFinished());
            EXPECT_EQ(SaveState().step, kTlSaveStepFinished) << "parked while held";
            EXPECT_FALSE(SaveState().prepared);
            EXPECT_TRUE(TempFolder::Read(target) == held) << "the target is untouched while held";
            EXPECT_EQ(m_queue->Start(), CJobQueue::kStarted);
        }
        return handled;
    }

    CJobQueue* m_queue = nullptr;
    std::unique_ptr<PauseAtEveryReport> m_pauser;
    TlImageSaveHook m_previousHook = nullptr;
};

TEST_F(SaveRoadPauseTest, ASaveResumedAtAnyOfItsReportsEndsWithItsWholeFile)
{
    const struct {
        const char* name;
        bool settingsIntoRaw; // into the raw file itself, else an export
        std::set<int> steps;  // where the save reports, so where it is paused
    } cases[] = {
        {"export", false, {kTlExportRunChain, kTlExportRunRendition, kTlExportWrite}},
        {"settings save", true, {kSettingsDeBayer, kSettingsWriting}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        NewPauser();
        int pauses = 0;
        for (int round = 0; round < kSavesPerCase; ++round) {
            SCOPED_TRACE(round);
            const std::string raw = SmallRaw("paused.qrf");
            const std::string output = c.settingsIntoRaw ? raw : m_folder.Write("paused.jpg", "old picture");
            const std::string before = TempFolder::Read(output);
            m_pauser->Restart();
            TlvSaveData record;
            record.dwResult = 77;
            const std::uint32_t format = c.settingsIntoRaw ? kTlvSaveSettingsIntoRaw : kPellioFormatJpeg;
            ASSERT_EQ(Save(record, raw, output, format), 2u);
            const int made = PauseAtEachReport(output, before);
            WaitUntilFinished();
            pauses += made;

            EXPECT_GT(made, 0);
            EXPECT_EQ(record.dwResult, 0u) << "a resumed save ends as saved";
            if (c.settingsIntoRaw)
                EXPECT_TRUE(IsPicture(output, kPellioKindQrf, 192, 128)) << "the raw file, with its whole mosaic";
            else
                EXPECT_TRUE(IsPicture(output, kPellioKindJpeg, 192 - kBorder, 128 - kBorder));
            EXPECT_TRUE(TempFolder::Matching(m_folder.File("Tln*")).empty()) << "no temporary file is left";
            EXPECT_EQ(RegisteredImageCount(), 0);
            EXPECT_EQ(RegisteredObjectCount(), 0);
            if (HasFailure())
                break;
        }
        EXPECT_EQ(m_pauser->Steps(), c.steps) << "every step that reports was paused";
        EXPECT_GE(pauses, kSavesPerCase * int(c.steps.size()));
        RecordProperty(std::string("pauses in the ") + c.name, pauses);
    }
}

} // namespace
