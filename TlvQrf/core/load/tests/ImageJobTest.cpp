// The image job of the save pipeline: loading synthetic raw files and a
// JPEG through Run (directly and on the real queue's worker), the result
// maps, the two set-ups, PrepareSave's codes, and Release giving back every
// registered object and the temporary profile file.
#include "ImageJobTestSupport.h"
#include "JobsTestSupport.h"
#include "LoadTestSupport.h"

#include "kelvra/KelvraTagControl.h"
#include "kelvra/KelvraError.h"
#include "load/TlImageJob.h"
#include "load/TlImageSaveHook.h"
#include "load/TlLiveObjects.h"
#include "load/TlLoadResult.h"
#include "pellio/PellioFormats.h"
#include "settings/edit/TlvEditSettings.h"
#include "settings/tests/DustEngineFakes.h"

#include <cstring>
#include <memory>

using namespace loadtest;
using namespace imagejobtest;

namespace {

// A job whose temporary settings file the test names.
class TestJob : public CImageJob {
public:
    using CImageJob::CImageJob;
    void UseSettingsFile(const std::string& path, bool deleteWithJob)
    {
        std::strncpy(m_tempFileName, path.c_str(), sizeof m_tempFileName - 1);
        m_deleteTempFile = deleteWithJob;
    }
    bool DeletesTempFile() const { return m_deleteTempFile; }
};

// A queue whose running job is told to stop at its first progress report.
class StoppingQueue : public jobs_test::RecordingQueue {
public:
    using RecordingQueue::RecordingQueue;

protected:
    bool OnProgress(long, long) override { return true; }
};

TlImageJobOptions OptionsFor(const std::string& source, const std::string& target)
{
    TlImageJobOptions options;
    std::strncpy(options.sourcePath, source.c_str(), sizeof options.sourcePath - 1);
    std::strncpy(options.targetPath, target.c_str(), sizeof options.targetPath - 1);
    options.channelLayout = 1;
    options.fileFormat = kPellioFormatJpeg;
    options.formatOption = 3;
    return options;
}

class ImageJobTest : public LoadTest {
protected:
    std::string SettingsFile(double exposure = 0.7, const std::string& name = "job.set")
    {
        const Bytes block = StoredSettingsBlock(exposure);
        return m_folder.Write(name, std::string(block.begin(), block.end()));
    }

    // A job on `source` that saves with the settings of SettingsFile.
    std::unique_ptr<TestJob> JobFor(const std::string& source)
    {
        auto job = std::make_unique<TestJob>(owner, Manager());
        job->SetSourcePath(source.c_str());
        job->SetTargetPath(m_folder.File("out.jpg").c_str());
        job->UseSettingsFile(SettingsFile(), false);
        return job;
    }

    void TearDown() override
    {
        EXPECT_EQ(owner.liveAttributes, 0);
        EXPECT_EQ(owner.liveTargets, 0);
        LoadTest::TearDown();
    }

