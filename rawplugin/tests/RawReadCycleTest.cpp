// Raw files through the selectors, as an image editor opens them with a
// recorded action that does not ask for the dialog: every kind of raw file
// opens, colours come out as the scene had them, windows, strips, turns
// and output sizes are as the models and the settings ask.
#include "RawPluginTestSupport.h"

#include <cmath>

using namespace rawplugin_test;

namespace {

// Largest difference, in 8-bit levels, between a developed patch and the
// scene's colour through the sRGB curve.
constexpr double kColourTolerance = 6.0;
// Largest spread between the channels of a neutral patch.
constexpr double kNeutralTolerance = 3.0;

PsFormatHostOptions Played(int balance = 0, double exposure = 0.0, int rotation = 0, bool sixMegapixels = false)
{
    PsFormatHostOptions options;
    options.hasDescriptor = true;
    options.descriptor = Descriptor(balance, exposure, rotation, sixMegapixels);
    return options;
}

struct Kind {
    const char* name;
    const char* arguments;
    long width;  // developed size
    long height;
    long dx;     // the scene pixel of output (0, 0)
    long dy;
    bool colour; // the picture is demosaiced
};

// Each patch's mean against the scene's colour; returns the worst error.
double WorstPatch(const PsFormatHostResult& result, const Kind& kind)
{
    double worst = 0.0;
    for (const Patch& p : Patches(kind.name)) {
        const long left = p.left - kind.dx + 2, right = p.right - kind.dx - 2;
        const long top = p.top - kind.dy + 2, bottom = p.bottom - kind.dy - 2;
        if (left < 0 || top < 0 || right > result.width || bottom > result.height || right <= left ||
            bottom <= top)
            continue;
        const unsigned scene[3] = {p.r, p.g, p.b};
        const bool neutral = p.r == p.g && p.g == p.b;
        double means[3];
        for (int c = 0; c < 3; ++c)
            means[c] = Mean(result, left, top, right, bottom, c);
        if (neutral) {
            EXPECT_NEAR(means[0], means[1], kNeutralTolerance) << "neutral patch at " << p.left << ", " << p.top;
            EXPECT_NEAR(means[2], means[1], kNeutralTolerance) << "neutral patch at " << p.left << ", " << p.top;
        }
        for (int c = 0; c < 3; ++c) {
            const double expected = SrgbByte(scene[c]);
            worst = std::max(worst, std::fabs(means[c] - expected));
        }
    }
    return worst;
}

TEST(RawReadCycleTest, EveryKindOfRawFileOpensWithTheScenesColours)
{
    const Kind kinds[] = {
        {"m257", "--model 257 --width 384 --height 256", 372, 244, 6, 6, true},
        {"m258", "--model 258 --width 384 --height 256 --pattern GBRG", 372, 244, 6, 6, true},
        {"plain", "--model 258 --width 192 --height 128 --mosaic-format 10020402", 192, 128, 0, 0, false},
        {"m513", "--model 513 --width 384 --height 256 --pattern YCGM", 368, 252, 8, 2, true},
        {"m514", "--model 514 --width 384 --height 256 --pattern YCGM", 368, 252, 8, 2, true},
        {"m515", "--model 515 --width 384 --height 256 --pattern BGGR", 368, 250, 8, 3, true},
        {"m516", "--model 516 --width 384 --height 256 --pattern BGGR", 368, 250, 8, 3, true},
        {"m600", "--model 600 --width 192 --height 128 --pattern YCGM --mosaic-format 10020403", 192, 128, 0, 0,
         false},
    };
    ScriptedUi ui;
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        InProcessHost host;
        const PsFormatHostResult result = host.Open(Fixture(kind.name, kind.arguments), Played());
        ASSERT_EQ(kPsNoError, result.start);
        ASSERT_EQ(kPsNoError, result.readContinue);
        EXPECT_EQ(kPsNoError, result.finish);
        EXPECT_EQ(kind.width, result.width);
        EXPECT_EQ(kind.height, result.height);
        EXPECT_EQ(kPsModeRGB, result.imageMode);
        EXPECT_EQ(3, result.planes);
        EXPECT_EQ(8, result.depth);
        // A raw image that is not demosaiced shows its mosaic as it is.
        if (kind.colour) {
            EXPECT_LE(WorstPatch(result, kind), kColourTolerance);
        }
        host.ForgetData();
        EXPECT_EQ(0, host.LiveHandles());
        EXPECT_EQ(0, host.LiveBuffers());
    }
    EXPECT_EQ(0, ui.dialogs);
    EXPECT_TRUE(ui.warnings.empty());
}

