// What the save-road tests share: the library started as a host starts it
// (a profiles folder of their own with every synthetic data file, the
// library's save and job queue installed), a saver the test drives from its
// own thread as the host does, and synthetic raw files that store their
// settings, one of them large enough that a save takes many progress
// reports.
#pragma once

#include "LoadTestSupport.h"

#include "load/TlImageSaveHook.h"
#include "saverequest/TlvSaveData.h"
#include "saverequest/TlvSaveImage.h"
#include "support/CommonFilesSandbox.h"

#include <cstdint>
#include <string>

namespace saveroad {

// The developed picture of a 12-bit mosaic leaves out its border, six
// pixels a side.
constexpr long kBorder = 12;

struct Progress {
    long done = 0;
    long total = 0;
    bool operator==(const Progress& other) const { return done == other.done && total == other.total; }
    bool operator!=(const Progress& other) const { return !(*this == other); }
};

// The library's own save, as the image job runs it: for a test's save hook
// that wraps it.
int SaveThroughLibrary(const STlImageSave& save);

class SaveRoadTest : public loadtest::LoadTest {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    // Waits for the worker, then checks that every registered object went.
    void TearDown() override;

    // 3000 x 2000 raw files that store their settings, made once per suite:
    // one of model 258, one that the signal-processing library develops.
    static const std::string& LargeRaw();
    static const std::string& LargeSignalRaw();
    // A copy of `path` under `name` in the test's folder.
    std::string CopyOf(const std::string& path, const std::string& name);
    // A small raw file that stores its settings, in the test's folder; the
    // models 513 to 516 are developed by the signal-processing library.
    std::string SmallRaw(const std::string& name, std::uint32_t model = 258, QrfPattern pattern = QrfPattern::GBRG);

    // Fills the record for `source` into `output` (JPEG or TIFF by the
    // given format) and queues it; SaveImage's answer.
    unsigned long Save(TlvQrfLib::TlvSaveData& record, const std::string& source, const std::string& output,
                       std::uint32_t fileFormat = 1);
    // The host's poll until no job runs or waits.
    void WaitUntilFinished();
    // Until the running save has reported progress at least once; false
    // when it ended first.
    bool WaitForProgress();
    Progress ReadProgress() const;
    // Decodes `path` whole: a picture of `kind` (a loader's file kind) at
    // `width` x `height` whose pixels are not all alike.
    ::testing::AssertionResult IsPicture(const std::string& path, std::uint32_t kind, long width, long height);
    // `image` is `width` x `height` and its pixels are not all alike.
    static ::testing::AssertionResult HoldsPicture(IKelvraImage* image, long width, long height);

    ITlvSaveImage& Saver() const { return *m_saver; }

private:
    TempProfilesFolder m_profiles;
    ITlvSaveImage* m_saver = nullptr;
    bool m_started = false;
};

} // namespace saveroad