    CountingOwner owner;
};

TEST_F(ImageJobTest, SaveAnswersBecomeJobResults)
{
    const struct {
        int save;
        long job;
    } cases[] = {{0, 0}, {2, 3}, {3, 4}, {6, 8}, {1, 2}, {4, 2}, {5, 2}, {15, 2}, {-1, 2}};
    for (const auto& c : cases)
        EXPECT_EQ(MapImageSaveResult(c.save), c.job) << c.save;
}

TEST_F(ImageJobTest, RunLoadsASyntheticRawFileAndSavesItWithTheJobsOptions)
{
    const struct {
        std::uint32_t model;
        QrfPattern pattern;
        std::uint32_t format;
    } cases[] = {{257, QrfPattern::RGGB, 32}, {258, QrfPattern::GBRG, 2048}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        QrfRawOptions raw = RawOptions(c.model, c.pattern);
        raw.format = c.format;
        RecordingSave save;
        auto job = JobFor(WriteRaw("run-" + std::to_string(c.model) + ".qrf", raw));
        job->SetChannelLayout(4);
        job->SetFormatOption(7);
        EXPECT_EQ(job->Run(), kTlJobDone);
        EXPECT_TRUE(job->WasSaved());
        ASSERT_NE(job->GetImage(), nullptr);
        EXPECT_EQ(ImageUseCount(job->GetImage()), 1) << "the load's own use went with its attributes";
        EXPECT_NE(job->GetTagControl(), nullptr);
        EXPECT_EQ(save.Seen().calls, 1);
        EXPECT_TRUE(save.Seen().hadTarget);
        EXPECT_EQ(save.Seen().targetPath, job->GetTargetPath());
        EXPECT_EQ(save.Seen().channelLayout, 4u);
        EXPECT_EQ(save.Seen().formatOption, 7u);
        job->Release(false);
        EXPECT_EQ(RegisteredImageCount(), 0);
        EXPECT_EQ(RegisteredObjectCount(), 0);
    }
}

TEST_F(ImageJobTest, SaveFailuresGiveTheirJobResultsAndOnlySuccessMarksTheJobSaved)
{
    const std::string source = WriteImageFile("photo.jpg", kPellioFormatJpeg);
    const struct {
        int answer;
        long result;
        bool saved;
    } cases[] = {{0, 0, true}, {2, 3, false}, {3, 4, false}, {6, 8, false}, {9, 2, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        RecordingSave save(c.answer);
        auto job = JobFor(source);
        EXPECT_EQ(job->Run(), c.result);
        EXPECT_EQ(job->WasSaved(), c.saved);
        EXPECT_EQ(job->GetLastSaveResult(), static_cast<std::uint32_t>(c.answer));
        job->Release(false);
    }
}

TEST_F(ImageJobTest, WithoutAnInstalledSaveEverySaveFails)
{
    auto job = JobFor(WriteImageFile("nosave.jpg", kPellioFormatJpeg));
    EXPECT_EQ(job->Run(), kTlJobFailed);
    EXPECT_FALSE(job->WasSaved());
    job->Release(false);
}

TEST_F(ImageJobTest, LoadFailuresKeepTheLoadCode)
{
    const struct {
        const char* name;
        std::string path;
        int code;
    } cases[] = {
        {"missing", m_folder.File("missing.qrf"), kTlLoadNoFile},
        {"not an image", m_folder.Write("junk.qrf", std::string(4096, 'x')), kTlLoadRefused},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingSave save;
        auto job = JobFor(c.path);
        EXPECT_EQ(job->Run(), kTlJobLoadFailed);
        EXPECT_EQ(job->GetLoadError(), c.code);
        EXPECT_EQ(save.Seen().calls, 0);
        EXPECT_EQ(RegisteredImageCount(), 0);
        EXPECT_EQ(RegisteredObjectCount(), 0);
    }
}

TEST_F(ImageJobTest, AFailedLoadKeepsWhatFailedAndTheLoadersReason)
{
    const struct {
        const char* name;
        std::string path;
        const char* what;
        std::uint32_t category;
        long cause;
    } cases[] = {
        {"missing", m_folder.File("missing.qrf"), "the source file could not be loaded: the file cannot be opened",
         kKelvraCategoryOS, ERROR_FILE_NOT_FOUND},
        {"not an image", m_folder.Write("junk.qrf", std::string(4096, 'x')),
         "the source file could not be loaded: the loader does not take the file", kKelvraCategoryKelvra,
         kPellioUnknownFile},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingSave save;
        auto job = JobFor(c.path);
        EXPECT_EQ(job->Run(), kTlJobLoadFailed);
        IKelvraError* chain = job->TakeError();
        ASSERT_NE(chain, nullptr);
        EXPECT_STREQ(chain->GetText(), c.what);
        EXPECT_TRUE(ChainHoldsCode(chain, c.category, c.cause));
        IKelvraError::Release(chain);
        EXPECT_EQ(job->TakeError(), nullptr) << "taken once";
    }
}

// A save that leaves an error of its own and answers `s_answer`.
struct SaveLeavingAnError {
    static int Run(const STlImageSave&)
    {
        KeepImageSaveError(IKelvraError::Add(nullptr, 0, 7, kKelvraCategoryKelvra, kSaveCause));
        return s_answer;
    }
    static constexpr long kSaveCause = 4242;
    static inline int s_answer = 0;
};

TEST_F(ImageJobTest, AFailedSaveKeepsItsErrorsUnderWhatFailedAndASucceededOrCancelledOneNone)
{
    const std::string source = WriteImageFile("photo.jpg", kPellioFormatJpeg);
    const long liveBefore = IKelvraError::LiveCount();
    const struct {
        int answer;
        bool kept;
    } cases[] = {{0, false}, {6, false}, {2, true}, {3, true}, {9, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        SaveLeavingAnError::s_answer = c.answer;
        const TlImageSaveHook previous = SetImageSaveHook(&SaveLeavingAnError::Run);
        auto job = JobFor(source);
        job->Run();
        SetImageSaveHook(previous);
        IKelvraError* chain = job->TakeError();
        EXPECT_EQ(chain != nullptr, c.kept);
        if (chain != nullptr) {
            EXPECT_STREQ(chain->GetText(), "the image could not be developed and written");
            EXPECT_TRUE(ChainHoldsCode(chain, kKelvraCategoryKelvra, SaveLeavingAnError::kSaveCause));
        }
        IKelvraError::Release(chain);
        job->Release(false);
        job.reset();
        EXPECT_EQ(IKelvraError::LiveCount(), liveBefore) << "nothing the save left stays behind";
    }
}

TEST_F(ImageJobTest, ErrorsOfASaveThatNoJobRunsAreDropped)
{
    const long liveBefore = IKelvraError::LiveCount();
    KeepImageSaveError(IKelvraError::Add(nullptr, 0, 1, kKelvraCategoryKelvra, kKelvraOperationFailed));
    EXPECT_EQ(TakeImageSaveError(), nullptr);
    EXPECT_EQ(IKelvraError::LiveCount(), liveBefore);
}

TEST_F(ImageJobTest, JobOnTheRealQueueLoadsWithProgressAndSavesThroughTheQueue)
{
    RecordingSave save;
    jobs_test::Journal journal;
    jobs_test::RecordingQueue queue(journal);
    auto job = JobFor(WriteImageFile("queued.jpg", kPellioFormatJpeg));
    ASSERT_EQ(queue.AddJob(job.get()), 0);
    ASSERT_EQ(queue.Start(), 0);
    journal.WaitForRuns(1);
    ASSERT_EQ(journal.Done().size(), 1u);
    EXPECT_EQ(journal.Done()[0].second, kTlJobDone);
    EXPECT_EQ(queue.loadsStarted.load(), 1);
    EXPECT_EQ(queue.savesStarted.load(), 1);
    EXPECT_FALSE(queue.progress.empty());
    EXPECT_EQ(save.Seen().sink, static_cast<ITlSaveProgressSink*>(&queue)) << "the save reports to the queue";
    EXPECT_EQ(GetSaveProgressState().sink, nullptr) << "and the sink is put back afterwards";
    job->Release(false);
}

TEST_F(ImageJobTest, LoadStoppedAtAProgressReportIsCancelled)
{
    RecordingSave save;
    jobs_test::Journal journal;
    StoppingQueue queue(journal);
    QrfRawOptions raw = RawOptions(257, QrfPattern::RGGB);
    auto job = JobFor(WriteRaw("stopped.qrf", raw));
    job->SetQueue(&queue);
    EXPECT_EQ(job->Run(), kTlJobCancelled);
    EXPECT_EQ(job->GetImage(), nullptr);
    EXPECT_EQ(save.Seen().calls, 0);
    EXPECT_EQ(RegisteredImageCount(), 0);
}

TEST_F(ImageJobTest, ReleaseDeletesTheTemporaryProfileWithTheImagesLastUse)
{
    const Bytes profile = {'p', 'r', 'o', 'f', 'i', 'l', 'e', 0, 4, 5};
    QrfRawOptions raw = RawOptions(257, QrfPattern::RGGB);
    raw.extraTags.push_back({34675, kKelvraTagTypeBytes, profile});
    RecordingSave save;
    auto job = JobFor(WriteRaw("profile.qrf", raw));
    ASSERT_EQ(job->Run(), kTlJobDone);
    ASSERT_NE(job->GetEmbeddedProfilePath(), nullptr);
    const std::string copy = job->GetEmbeddedProfilePath();
    EXPECT_EQ(ReadAll(copy), profile);
    job->Release(false);
    EXPECT_FALSE(TempFolder::Exists(copy));
    EXPECT_EQ(RegisteredImageCount(), 0);
    EXPECT_EQ(RegisteredObjectCount(), 0);
}

TEST_F(ImageJobTest, SignalProcessingImageIsCopiedWithAProfileFileOfItsOwn)
{
    QrfRawOptions raw = RawOptions(513, QrfPattern::YCGM);
    raw.extraTags.push_back({34675, kKelvraTagTypeBytes, Bytes{1, 2, 3, 4}});
    const std::string path = WriteRaw("signal.qrf", raw);
    auto loaded = std::make_unique<CTlvImageAttributes>();
    ASSERT_EQ(LoadThroughHost(*loaded, path).finish, 0u);
    ASSERT_TRUE(loaded->signalProcessing);
    TestJob job(owner, Manager());
    ASSERT_EQ(job.TakeAttributes(*loaded), kTlJobDone);
    EXPECT_NE(job.GetImage(), loaded->images.image) << "the job works on a copy";
    ASSERT_NE(job.GetEmbeddedProfilePath(), nullptr);
    const std::string own = job.GetEmbeddedProfilePath();
    EXPECT_NE(own, std::string(loaded->images.temporaryFile));
    EXPECT_EQ(ReadAll(own), (Bytes{1, 2, 3, 4}));
    job.Release(false);
    EXPECT_FALSE(TempFolder::Exists(own));
    loaded.reset();
}

TEST_F(ImageJobTest, TakingAttributesAgainGivesBackWhatTheFirstTakeHeld)
{
    auto first = std::make_unique<CTlvImageAttributes>();
    auto second = std::make_unique<CTlvImageAttributes>();
    ASSERT_EQ(LoadThroughHost(*first, WriteImageFile("first.jpg", kPellioFormatJpeg)).finish, 0u);
    ASSERT_EQ(LoadThroughHost(*second, WriteImageFile("second.jpg", kPellioFormatJpeg)).finish, 0u);
    TestJob job(owner, Manager());
    ASSERT_EQ(job.TakeAttributes(*first), kTlJobDone);
    ASSERT_EQ(job.TakeAttributes(*second), kTlJobDone);
    EXPECT_EQ(ImageUseCount(first->images.image), 1);
    EXPECT_EQ(ObjectUseCount(first->images.tags), 1);
    EXPECT_EQ(ImageUseCount(second->images.image), 2);
    job.Release(false);
    first.reset();
    second.reset();
}

TEST_F(ImageJobTest, SetUpWithAHolderTakesItsObjectsAndWritesItsSettings)
{
    auto holder = std::make_unique<CTlvImageAttributes>();
    ASSERT_EQ(LoadThroughHost(*holder, WriteImageFile("held.jpg", kPellioFormatJpeg)).finish, 0u);
    holder->adjust.value = 1.25;
    RecordingSave save;
    auto job = std::make_unique<TestJob>(owner, Manager());
    ASSERT_EQ(job->SetUpWithHolder(OptionsFor("held.jpg", m_folder.File("held-out.jpg")), *holder), 0);
    EXPECT_EQ(job->GetImage(), holder->images.image);
    EXPECT_EQ(ImageUseCount(job->GetImage()), 2);
    const std::string settings = job->GetTempFilePath();
    EXPECT_NE(settings.find("Tln"), std::string::npos);
    CTlvSettingsHolder check;
    CTlvEditSettingsEx read;
    check.ExportTo(read);
    const Bytes stored = ReadAll(settings);
    ASSERT_GT(read.Load(stored.data(), int(stored.size()), 64, 48), 0);
    check.ImportFrom(read);
    EXPECT_DOUBLE_EQ(check.adjust.ExposureCompensation(), 1.25);
    EXPECT_EQ(job->Run(), kTlJobDone) << "the held image is saved without a load";
    EXPECT_EQ(save.Seen().calls, 1);
    job->Release(true);
    job.release();
    EXPECT_FALSE(TempFolder::Exists(settings)) << "the job's settings file goes with it";
    holder.reset();
}

TEST_F(ImageJobTest, DustMapOfTheHolderTravelsInItsTagsToThePreparedAttributes)
{
    dust_test::DustScript script;
    dust_test::FakeDustFactory factory(script);
    auto holder = std::make_unique<CTlvImageAttributes>();
    ASSERT_EQ(LoadThroughHost(*holder, WriteImageFile("dusty.jpg", kPellioFormatJpeg)).finish, 0u);
    const Bytes map = {'M', 'a', 'p', 9, 8, 7};
    ASSERT_EQ(holder->dust.CreateEngine(Manager(), map.data(), map.size()), 0);
    auto job = std::make_unique<TestJob>(owner, Manager());
    ASSERT_EQ(job->SetUpWithHolder(OptionsFor("dusty.jpg", ""), *holder), 0);
    IKelvraTagControl* tags = holder->images.tags;
    ASSERT_EQ(tags->GetTagSize(0x80E0B, 0), map.size());
    Bytes stored(map.size());
    ASSERT_EQ(tags->GetTag(0x80E0B, kKelvraTagTypeBytes, std::uint32_t(stored.size()), stored.data(), 0), nullptr);
    EXPECT_EQ(stored, map);

    auto attributes = std::make_unique<CTlvImageAttributes>();
    ASSERT_EQ(job->PrepareSave(job->GetTempFilePath(), *attributes), kTlJobDone);
    EXPECT_EQ(script.Count("map.Load"), 2u) << "the prepared attributes build their map from the tag";
    EXPECT_NE(attributes->dust.GetDustMap(), nullptr);
    attributes.reset();
    job.reset();
    holder.reset();
}

TEST_F(ImageJobTest, SetUpWithoutAHolderTakesTheSettingsTheRawFileStores)
{
    QrfRawOptions raw = RawOptions(258, QrfPattern::GBRG);
    const Bytes block = StoredSettingsBlock(1.5);
    raw.extraTags.push_back({0x80E01, kKelvraTagTypeBytes, block});
    const std::string source = WriteRaw("stored.qrf", raw);
    auto job = std::make_unique<TestJob>(owner, Manager());
    ASSERT_EQ(job->SetUpFromFile(OptionsFor(source, m_folder.File("stored-out.jpg"))), 0);
    const std::string settings = job->GetTempFilePath();
    EXPECT_EQ(ReadAll(settings), block);
    EXPECT_TRUE(job->DeletesTempFile());
    EXPECT_EQ(RegisteredObjectCount(), 0) << "the tags read for the set-up are given back";
    RecordingSave save;
    EXPECT_EQ(job->Run(), kTlJobDone);
    job.reset();
    EXPECT_FALSE(TempFolder::Exists(settings));
}

TEST_F(ImageJobTest, SetUpWithoutStoredSettingsUsesTheNeutralFileAndKeepsIt)
{
    auto job = std::make_unique<TestJob>(owner, Manager());
    ASSERT_EQ(job->SetUpFromFile(OptionsFor(WriteImageFile("plain.jpg", kPellioFormatJpeg), "")), 0);
    const std::string settings = job->GetTempFilePath();
    ASSERT_GE(settings.size(), std::strlen("\\Neutral.set"));
    EXPECT_EQ(settings.substr(settings.size() - std::strlen("\\Neutral.set")), "\\Neutral.set");
    EXPECT_FALSE(job->DeletesTempFile());
}

TEST_F(ImageJobTest, PrepareSaveReportsSettingsFilesThatCannotBeUsed)
{
    const std::string valid = SettingsFile(0.5, "valid.set");
    const struct {
        const char* name;
        std::string path;
        long result;
    } cases[] = {
        {"missing", m_folder.File("none.set"), kTlJobNoSettingsFile},
        {"empty", m_folder.Write("empty.set", ""), kTlJobBadSettingsFile},
        {"corrupt", m_folder.Write("corrupt.set", std::string(300, '\x7f')), kTlJobBadSettingsFile},
        {"valid", valid, kTlJobDone},
    };
    auto job = JobFor(WriteImageFile("prepare.jpg", kPellioFormatJpeg));
    ASSERT_EQ(job->LoadSource(), kTlJobDone);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto attributes = std::make_unique<CTlvImageAttributes>();
        EXPECT_EQ(job->PrepareSave(c.path.c_str(), *attributes), c.result);
        if (c.result == kTlJobDone) {
            EXPECT_EQ(attributes->images.image, job->GetImage());
            EXPECT_EQ(ImageUseCount(job->GetImage()), 2);
            EXPECT_EQ(attributes->images.tags, job->GetTagControl());
            EXPECT_DOUBLE_EQ(attributes->adjust.ExposureCompensation(), 0.5);
        } else {
            EXPECT_EQ(attributes->images.image, nullptr) << "nothing handed over";
        }
        attributes.reset();
        EXPECT_EQ(ImageUseCount(job->GetImage()), 1);
    }
    job->Release(false);
}

TEST_F(ImageJobTest, PrepareSaveWithoutHeldTagsReadsThemFromTheSourceFile)
{
    TestJob job(owner, Manager());
    job.SetSourcePath(WriteRaw("tags.qrf", RawOptions(258, QrfPattern::GBRG)).c_str());
    auto attributes = std::make_unique<CTlvImageAttributes>();
    ASSERT_EQ(job.PrepareSave(SettingsFile(0.25).c_str(), *attributes), kTlJobDone);
    ASSERT_NE(attributes->images.tags, nullptr);
    EXPECT_EQ(attributes->modelCode, 258);
    EXPECT_EQ(ObjectUseCount(attributes->images.tags), 1);
    attributes.reset();
}

TEST_F(ImageJobTest, PathSettersCutOverlongPathsAndOutputFormatSetsTheFileFormat)
{
    TestJob job(owner, Manager());
    const std::string longPath(400, 'a');
    job.SetSourcePath(longPath.c_str());
    job.SetTargetPath(longPath.c_str());
    EXPECT_EQ(std::strlen(job.GetSourcePath()), 259u);
    EXPECT_EQ(std::strlen(job.GetTargetPath()), 259u);
    EXPECT_EQ(job.GetKind(), CJob::kKindSingle);
    EXPECT_EQ(job.GetPriority(), 1);
    job.SetOutputFormat(0x10000000, 0);
    EXPECT_EQ(job.GetFileFormat(), 0x10000000u);
    job.SetOutputFormat(2048, 0);
    EXPECT_EQ(job.GetFileFormat(), 256u);
}

} // namespace