TEST(RawReadCycleTest, LargeModelsGetTheirWindowsAndOutputSizes)
{
    struct Case {
        const char* name;
        const char* arguments;
        bool sixMegapixels;
        long width;
        long height;
        long dx;
        long dy;
        PsFixed resolution;
    };
    const Case cases[] = {
        {"m1025", "--model 1025 --width 3040 --height 2030", false, 3015, 2006, 13, 12, 0},
        {"m1026", "--model 1026 --width 3040 --height 2020", false, 3017, 2001, 15, 7, 0},
        {"m260", "--model 260 --width 2500 --height 1660", false, 2473, 1635, 15, 9, 0},
        {"m259", "--model 259 --width 3020 --height 1972", true, 3008, 1960, 6, 6, 300 << 16},
        {"m259", "--model 259 --width 3020 --height 1972", false, 4016, 2616, -1, -1, 300 << 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << (c.sixMegapixels ? " 6 MP" : ""));
        InProcessHost host;
        const PsFormatHostResult result = host.Open(Fixture(c.name, c.arguments), Played(0, 0.0, 0, c.sixMegapixels));
        ASSERT_EQ(kPsNoError, result.start);
        ASSERT_EQ(kPsNoError, result.readContinue);
        EXPECT_EQ(c.width, result.width);
        EXPECT_EQ(c.height, result.height);
        if (c.resolution) {
            EXPECT_EQ(c.resolution, result.hRes);
        }
        if (c.dx >= 0) {
            const Kind kind{c.name, c.arguments, c.width, c.height, c.dx, c.dy, true};
            EXPECT_LE(WorstPatch(result, kind), kColourTolerance);
        }
        host.ForgetData();
    }
}

TEST(RawReadCycleTest, StripsAre208RowsBelow2013PixelsAnd260Otherwise)
{
    struct Case {
        const char* name;
        const char* arguments;
        bool preview;
        long rows;
        long count;
        long last;
    };
    const Case cases[] = {
        {"strips2012", "--model 257 --width 2024 --height 3012", false, 208, 15, 88},
        {"strips2014", "--model 257 --width 2026 --height 612", false, 260, 3, 80},
        {"strips2012", "--model 257 --width 2024 --height 3012", true, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << (c.preview ? " preview" : ""));
        InProcessHost host;
        PsFormatHostOptions options = Played();
        options.openForPreview = c.preview;
        const PsFormatHostResult result = host.Open(Fixture(c.name, c.arguments), options);
        ASSERT_EQ(kPsNoError, result.start);
        ASSERT_EQ(kPsNoError, result.readContinue);
        ASSERT_EQ(std::size_t(c.count), result.strips.size());
        const long rows = c.preview ? result.height : c.rows;
        for (std::size_t i = 0; i + 1 < result.strips.size(); ++i) {
            EXPECT_EQ(long(i) * rows, result.strips[i].top);
            EXPECT_EQ(rows, result.strips[i].bottom - result.strips[i].top);
        }
        const PsRect& last = result.strips.back();
        EXPECT_EQ(c.preview ? result.height : c.last, last.bottom - last.top);
        EXPECT_EQ(result.height, last.bottom);
        host.ForgetData();
    }
}

