// A synthetic raw file opened through the image control and exported as a
// host's save exports it, through a temporary file, to JPEG and to 8- and
// 16-bit TIFF; each file read back as a host reads it and measured against
// the scene's colours in the output profile, with the profile it embeds;
// a quarter turn and failed exports.
#include "DevelopEnvironment.h"
#include "DevelopedPatchesSupport.h"

#include "kelvra/KelvraFilterChain.h"
#include "params/TlvParamSet.h"
#include "pellio/PellioFormats.h"
#include "save/TlSaveImage.h"

#include <windows.h>

#include <fstream>
#include <iterator>

using namespace patches_test;

namespace {

constexpr long kWidth = 480;
constexpr long kHeight = 320;

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ExportEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_environment.IsReady());
        const std::string raw = m_environment.WriteRaw("scene.qrf", SceneOptions(kWidth, kHeight));
        ASSERT_FALSE(raw.empty());
        m_opened = m_environment.Open(raw);
        ASSERT_NE(nullptr, m_opened.control);
    }

    CTlvQrfControl& Control() { return *m_opened.control; }
    // The host shows the picture while it exports it.
    IKelvraFilterChain* Preview()
    {
        IKelvraFilterChain* chain = nullptr;
        ExpectOk(Control().GetFilterChain(&chain), "preview");
        return chain;
    }

    // The control's settings exported as the save does; its result.
    int Export(const std::string& target, std::uint32_t layout, std::uint32_t format, std::uint32_t option)
    {
        std::unique_ptr<CTlvParamSet> params(Control().CreateParamSet());
        return SaveImageToFile(params.get(), target.c_str(), layout, format, option, false);
    }
    SPatchReport Measure(const SampleGrid& grid, unsigned maxValue)
    {
        const CPatchTruth truth(m_environment.OutputProfile());
        EXPECT_TRUE(truth.IsReady());
        return MeasurePatches(grid, maxValue, CQrfScene(kWidth, kHeight),
                              CentredPlacement(kWidth, kHeight, grid.width, grid.height), truth);
    }

    CDevelopEnvironment m_environment;
    SOpenedRaw m_opened;
};

} // namespace

TEST_F(ExportEndToEnd, ExportedFilesShowTheScenesColoursInTheOutputProfile)
{
    const struct {
        const char* name;
        std::uint32_t layout;
        std::uint32_t format;
        std::uint32_t option;
        unsigned maxValue;
    } cases[] = {
        {"export.jpg", 0, kPellioFormatJpeg, 95, 255},
        {"export8.tif", 0, kPellioFormatTiff, 0, 255},
        {"export16.tif", 1, kPellioFormatTiff, 1, 65535},
    };
    std::vector<SPatchReport> reports;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string target = m_environment.Files().File(c.name);
        ASSERT_EQ(0, Export(target, c.layout, c.format, c.option));
        const SImageFile exported = ReadImageFile(target);
        ASSERT_EQ(3, exported.grid.planes);
        EXPECT_EQ(c.maxValue == 65535, KelvraIs16Bit(exported.format));
        EXPECT_TRUE(ReadFile(m_environment.OutputProfile()) == exported.profile) << "the output profile is embedded";
        reports.push_back(Measure(exported.grid, c.maxValue));
        ExpectPatchesWithinTolerance(reports.back());
    }
    // The three files are one development.
    EXPECT_LE(LargestPatchDifference(reports[1], reports[2]), kSameScaleError);
    EXPECT_LE(LargestPatchDifference(reports[0], reports[1]), kSameScaleError);
}

// The signal-processing cameras' exports keep the grey steps grey (the
// develop block's gains reach the library in the units each sensor's
// development reads them in) and render them with the same tone as an
// ordinary camera: step by step at the levels camera 258's export gives the
// same scene. (Their colours are their profiles' own and are not measured.)
TEST_F(ExportEndToEnd, SignalProcessingCamerasExportGreysWithTheOrdinaryTone)
{
    // Linear output puts the middle steps some 70 levels too dark; a
    // correct tone comes within 2.
    constexpr double kGreyToneError = 4.0;
    const std::string ordinaryTarget = m_environment.Files().File("ordinary.tif");
    ASSERT_EQ(0, Export(ordinaryTarget, 0, kPellioFormatTiff, 0));
    const SPatchReport ordinary = Measure(ReadImageFile(ordinaryTarget).grid, 255);
    ASSERT_FALSE(ordinary.patches.empty());
    const struct {
        std::uint32_t model;
        QrfPattern pattern;
    } cases[] = {{513, QrfPattern::YCGM}, {514, QrfPattern::YCGM}, {515, QrfPattern::BGGR}, {516, QrfPattern::BGGR}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        QrfRawOptions options = SceneOptions(kWidth, kHeight);
        options.model = c.model;
        options.pattern = c.pattern;
        SOpenedRaw opened = m_environment.Open(m_environment.WriteRaw("signal.qrf", options));
        ASSERT_NE(nullptr, opened.control);
        std::unique_ptr<CTlvParamSet> params(opened.control->CreateParamSet());
        const std::string target = m_environment.Files().File("signal.tif");
        ASSERT_EQ(0, SaveImageToFile(params.get(), target.c_str(), 0, kPellioFormatTiff, 0, false));
        const SPatchReport report = Measure(ReadImageFile(target).grid, 255);
        SCOPED_TRACE(report.Describe());
        SCOPED_TRACE("camera 258:\n" + ordinary.Describe());
        EXPECT_LE(report.maxNeutralError, kNeutralError);
        EXPECT_LE(LargestPatchDifference(report, ordinary, true), kGreyToneError);
    }
}

