// Save requests as a host makes them: the record's defaults and copies, the
// saver queuing tasks on the library's real job queue with a save hook that
// reports progress and can be held, the results each ending writes into the
// record (cancellation and failures included), and the registered objects
// each save gives back.
#include "JobsTestSupport.h"
#include "LoadTestSupport.h"

#include "frame/TlSaveProgress.h"
#include "jobs/TlGlobalJobQueue.h"
#include "jobs/TlJobQueue.h"
#include "kelvra/KelvraTagControl.h"
#include "load/TlImageSaveHook.h"
#include "load/TlLiveObjects.h"
#include "load/TlLoadResult.h"
#include "params/TlvParamSet.h"
#include "params/TlvParamSetMaker.h"
#include "pellio/PellioFormats.h"
#include "save/TlSaveState.h"
#include "saverequest/TlSaveJobQueue.h"
#include "saverequest/TlSaveTask.h"
#include "saverequest/TlvSaveImage.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#include <new>
#include <string>

using namespace loadtest;
using TlvQrfLib::TlvSaveData;

namespace {

// What the save hook saw, and how it behaves: it reports `reports` steps of
// progress, holding at the first one until the gate opens when `hold` is
// set, and answers 6 once the queue says stop, else `answer`.
struct HookScript {
    std::atomic<int> calls{0};
    std::string targetPath;
    std::uint32_t fileFormat = 0;
    std::uint32_t formatOption = 0;
    std::uint32_t channelLayout = 0;
    bool directImage = false;
    // The exposure of the target's adjustment record (0 without one).
    double exposure = 0.0;
    IKelvraImage* destination = nullptr;
    // The output profile the save says it embedded.
    std::string embeddedProfile;
    int answer = 0;
    bool hold = false;
    std::atomic<bool> reached{false};
    jobs_test::Latch* gate = nullptr;
};

HookScript* g_script = nullptr;

int ScriptedSave(const STlImageSave& save)
{
    HookScript& script = *g_script;
    ++script.calls;
    script.targetPath = save.targetPath;
    script.fileFormat = save.fileFormat;
    script.formatOption = save.formatOption;
    script.channelLayout = save.channelLayout;
    script.directImage = save.directImage;
    const CTlAdjustState* adjust = save.target != nullptr ? save.target->Adjust() : nullptr;
    script.exposure = adjust != nullptr ? adjust->value : 0.0;
    script.destination = SaveState().directDestination;
    if (!script.embeddedProfile.empty())
        SaveState().profilePath = script.embeddedProfile;
    ITlSaveProgressSink* sink = GetSaveProgressState().sink;
    for (long step = 1; sink != nullptr && step <= 4; ++step) {
        if (sink->Progress(step, 4))
            return 6;
        if (step == 1 && script.hold) {
            script.reached = true;
            script.gate->Wait();
        }
    }
    return script.answer;
}

void WaitUntilFinished(ITlvSaveImage& saver)
{
    // The host's poll.
    while (!saver.IsFinished())
        Sleep(1);
}

// Until the save holds at its first report; false when the job ended
// without reaching the save.
bool WaitUntilHeld(ITlvSaveImage& saver, const HookScript& script)
{
    while (!script.reached && !saver.IsFinished())
        Sleep(1);
    return script.reached;
}

class SaveRequestTest : public LoadTest {
protected:
    void SetUp() override
    {
        LoadTest::SetUp();
        // The save target is the parameter set the holder makes.
        InstallParamSetMaker();
        SetJobQueueFactory(&NewSaveJobQueue);
        g_script = &m_script;
        m_previousHook = SetImageSaveHook(&ScriptedSave);
        ASSERT_EQ(CreateSaveImage(&m_saver), 0u);
    }

    void TearDown() override
    {
        if (m_saver != nullptr) {
            WaitUntilFinished(*m_saver);
            m_saver->Destroy();
        }
        SetImageSaveHook(m_previousHook);
        g_script = nullptr;
        SaveState().profilePath.clear();
        LoadTest::TearDown();
    }

    // A raw file that stores its settings, so that a save without a holder
    // has settings to apply.
    std::string StoredRaw(const std::string& name)
    {
        QrfRawOptions raw = RawOptions(258, QrfPattern::GBRG);
        raw.extraTags.push_back({0x80E01, kKelvraTagTypeBytes, StoredSettingsBlock(0.5)});
        return WriteRaw(name, raw);
    }

    void Request(TlvSaveData& data, const std::string& source, const std::string& output,
                 std::uint32_t format = kPellioFormatJpeg)
    {
        std::strncpy(data.szSourcePath, source.c_str(), sizeof data.szSourcePath - 1);
        std::strncpy(data.szOutputPath, output.c_str(), sizeof data.szOutputPath - 1);
        data.dwFileFormat = format;
    }

