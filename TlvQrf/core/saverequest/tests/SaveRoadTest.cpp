// The host's save road with the library's real saves: SaveImage queues the
// task and answers 2, the worker loads the raw file and exports it or writes
// the settings into it through a temporary file beside the target, and the
// host polls, pauses, resumes and aborts from its own thread. Whatever the
// ending, the record reports it (cancellation is never 0), the target is
// replaced or left alone as a whole, and every registered object is given
// back.
#include "JobsTestSupport.h"
#include "SaveRoadTestSupport.h"

#include "jobs/TlGlobalJobQueue.h"
#include "jobs/TlJobQueue.h"
#include "load/TlLiveObjects.h"
#include "pellio/PellioFormats.h"
#include "saverequest/TlSaveTask.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

using namespace saveroad;
using TlvQrfLib::TlvSaveData;

namespace {

constexpr unsigned long kCancelled = 0x1002;
constexpr unsigned long kFailed = 0x1008;

// The temporary files a save left in `folder`.
std::vector<std::string> TemporaryFiles(const std::string& folder)
{
    return TempFolder::Matching(folder + "Tln*");
}

std::string SystemTemporaryFolder()
{
    char folder[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    return length != 0 && length < MAX_PATH ? folder : "";
}

// Where the host's abort meets a save: before it writes anything, or once
// its new file has replaced the target.
enum class AbortPoint { kBeforeTheSave, kAfterTheReplace };

// The save hook's side of the handshake: the first save stops at the point
// until the host has aborted it.
struct AbortHandshake {
    AbortPoint point = AbortPoint::kAfterTheReplace;
    std::atomic<bool> armed{true};
    jobs_test::Latch reached;
    jobs_test::Latch aborted;

    void StopIfArmed(AbortPoint at)
    {
        if (at != point || !armed.exchange(false))
            return;
        reached.Open();
        aborted.Wait();
    }
};

AbortHandshake* g_abort = nullptr;

int SaveWithAbortHandshake(const STlImageSave& save)
{
    g_abort->StopIfArmed(AbortPoint::kBeforeTheSave);
    const int result = SaveThroughLibrary(save);
    g_abort->StopIfArmed(AbortPoint::kAfterTheReplace);
    return result;
}

// How many times the host looks at a held save, a short while apart.
constexpr int kLooksWhileHeld = 5;

void ExpectHeld(ITlvSaveImage& saver, const Progress& held)
{
    for (int look = 0; look < kLooksWhileHeld; ++look) {
        Sleep(20);
        Progress now;
        saver.GetProgress(now.done, now.total);
        EXPECT_EQ(now, held) << "no progress while paused";
        EXPECT_FALSE(saver.IsFinished());
    }
}

TEST_F(SaveRoadTest, HostPausesTheSaveOfALargeFileSeesItHeldAndResumesIt)
{
    CJobQueue* queue = GetJobQueue();
    ASSERT_NE(queue, nullptr);
    const struct {
        const char* name;
        bool settingsIntoRaw; // into the raw file itself, else an export
    } cases[] = {{"export", false}, {"settings save", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = c.settingsIntoRaw ? CopyOf(LargeRaw(), "paused.qrf") : LargeRaw();
        const std::string output = c.settingsIntoRaw ? source : m_folder.File("paused.jpg");
        TlvSaveData record;
        record.dwResult = 77;
        ASSERT_EQ(Save(record, source, output, c.settingsIntoRaw ? kTlvSaveSettingsIntoRaw : kPellioFormatJpeg), 2u);
        ASSERT_TRUE(WaitForProgress());

        ASSERT_EQ(queue->Pause(), 0);
        const Progress held = ReadProgress();
        EXPECT_GT(held.total, 0);
        ExpectHeld(Saver(), held);

        // The host resumes a paused queue by starting it again; the next
        // pause holds the save at a later report.
        ASSERT_EQ(queue->Start(), CJobQueue::kStarted);
        ASSERT_EQ(queue->Pause(), 0);
        const Progress later = ReadProgress();
        EXPECT_NE(later, held) << "the save went on after the resume";
        ExpectHeld(Saver(), later);

        ASSERT_EQ(queue->Start(), CJobQueue::kStarted);
        WaitUntilFinished();
        EXPECT_FALSE(queue->IsPaused());
        EXPECT_EQ(record.dwResult, 0u) << "a resumed save ends as saved";
        if (c.settingsIntoRaw)
            EXPECT_TRUE(IsPicture(output, kPellioKindQrf, 3000, 2000)) << "the raw file, with its whole mosaic";
        else
            EXPECT_TRUE(IsPicture(output, kPellioKindJpeg, 3000 - kBorder, 2000 - kBorder));
        EXPECT_TRUE(TemporaryFiles(m_folder.Path()).empty()) << "no temporary file is left";
        EXPECT_EQ(RegisteredImageCount(), 0);
        EXPECT_EQ(RegisteredObjectCount(), 0);
    }
}

TEST_F(SaveRoadTest, SaveImageQueuesAndTheHostFindsTheSavedPicture)
{
    const struct {
        const char* output;
        std::uint32_t model;
        QrfPattern pattern;
        std::uint32_t fileFormat;
        std::uint32_t pixelFormat;
        std::uint32_t kind;
        long width;
        long height;
    } cases[] = {
        {"saved.jpg", 258, QrfPattern::GBRG, kPellioFormatJpeg, 0x08060201, kPellioKindJpeg, 192 - kBorder, 128 - kBorder},
        {"saved.tif", 258, QrfPattern::GBRG, kPellioFormatTiff, 0x10060201, kPellioKindTiff, 192 - kBorder, 128 - kBorder},
        {"grey.tif", 258, QrfPattern::GBRG, kPellioFormatTiff, 0x00000001, kPellioKindTiff, 192 - kBorder, 128 - kBorder},
        // Developed by the signal-processing library into an image of its own,
        // which the save must give back too. Its sensors' margins: 8 columns a
        // side, 2 (YCGM) or 3 (BGGR) rows above and below.
        {"signal-513.jpg", 513, QrfPattern::YCGM, kPellioFormatJpeg, 0x08060201, kPellioKindJpeg, 192 - 16, 128 - 4},
        {"signal-516.jpg", 516, QrfPattern::BGGR, kPellioFormatJpeg, 0x08060201, kPellioKindJpeg, 192 - 16, 128 - 6},
        // The settings written into the raw file itself, which keeps its mosaic.
        {"settings.qrf", 258, QrfPattern::GBRG, kTlvSaveSettingsIntoRaw, 0x08060201, kPellioKindQrf, 192, 128},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output);
        const bool inPlace = c.fileFormat == kTlvSaveSettingsIntoRaw;
        const std::string raw = SmallRaw(std::string(c.output) + (inPlace ? "" : ".qrf"), c.model, c.pattern);
        const std::string output = inPlace ? raw : m_folder.File(c.output);
        if (!inPlace)
            TempFolder::Overwrite(output, "the old file");
        TlvSaveData record;
        record.dwResult = 77;
        record.dwPixelFormat = c.pixelFormat;
        ASSERT_EQ(Save(record, raw, output, c.fileFormat), 2u) << "queued, not yet saved";
        // The host's poll: every value the running save reports.
        std::vector<Progress> seen;
        while (!Saver().IsFinished()) {
            const Progress now = ReadProgress();
            if (seen.empty() || now != seen.back())
                seen.push_back(now);
        }
        EXPECT_EQ(record.dwResult, 0u);
        EXPECT_TRUE(IsPicture(output, c.kind, c.width, c.height));
        EXPECT_TRUE(TemporaryFiles(m_folder.Path()).empty());
        EXPECT_EQ(RegisteredImageCount(), 0);
        EXPECT_EQ(RegisteredObjectCount(), 0);
        // Whatever the host saw stays within what the save reported.
        for (const Progress& p : seen)
            EXPECT_TRUE(p.done >= 0 && p.done <= p.total) << p.done << " of " << p.total;
    }
}

// The host reads both figures of one report while the worker writes the
// next: a pair that mixes two reports would show a save at 64 of 0.
TEST_F(SaveRoadTest, HostReadsBothFiguresOfOneReport)
{
    TlvSaveData record;
    CSaveTask task(record, Manager());
    constexpr long kReports = 200000;
    std::atomic<bool> writing{true};
    std::thread worker([&] {
        for (long report = 1; report <= kReports; ++report)
            task.SetProgress(report, report);
        writing = false;
    });
    long mixed = 0;
    while (writing) {
        Progress read;
        task.GetProgress(read.done, read.total);
        mixed += read.done != read.total;
    }
    worker.join();
    EXPECT_EQ(mixed, 0);
    task.Release(false);
}

TEST_F(SaveRoadTest, AbortFromTheHostReportsCancellationAndLeavesTheFilesAsTheyWere)
{
    CJobQueue* queue = GetJobQueue();
    ASSERT_NE(queue, nullptr);
    const std::string inPlace = CopyOf(LargeRaw(), "in-place.qrf");
    const std::string rawBytes = TempFolder::Read(inPlace);
    const struct {
        const char* name;
        std::string source;
        std::string output;
        std::uint32_t fileFormat;
        bool pausedFirst;
    } cases[] = {
        {"running", LargeRaw(), m_folder.File("running.jpg"), kPellioFormatJpeg, false},
        {"paused", LargeRaw(), m_folder.File("paused.jpg"), kPellioFormatJpeg, true},
        {"signal processing", LargeSignalRaw(), m_folder.File("signal.jpg"), kPellioFormatJpeg, false},
        {"settings save", inPlace, inPlace, kTlvSaveSettingsIntoRaw, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TlvSaveData record;
        ASSERT_EQ(Save(record, c.source, c.output, c.fileFormat), 2u);
        ASSERT_TRUE(WaitForProgress());
        if (c.pausedFirst) {
            ASSERT_EQ(queue->Pause(), 0);
        }
        Saver().Abort();
        WaitUntilFinished();
        EXPECT_EQ(record.dwResult, kCancelled) << "an aborted save must not read as saved";
        if (c.output == inPlace)
            EXPECT_TRUE(TempFolder::Read(inPlace) == rawBytes) << "the raw file is untouched";
        else
            EXPECT_FALSE(TempFolder::Exists(c.output));
        EXPECT_TRUE(TemporaryFiles(m_folder.Path()).empty());
        EXPECT_EQ(RegisteredImageCount(), 0);
        EXPECT_EQ(RegisteredObjectCount(), 0);
        // The queue stays paused after an abort that found it paused; the
        // next save starts it again.
        EXPECT_EQ(queue->IsPaused(), c.pausedFirst);
    }
}

// An abort that comes once the target was replaced is too late to stop the
// save: the record says the file was saved. The abort stays the queue's
// state until the next save begins, and cancels neither that save nor any
// later one. The same handshake before the save shows the abort itself works.
TEST_F(SaveRoadTest, AnAbortAfterTheReplaceReportsTheSaveAndCancelsNoLaterSave)
{
    CJobQueue* queue = GetJobQueue();
    ASSERT_NE(queue, nullptr);
    const struct {
        const char* name;
        AbortPoint point;
        unsigned long result;
    } cases[] = {
        {"before-the-save", AbortPoint::kBeforeTheSave, kCancelled},
        {"after-the-replace", AbortPoint::kAfterTheReplace, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AbortHandshake handshake;
        handshake.point = c.point;
        g_abort = &handshake;
        const TlImageSaveHook previous = SetImageSaveHook(&SaveWithAbortHandshake);
        const std::string output = m_folder.Write(std::string(c.name) + ".jpg", "old picture");
        TlvSaveData record;
        record.dwResult = 77;
        const unsigned long queued = Save(record, SmallRaw(std::string(c.name) + ".qrf"), output, kPellioFormatJpeg);
        if (queued == 2u) {
            handshake.reached.Wait();
            Saver().Abort();
        }
        handshake.aborted.Open();
        WaitUntilFinished();
        ASSERT_EQ(queued, 2u);
        EXPECT_EQ(record.dwResult, c.result);
        if (c.result == 0)
            EXPECT_TRUE(IsPicture(output, kPellioKindJpeg, 192 - kBorder, 128 - kBorder));
        else
            EXPECT_EQ(TempFolder::Read(output), "old picture");
        EXPECT_TRUE(queue->IsAborted()) << "the abort is the queue's state until the next save";

        TlvSaveData later[2];
        const std::string laterOutputs[2] = {m_folder.File("later-1.jpg"), m_folder.File("later-2.jpg")};
        for (int i = 0; i < 2; ++i)
            ASSERT_EQ(Save(later[i], SmallRaw("later.qrf"), laterOutputs[i], kPellioFormatJpeg), 2u);
        WaitUntilFinished();
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(later[i].dwResult, 0u) << "later save " << i;
            EXPECT_TRUE(IsPicture(laterOutputs[i], kPellioKindJpeg, 192 - kBorder, 128 - kBorder));
        }
        EXPECT_FALSE(queue->IsAborted());
        SetImageSaveHook(previous);
        g_abort = nullptr;
        EXPECT_TRUE(TemporaryFiles(m_folder.Path()).empty());
        EXPECT_EQ(RegisteredImageCount(), 0);
        EXPECT_EQ(RegisteredObjectCount(), 0);
    }
}

// A direct-image save hands the developed picture to the host's image. It
// never creates, replaces or truncates a file at the output path the host
// gave, and leaves no empty file in the system's temporary folder: the one
// file it may leave there is the profile copy that the record names (and
// Destroy deletes).
TEST_F(SaveRoadTest, ADirectImageSaveFillsTheHostsImageAndLeavesTheFilesAlone)
{
    const std::string temporary = SystemTemporaryFolder();
    ASSERT_FALSE(temporary.empty());
    for (const bool outputExists : {true, false}) {
        SCOPED_TRACE(outputExists ? "output file exists" : "no output file");
        const std::string output = m_folder.File("direct.jpg");
        DeleteFileA(output.c_str());
        if (outputExists)
            TempFolder::Overwrite(output, "old picture");
        IKelvraImage* destination = nullptr;
        ASSERT_EQ(Manager()->CreateImage(&destination, 0), nullptr);
        const std::vector<std::string> before = TemporaryFiles(temporary);

        TlvSaveData record;
        record.dwResult = 77;
        record.bDirectImage = true;
        record.pDestination = destination;
        ASSERT_EQ(Save(record, SmallRaw("direct.qrf"), output, kPellioFormatJpeg), 2u);
        WaitUntilFinished();

        EXPECT_EQ(record.dwResult, 0u);
        EXPECT_TRUE(HoldsPicture(destination, 192 - kBorder, 128 - kBorder));
        if (outputExists)
            EXPECT_EQ(TempFolder::Read(output), "old picture");
        else
            EXPECT_FALSE(TempFolder::Exists(output));
        EXPECT_TRUE(TemporaryFiles(m_folder.Path()).empty());
        for (const std::string& name : TemporaryFiles(temporary)) {
            if (std::find(before.begin(), before.end(), name) != before.end())
                continue;
            EXPECT_EQ(temporary + name, std::string(record.szProfileCopy)) << "left by the save";
            EXPECT_FALSE(TempFolder::Read(temporary + name).empty());
        }
        if (record.szProfileCopy[0] != '\0')
            DeleteFileA(record.szProfileCopy);
        destination->Release();
        EXPECT_EQ(RegisteredImageCount(), 0);
        EXPECT_EQ(RegisteredObjectCount(), 0);
    }
}

TEST_F(SaveRoadTest, FailedSavesReportFailureAndLeaveTheTargetAsItWas)
{
    const std::string raw = SmallRaw("small.qrf");
    const std::string lockedPicture = m_folder.Write("locked.jpg", "old picture");
    const std::string lockedRaw = SmallRaw("locked.qrf");
    const std::string notRaw = m_folder.Write("notes.qrf", "not a raw file");
    const struct {
        const char* name;
        std::string source;
        std::string output;
        std::uint32_t fileFormat;
    } cases[] = {
        {"source missing", m_folder.File("none.qrf"), m_folder.File("none.jpg"), kPellioFormatJpeg},
        {"source not an image", notRaw, m_folder.File("notes.jpg"), kPellioFormatJpeg},
        {"output folder missing", raw, m_folder.File("missing\\out.jpg"), kPellioFormatJpeg},
        {"target locked", raw, lockedPicture, kPellioFormatJpeg},
        {"raw file locked", lockedRaw, lockedRaw, kTlvSaveSettingsIntoRaw},
    };
    const std::string rawBytes = TempFolder::Read(lockedRaw);
    // Held open without delete sharing, as another program would hold them.
    std::vector<HANDLE> holders;
    for (const std::string& path : {lockedPicture, lockedRaw}) {
        holders.push_back(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(holders.back(), INVALID_HANDLE_VALUE);
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TlvSaveData record;
        record.dwResult = 77;
        ASSERT_EQ(Save(record, c.source, c.output, c.fileFormat), 2u);
        WaitUntilFinished();
        EXPECT_EQ(record.dwResult, kFailed);
        EXPECT_TRUE(TemporaryFiles(m_folder.Path()).empty()) << "no temporary file is left";
        EXPECT_EQ(RegisteredImageCount(), 0);
        EXPECT_EQ(RegisteredObjectCount(), 0);
    }
    for (HANDLE holder : holders)
        CloseHandle(holder);
    EXPECT_EQ(TempFolder::Read(lockedPicture), "old picture");
    EXPECT_TRUE(TempFolder::Read(lockedRaw) == rawBytes) << "the raw file is untouched";
    EXPECT_FALSE(TempFolder::Exists(m_folder.File("none.jpg")));
    EXPECT_FALSE(TempFolder::Exists(m_folder.File("notes.jpg")));
}

} // namespace