namespace {

// The mean difference of two reports' grey steps, in 8-bit units (b - a).
double MeanGreyShift(const SPatchReport& a, const SPatchReport& b)
{
    double sum = 0.0;
    int count = 0;
    for (std::size_t i = 0; i < a.patches.size() && i < b.patches.size(); ++i) {
        if (!a.patches[i].neutral)
            continue;
        sum += 255.0 * (b.patches[i].measured[1] - a.patches[i].measured[1]);
        ++count;
    }
    return count ? sum / count : 0.0;
}

} // namespace

// The settings' tone reaches the signal-processing library through the
// develop block: the tone modes that ask for brighter or deeper mid-tones
// move the grey steps that way from the as-shot rendering (by about 6
// levels on average), the standard ones leave them where they were.
TEST_F(ExportEndToEnd, SignalProcessingCamerasFollowTheSettingsTone)
{
    QrfRawOptions options = SceneOptions(kWidth, kHeight);
    options.model = 515;
    options.pattern = QrfPattern::BGGR;
    SOpenedRaw opened = m_environment.Open(m_environment.WriteRaw("signal.qrf", options));
    ASSERT_NE(nullptr, opened.control);
    CTlvQrfControl& control = *opened.control;
    auto exportGreys = [&] {
        std::unique_ptr<CTlvParamSet> params(control.CreateParamSet());
        const std::string target = m_environment.Files().File("toned.tif");
        EXPECT_EQ(0, SaveImageToFile(params.get(), target.c_str(), 0, kPellioFormatTiff, 0, false));
        return Measure(ReadImageFile(target).grid, 255);
    };
    const SPatchReport asShot = exportGreys();
    const struct {
        int toneMode;
        double least; // the mean shift of the grey steps lies in [least, most]
        double most;
    } cases[] = {{1, -1, 1}, {4, -1, 1}, {2, 4, 9}, {5, 4, 9}, {3, -9, -4}, {6, -9, -4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.toneMode);
        control.adjustUsed = 1;
        control.adjust.SetToneMode(c.toneMode);
        const double shift = MeanGreyShift(asShot, exportGreys());
        EXPECT_GE(shift, c.least);
        EXPECT_LE(shift, c.most);
    }
}

// With the strongest colour noise reduction, the strongest moire removal
// and the fine edge filter on, the export still shows the scene's colours
// (the patches are flat, so the detail filters leave their means nearly
// where they were), and the picture is not the plain export.
TEST_F(ExportEndToEnd, DetailFiltersKeepTheScenesColours)
{
    const std::string plain = m_environment.Files().File("plain.tif");
    ASSERT_EQ(0, Export(plain, 1, kPellioFormatTiff, 1));
    Control().tripleValueUsed = 1;
    Control().tripleValue.first = 10; // noise reduction at full strength
    Control().tripleValue.second = 3; // moire strength 75
    Control().tripleValue.flag = true; // fine edge
    const std::string detailed = m_environment.Files().File("detailed.tif");
    ASSERT_EQ(0, Export(detailed, 1, kPellioFormatTiff, 1));
    const SImageFile plainFile = ReadImageFile(plain), detailedFile = ReadImageFile(detailed);
    EXPECT_FALSE(plainFile.grid.samples == detailedFile.grid.samples) << "the detail filters must run";
    const SPatchReport plainReport = Measure(plainFile.grid, 65535);
    const SPatchReport report = Measure(detailedFile.grid, 65535);
    ExpectPatchesWithinTolerance(report);
    EXPECT_LE(LargestPatchDifference(plainReport, report), kSameScaleError);
}

// A quarter turn in the settings turns the exported picture exactly.
TEST_F(ExportEndToEnd, OrientationIsApplied)
{
    const std::string upright = m_environment.Files().File("upright.tif");
    ASSERT_EQ(0, Export(upright, 0, kPellioFormatTiff, 0));
    ASSERT_NE(nullptr, Preview());
    EXPECT_EQ(0u, Control().RotateCW());
    const std::string turned = m_environment.Files().File("turned.tif");
    ASSERT_EQ(0, Export(turned, 0, kPellioFormatTiff, 0));
    const SampleGrid a = ReadImageFile(upright).grid, b = ReadImageFile(turned).grid;
    ASSERT_EQ(a.width, b.height);
    ASSERT_EQ(a.height, b.width);
    long differing = 0;
    for (long y = 0; y < a.height; ++y) {
        for (long x = 0; x < a.width; ++x) {
            for (long c = 0; c < 3; ++c)
                differing += a.At(x, y, c) != b.At(a.height - 1 - y, x, c) ? 1 : 0;
        }
    }
    EXPECT_EQ(0, differing) << "a clockwise turn puts pixel (x, y) at (height - 1 - y, x)";
}

// An export that fails leaves the user's file as it was and no temporary
// file behind: onto a file another program holds open without sharing, and
// in a format the saver refuses.
TEST_F(ExportEndToEnd, FailedExportKeepsTheUsersFile)
{
    const struct {
        const char* name;
        bool locked;
        std::uint32_t format;
    } cases[] = {
        {"locked target", true, kPellioFormatJpeg},
        {"format the saver refuses", false, 77},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string target = m_environment.Files().Write("users.jpg", "the user's picture");
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.locked) {
            held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, held);
        }
        EXPECT_NE(0, Export(target, 0, c.format, 90));
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        EXPECT_EQ("the user's picture", ReadFile(target));
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(m_environment.Files().File("Tln*").c_str(), &found);
        EXPECT_EQ(INVALID_HANDLE_VALUE, search) << "temporary file left: " << found.cFileName;
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
    }
}