    HookScript m_script;
    ITlvSaveImage* m_saver = nullptr;
    TlImageSaveHook m_previousHook = nullptr;
};

TEST(SaveRecordTest, DefaultsAndCopiesKeepTheHostsFieldsApart)
{
    TlvSaveData data;
    EXPECT_EQ(data.dwWord0, 0u);
    EXPECT_EQ(data.szSourcePath[0], '\0');
    EXPECT_EQ(data.szOutputPath[0], '\0');
    EXPECT_EQ(data.dwPixelFormat, 0x08060201u);
    EXPECT_EQ(data.dwFileFormat, 1024u) << "set, not left to chance";
    EXPECT_EQ(data.dwWord4, 1024u);
    EXPECT_EQ(data.dwFormatOption, 3u);
    EXPECT_EQ(data.pSettings, nullptr);
    EXPECT_EQ(data.pDestination, nullptr);
    EXPECT_FALSE(data.bDirectImage);
    EXPECT_TRUE(data.strText.empty());
    EXPECT_EQ(data.dwResult, 0u);

    data.dwWord0 = 7;
    std::strcpy(data.szOutputPath, "C:\\out.jpg");
    data.dwFileFormat = 2048;
    data.pDestination = reinterpret_cast<IKelvraImage*>(&data);
    std::strcpy(data.szProfileCopy, "C:\\copy.icc");
    data.strText.Assign("a text longer than the sixteen bytes kept in place");
    data.dwResult = 4104;

    const TlvSaveData copy(data);
    EXPECT_EQ(copy.dwWord0, 7u);
    EXPECT_STREQ(copy.szOutputPath, "C:\\out.jpg");
    EXPECT_STREQ(copy.strText.c_str(), data.strText.c_str());
    EXPECT_EQ(copy.dwResult, 4104u);
    EXPECT_EQ(copy.dwFileFormat, 1024u) << "the copy's file format starts at the default";
    EXPECT_EQ(copy.pDestination, nullptr) << "the copy's destination starts empty";
    EXPECT_EQ(copy.szProfileCopy[0], '\0');

    TlvSaveData target;
    target.dwFileFormat = 32;
    std::strcpy(target.szProfileCopy, "C:\\kept.icc");
    target = data;
    EXPECT_EQ(target.dwWord0, 7u);
    EXPECT_STREQ(target.strText.c_str(), data.strText.c_str());
    EXPECT_EQ(target.dwFileFormat, 32u);
    EXPECT_EQ(target.pDestination, nullptr);
    EXPECT_STREQ(target.szProfileCopy, "C:\\kept.icc");
    target = target;
    EXPECT_STREQ(target.strText.c_str(), data.strText.c_str());
}

TEST(SaveRecordTest, TextCopiesShortAndLongTextsAndItself)
{
    const char* const texts[] = {"", "short", "exactly fifteen", "sixteen chars!!!", "a much longer text than that"};
    for (const char* text : texts) {
        CTlSaveText made(text);
        CTlSaveText copy(made);
        CTlSaveText assigned("x");
        assigned = made;
        EXPECT_STREQ(made.c_str(), text);
        EXPECT_STREQ(copy.c_str(), text);
        EXPECT_STREQ(assigned.c_str(), text);
        EXPECT_EQ(assigned.size(), std::strlen(text));
        assigned.Assign(assigned.c_str() + (assigned.size() / 2));
        EXPECT_STREQ(assigned.c_str(), text + std::strlen(text) / 2) << "a tail of itself";
    }
}

TEST(SaveRecordTest, PixelFormatGivesTheChannelLayout)
{
    const struct {
        std::uint32_t pixelFormat;
        std::uint32_t layout;
    } cases[] = {{0x08060201, 0}, {0x10060201, 1}, {0x00000001, 3}, {0x10000001, 4}, {0x00010001, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(ChannelLayoutOf(c.pixelFormat), c.layout) << std::hex << c.pixelFormat;
}

TEST_F(SaveRequestTest, HostPollsProgressAndReadsTheResult)
{
    jobs_test::Latch gate;
    m_script.hold = true;
    m_script.gate = &gate;
    TlvSaveData data;
    data.dwResult = 77;
    data.dwPixelFormat = 0x10060201;
    Request(data, StoredRaw("polled.qrf"), m_folder.File("polled.jpg"));
    long done = -1;
    long total = -1;
    m_saver->GetProgress(done, total);
    EXPECT_EQ(done, -1) << "nothing runs yet";

    ASSERT_EQ(m_saver->SaveImage(data), 2u);
    ASSERT_TRUE(WaitUntilHeld(*m_saver, m_script));
    m_saver->GetProgress(done, total);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(total, 4);
    EXPECT_FALSE(m_saver->IsFinished());
    gate.Open();
    WaitUntilFinished(*m_saver);

    EXPECT_EQ(data.dwResult, 0u);
    EXPECT_EQ(m_script.calls.load(), 1);
    EXPECT_EQ(m_script.targetPath, m_folder.File("polled.jpg"));
    EXPECT_EQ(m_script.fileFormat, std::uint32_t(kPellioFormatJpeg));
    EXPECT_EQ(m_script.channelLayout, 1u);
    EXPECT_EQ(m_script.formatOption, 3u);
}

TEST_F(SaveRequestTest, EveryEndingReportsItsResult)
{
    const struct {
        const char* name;
        int answer;
        bool missingSource;
        unsigned long result;
    } cases[] = {
        {"saved", 0, false, 0},
        {"save failed", 1, false, 0x1008},
        {"save refused", 2, false, 0x1008},
        {"save cancelled", 6, false, 0x1002},
        {"source missing", 0, true, 0x1008},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_script.answer = c.answer;
        TlvSaveData data;
        data.dwResult = 77;
        const std::string source = c.missingSource ? m_folder.File("none.qrf") : StoredRaw("ending.qrf");
        Request(data, source, m_folder.File("ending.jpg"));
        ASSERT_EQ(m_saver->SaveImage(data), 2u);
        WaitUntilFinished(*m_saver);
        EXPECT_EQ(data.dwResult, c.result);
        EXPECT_EQ(RegisteredImageCount(), 0);
        EXPECT_EQ(RegisteredObjectCount(), 0);
    }
}

TEST_F(SaveRequestTest, AbortReportsCancellation)
{
    jobs_test::Latch gate;
    m_script.hold = true;
    m_script.gate = &gate;
    TlvSaveData data;
    Request(data, StoredRaw("aborted.qrf"), m_folder.File("aborted.jpg"));
    ASSERT_EQ(m_saver->SaveImage(data), 2u);
    ASSERT_TRUE(WaitUntilHeld(*m_saver, m_script));
    m_saver->Abort();
    gate.Open();
    WaitUntilFinished(*m_saver);
    EXPECT_EQ(data.dwResult, 0x1002u) << "an aborted save must not read as saved";
}

TEST_F(SaveRequestTest, QueuedTasksReleasedWithoutAWorkerReportCancellation)
{
    CJobQueue* queue = GetJobQueue();
    ASSERT_NE(queue, nullptr);
    const std::string source = StoredRaw("queued.qrf");
    TlvSaveData cancelled;
    TlvSaveData removed;
    CSaveTask* tasks[] = {new CSaveTask(cancelled, Manager()), new CSaveTask(removed, Manager())};
    for (CSaveTask* task : tasks) {
        TlImageJobOptions options;
        std::strcpy(options.sourcePath, source.c_str());
        ASSERT_EQ(task->SetUpFromFile(options), 0);
        ASSERT_EQ(queue->AddJob(task), CJobQueue::kAdded);
    }
    const std::string settingsFile = tasks[0]->GetTempFilePath();
    ASSERT_TRUE(queue->RemoveJob(tasks[1]));
    EXPECT_EQ(removed.dwResult, 0x1002u);
    EXPECT_EQ(queue->Cancel(), 0);
    EXPECT_EQ(cancelled.dwResult, 0x1002u);
    EXPECT_EQ(m_script.calls.load(), 0);
    EXPECT_FALSE(TempFolder::Exists(settingsFile)) << "the task's settings file goes with it";
}

TEST_F(SaveRequestTest, HeldImageIsGivenBackAfterTheSave)
{
    auto holder = std::make_unique<CTlvImageAttributes>();
    ASSERT_EQ(LoadThroughHost(*holder, WriteImageFile("held.jpg", kPellioFormatJpeg)).finish, 0u);
    IKelvraImage* image = holder->images.image;
    ASSERT_EQ(ImageUseCount(image), 1);
    for (int round = 0; round < 2; ++round) {
        TlvSaveData data;
        data.pSettings = holder.get();
        Request(data, "", m_folder.File("held-out.jpg"));
        ASSERT_EQ(m_saver->SaveImage(data), 2u);
        WaitUntilFinished(*m_saver);
        EXPECT_EQ(data.dwResult, 0u);
        EXPECT_EQ(ImageUseCount(image), 1) << "the task's use of the holder's image went with it";
    }
    holder.reset();
}

TEST_F(SaveRequestTest, SettingsIntoARawFileTakeTheHoldersOption)
{
    const struct {
        std::uint8_t rawFlag;
        std::uint16_t model;
        std::uint32_t format;
        std::uint32_t option;
    } cases[] = {
        {1, 514, 0x10000000, 0}, {1, 516, 0x10000000, 0}, {0, 514, 0x10000000, 9},
        {1, 257, 0x10000000, 9}, {1, 514, kPellioFormatJpeg, 5},
    };
    auto holder = std::make_unique<CTlvImageAttributes>();
    ASSERT_EQ(LoadThroughHost(*holder, WriteImageFile("options.jpg", kPellioFormatJpeg)).finish, 0u);
    holder->saveOptions = 9;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        holder->rawFlag = c.rawFlag;
        holder->modelCode = c.model;
        TlvSaveData data;
        data.pSettings = holder.get();
        data.dwFormatOption = 5;
        Request(data, "", m_folder.File("options-out.qrf"), c.format);
        ASSERT_EQ(m_saver->SaveImage(data), 2u);
        WaitUntilFinished(*m_saver);
        EXPECT_EQ(m_script.fileFormat, c.format);
        EXPECT_EQ(m_script.formatOption, c.option);
    }
    holder.reset();
}

TEST_F(SaveRequestTest, DirectImageWritesFormat1024ToATemporaryFile)
{
    TlvSaveData data;
    data.bDirectImage = true;
    Request(data, StoredRaw("direct.qrf"), m_folder.File("ignored.jpg"), kPellioFormatJpeg);
    ASSERT_EQ(m_saver->SaveImage(data), 2u);
    WaitUntilFinished(*m_saver);
    EXPECT_EQ(m_script.fileFormat, 1024u);
    EXPECT_TRUE(m_script.directImage);
    EXPECT_NE(m_script.targetPath, m_folder.File("ignored.jpg"));
    EXPECT_NE(m_script.targetPath.find("Tln"), std::string::npos);
    DeleteFileA(m_script.targetPath.c_str());
    EXPECT_EQ(data.dwResult, 0x1008u) << "no destination received the image";
    EXPECT_FALSE(IsDirectImageBusy());
}

TEST_F(SaveRequestTest, DirectImageHandsTheHostACopyOfTheOutputProfileThatDestroyDeletes)
{
    const std::string profile = m_folder.Write("output.icc", "profile bytes");
    m_script.embeddedProfile = profile;
    TlvSaveData data;
    data.bDirectImage = true;
    // The fake save never touches the destination; only its passing is seen.
    data.pDestination = reinterpret_cast<IKelvraImage*>(&data);
    Request(data, StoredRaw("direct-profile.qrf"), "");
    ASSERT_EQ(m_saver->SaveImage(data), 2u);
    WaitUntilFinished(*m_saver);
    DeleteFileA(m_script.targetPath.c_str());
    EXPECT_EQ(data.dwResult, 0u);
    EXPECT_EQ(m_script.destination, data.pDestination);
    EXPECT_EQ(SaveState().directDestination, nullptr) << "cleared when the job ended";
    EXPECT_FALSE(IsDirectImageBusy());
    const std::string copy = data.szProfileCopy;
    ASSERT_NE(copy.find("Tln"), std::string::npos);
    EXPECT_EQ(ReadAll(copy), ReadAll(profile));

    const TlvSaveData copied(data);
    EXPECT_EQ(copied.szProfileCopy[0], '\0') << "a copy names no profile copy to delete";
    m_saver->Destroy();
    m_saver = nullptr;
    EXPECT_FALSE(TempFolder::Exists(copy));
    EXPECT_TRUE(TempFolder::Exists(profile));
}

// Every settings holder is image attributes: one that holds no image has
// the source loaded for its save, which applies the holder's settings.
TEST_F(SaveRequestTest, AHolderWithoutAnImageHasItsSettingsSavedOverTheLoadedSource)
{
    CTlvControlSettings holder;
    holder.adjust.value = 0.75;
    TlvSaveData data;
    data.dwResult = 77;
    data.pSettings = &holder;
    Request(data, StoredRaw("unloaded.qrf"), m_folder.File("unloaded.jpg"));
    ASSERT_EQ(m_saver->SaveImage(data), 2u);
    WaitUntilFinished(*m_saver);
    EXPECT_EQ(data.dwResult, 0u);
    EXPECT_EQ(m_script.calls.load(), 1);
    EXPECT_EQ(m_script.exposure, 0.75) << "the holder's exposure, not the 0.5 the file stores";
}

// A host may destroy the library's queue as soon as no job runs or waits;
// the worker then still ends its run and calls the queue's hooks, so the
// queue waits for it.
TEST(SaveJobQueueLife, DestroyedAsSoonAsItIsIdleTheQueueWaitsForItsWorker)
{
    using Queue = jobs_test::HeldAtRunEnd<CSaveJobQueue>;
    jobs_test::DestroyEachQueueAsItsRunEnds(200, sizeof(Queue), [](void* memory, jobs_test::RunEndHandshake& end) {
        return new (memory) Queue(end);
    });
}

} // namespace