TEST(RawReadCycleTest, ARotationOf90TurnsThePictureRight)
{
    ScriptedUi ui;
    const std::string& file = Fixture("rot", "--model 257 --width 3020 --height 2012");
    InProcessHost upright;
    const PsFormatHostResult plain = upright.Open(file, Played());
    InProcessHost turning;
    const PsFormatHostResult turned = turning.Open(file, Played(0, 0.0, 90));
    ASSERT_EQ(kPsNoError, turned.readContinue);
    ASSERT_EQ(kPsNoError, plain.readContinue);
    EXPECT_EQ(3008, turned.height);
    EXPECT_EQ(2000, turned.width);
    // Turned right (EXIF orientation 8 of the read): the upright picture's
    // pixel (x, y) is at (H - 1 - y, x).
    for (long y : {100L, 700L, 1500L}) {
        for (long x : {50L, 1200L, 2900L}) {
            const std::uint8_t* a = plain.Pixel(x, y);
            const std::uint8_t* b = turned.Pixel(plain.height - 1 - y, x);
            EXPECT_TRUE(a[0] == b[0] && a[1] == b[1] && a[2] == b[2]) << x << ", " << y;
        }
    }
    upright.ForgetData();
    turning.ForgetData();
}

TEST(RawReadCycleTest, ACancelAtStripThreeEndsTheReadWithThatAnswer)
{
    for (PsResult answer : {PsResult(kPsUserCanceled), PsResult(-1)}) {
        InProcessHost host;
        PsFormatHostOptions options = Played();
        options.cancelAtStrip = 3;
        options.cancelResult = answer;
        const PsFormatHostResult result =
            host.Open(Fixture("strips2012", "--model 257 --width 2024 --height 3012"), options);
        ASSERT_EQ(kPsNoError, result.start);
        EXPECT_EQ(answer, result.readContinue);
        EXPECT_EQ(3u, result.strips.size());
        EXPECT_EQ(0, host.LiveBuffers());
        host.ForgetData();
    }
}

TEST(RawReadCycleTest, CaptionResolutionAndProfileReachTheHost)
{
    const std::string iptc = "1C0200000200041C020500054B6E6F7473";
    const std::string& file = Fixture("iptc", "--model 257 --width 192 --height 128 --iptc " + iptc);
    InProcessHost host;
    PsFormatHostOptions options = Played();
    options.resolution = 1234;
    const PsFormatHostResult result = host.Open(file, options);
    ASSERT_EQ(kPsNoError, result.start);
    ASSERT_TRUE(result.hasCaption);
    std::string caption;
    for (std::uint8_t byte : result.caption) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", byte);
        caption += hex;
    }
    EXPECT_EQ(iptc, caption);
    EXPECT_NE(1234, result.hRes);
    EXPECT_EQ(result.hRes, result.vRes);
    EXPECT_EQ(0, result.hRes & 0xFFFF);

    char common[MAX_PATH] = {};
    DWORD size = sizeof common;
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                                          "CommonFilesDir", RRF_RT_REG_SZ, nullptr, common, &size));
    const std::string installed = TempFolder::Read(std::string(common) + "\\Talvo\\Profiles\\TLsRGB.icm");
    ASSERT_FALSE(installed.empty()) << "the install step writes the profiles";
    EXPECT_EQ(installed, std::string(result.icc.begin(), result.icc.end()));
    host.ForgetData();
}

TEST(RawReadCycleTest, AnEditedFileIsDevelopedWithTheExposureItCarries)
{
    ScriptedUi ui;
    InProcessHost plainHost;
    const PsFormatHostResult plain =
        plainHost.Open(Fixture("m257", "--model 257 --width 384 --height 256"), Played(3, -1.5, 180));
    InProcessHost editedHost;
    const PsFormatHostResult edited = editedHost.Open(
        Fixture("edited", "--model 257 --width 384 --height 256 --settings-exposure 1.0"), Played(3, -1.5, 180));
    ASSERT_EQ(kPsNoError, edited.readContinue);
    EXPECT_EQ(1, ui.editedNotices);
    EXPECT_EQ(1, ui.closedNotices);
    EXPECT_EQ(0, ui.dialogs);
    // Upright, as shot and one stop brighter than the picture played with
    // -1.5 EV: a mid grey patch shows it.
    EXPECT_EQ(plain.width, edited.width);
    for (const Patch& p : Patches("edited")) {
        if (p.r != p.g || p.g != p.b || p.g > 12000 || p.g < 3000)
            continue;
        const double developed = Mean(edited, p.left - 4, p.top - 4, p.right - 8, p.bottom - 8, 1);
        EXPECT_NEAR(SrgbByte(std::min(65535u, 2 * p.g)), developed, kColourTolerance);
    }
    plainHost.ForgetData();
    editedHost.ForgetData();
}

} // namespace
