#include "ColourTestSupport.h"

#include <windows.h>

#include <array>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using Rgb8 = std::array<std::uint8_t, 3>;

// sRGB to Adobe RGB (1998), relative colorimetric, both with the D65
// white, 8 bits: the published values of the primaries; greys worked out
// from the two spaces' curves (they share white and grey axis).
struct AdobePatch {
    Rgb8 srgb;
    Rgb8 adobe;
};
const AdobePatch kAdobePatches[] = {
    {{255, 0, 0}, {219, 0, 0}},       {{0, 255, 0}, {144, 255, 60}},    {{0, 0, 255}, {0, 0, 250}},
    {{255, 255, 255}, {255, 255, 255}}, {{0, 0, 0}, {0, 0, 0}},          {{128, 128, 128}, {127, 127, 127}},
    {{64, 64, 64}, {66, 66, 66}},      {{192, 192, 192}, {191, 191, 191}},
};

// Published CIELAB (D50, Bradford adaptation) of the sRGB primaries, white,
// black and mid grey.
struct LabPatch {
    Rgb8 srgb;
    LabValue lab;
};
const LabPatch kLabPatches[] = {
    {{255, 0, 0}, {54.2917, 80.8125, 69.8851}},  {{0, 255, 0}, {87.8181, -79.2873, 80.9902}},
    {{0, 0, 255}, {29.5676, 68.2866, -112.0294}}, {{255, 255, 255}, {100.0, 0.0, 0.0}},
    {{0, 0, 0}, {0.0, 0.0, 0.0}},                 {{128, 128, 128}, {53.585, 0.0, 0.0}},
};

std::vector<std::uint8_t> Convert8(CKelvraFilterCMLEngine& engine, const std::vector<std::uint8_t>& input,
                                   KelvraPixelFormat inFormat, KelvraPixelFormat outFormat)
{
    std::vector<std::uint8_t> output(input.size() / KelvraPlaneCount(inFormat) * KelvraPlaneCount(outFormat));
    ExpectOk(engine.Convert(input.data(), inFormat, output.data(), outFormat,
                            long(input.size() / KelvraPlaneCount(inFormat))),
             "convert");
    return output;
}

std::vector<std::uint16_t> Convert16(CKelvraFilterCMLEngine& engine, const void* input, KelvraPixelFormat inFormat,
                                     KelvraPixelFormat outFormat, long count)
{
    std::vector<std::uint16_t> output(std::size_t(count) * KelvraPlaneCount(outFormat));
    ExpectOk(engine.Convert(input, inFormat, output.data(), outFormat, count), "convert");
    return output;
}

void ExpectNear(const Rgb8& expected, const std::uint8_t* actual, int tolerance)
{
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(expected[std::size_t(c)], actual[c], tolerance) << "channel " << c;
}

class ColourEngineTest : public ::testing::Test {
protected:
    CKelvraFilterCMLEngine m_engine;
};

TEST_F(ColourEngineTest, SrgbToAdobeRgbMatchesPublishedValuesWithinOneLevel)
{
    for (long intent : {0L, 1L}) { // the engine manager's intent and the published one
        SetUpEngine(m_engine, "TLsRGB.icm", "TLAdobe.icm", intent);
        for (const AdobePatch& patch : kAdobePatches) {
            SCOPED_TRACE(testing::Message() << "intent " << intent << " sRGB " << int(patch.srgb[0]) << ","
                                            << int(patch.srgb[1]) << "," << int(patch.srgb[2]));
            std::uint8_t adobe[3] = {};
            ExpectOk(m_engine.Convert(patch.srgb.data(), kKelvraRGB8, adobe, kKelvraRGB8, 1));
            ExpectNear(patch.adobe, adobe, 1);
        }
    }
}

TEST_F(ColourEngineTest, SrgbToLabMatchesPublishedValuesWithinHalfDeltaE)
{
    SetUpEngine(m_engine, "TLsRGB.icm", "TLLab.icm");
    for (const LabPatch& patch : kLabPatches) {
        SCOPED_TRACE(testing::Message() << "sRGB " << int(patch.srgb[0]) << "," << int(patch.srgb[1]) << ","
                                        << int(patch.srgb[2]));
        const std::uint16_t wide[3] = {std::uint16_t(patch.srgb[0] * 257), std::uint16_t(patch.srgb[1] * 257),
                                       std::uint16_t(patch.srgb[2] * 257)};
        const std::vector<std::uint16_t> from8 = Convert16(m_engine, patch.srgb.data(), kKelvraRGB8, kKelvraLab16, 1);
        const std::vector<std::uint16_t> from16 = Convert16(m_engine, wide, kKelvraRGB16, kKelvraLab16, 1);
        EXPECT_LE(DeltaE(patch.lab, DecodeLab16(from8.data())), 0.5);
        EXPECT_LE(DeltaE(patch.lab, DecodeLab16(from16.data())), 0.5);
    }
}

TEST_F(ColourEngineTest, LChSamplesAreLightnessChromaAndHueOfLab)
{
    SetUpEngine(m_engine, "TLsRGB.icm", "TLLch2.icm");
    for (const LabPatch& patch : kLabPatches) {
        SCOPED_TRACE(testing::Message() << "sRGB " << int(patch.srgb[0]) << "," << int(patch.srgb[1]) << ","
                                        << int(patch.srgb[2]));
        const std::vector<std::uint16_t> lch = Convert16(m_engine, patch.srgb.data(), kKelvraRGB8, kKelvraLCh16, 1);
        const double chroma = std::hypot(patch.lab.a, patch.lab.b);
        EXPECT_NEAR(patch.lab.L, lch[0] * 100.0 / 65535.0, 0.25);
        EXPECT_NEAR(chroma, lch[1] * 200.0 / 65535.0, 0.4);
        if (chroma > 1) {
            const double hue = std::atan2(patch.lab.b, patch.lab.a) * 180.0 / 3.14159265358979323846;
            EXPECT_LE(HueDistance(hue, lch[2] * 360.0 / 65536.0), 0.3);
        }
    }
}

TEST_F(ColourEngineTest, LChConvertsBackToTheSameColours)
{
    const std::vector<std::uint8_t> colours = {255, 0, 0, 250, 10, 5, 12, 200, 40, 30, 60, 220, 128, 128, 128,
                                               255, 255, 255, 0, 0, 0, 200, 150, 100, 180, 20, 200};
    CKelvraFilterCMLEngine back;
    SetUpEngine(m_engine, "TLsRGB.icm", "TLLch2.icm");
    SetUpEngine(back, "TLLch2.icm", "TLsRGB.icm");
    const long count = long(colours.size() / 3);
    std::vector<std::uint16_t> lch(colours.size());
    std::vector<std::uint8_t> again(colours.size());
    ExpectOk(m_engine.Convert(colours.data(), kKelvraRGB8, lch.data(), kKelvraLCh16, count));
    ExpectOk(back.Convert(lch.data(), kKelvraLCh16, again.data(), kKelvraRGB8, count));
    for (std::size_t i = 0; i < colours.size(); ++i)
        EXPECT_NEAR(colours[i], again[i], 1) << "sample " << i;
}

// 8-bit LCh is 16-bit LCh at a coarser step; the hue keeps its full turn.
TEST_F(ColourEngineTest, EightBitLChIsTheSameEncodingAtAnEighthOfTheBits)
{
    const std::vector<std::uint8_t> colours = {255, 0, 0, 12, 200, 40, 30, 60, 220, 200, 150, 100, 180, 20, 200};
    SetUpEngine(m_engine, "TLsRGB.icm", "TLLch2.icm");
    const long count = long(colours.size() / 3);
    const std::vector<std::uint16_t> wide = Convert16(m_engine, colours.data(), kKelvraRGB8, kKelvraLCh16, count);
    const std::vector<std::uint8_t> narrow = Convert8(m_engine, colours, kKelvraRGB8, kKelvraLCh8);
    for (std::size_t i = 0; i < narrow.size(); i += 3) {
        EXPECT_NEAR(wide[i] / 257.0, narrow[i], 1) << "L of pixel " << i / 3;
        EXPECT_NEAR(wide[i + 1] / 257.0, narrow[i + 1], 1) << "C of pixel " << i / 3;
        EXPECT_LE(HueDistance(wide[i + 2] * 360.0 / 65536, narrow[i + 2] * 360.0 / 256), 1.5) << "pixel " << i / 3;
    }
}

TEST_F(ColourEngineTest, GreysStayGreyAndTheGreyProfileGivesNeutrals)
{
    SetUpEngine(m_engine, "TLGrayG22.icm", "TLsRGB.icm");
    const std::vector<std::uint8_t> greys = {0, 30, 90, 128, 200, 255};
    const std::vector<std::uint8_t> rgb = Convert8(m_engine, greys, kKelvraGrey8, kKelvraRGB8);
    for (std::size_t i = 0; i < greys.size(); ++i) {
        EXPECT_EQ(rgb[3 * i], rgb[3 * i + 1]) << "grey " << int(greys[i]);
        EXPECT_EQ(rgb[3 * i], rgb[3 * i + 2]) << "grey " << int(greys[i]);
    }
    EXPECT_EQ(0, rgb.front());
    EXPECT_EQ(255, rgb.back());
}

TEST_F(ColourEngineTest, SimpleCmykRoundTripKeepsColoursAndPutsGreyInBlack)
{
    CKelvraFilterCMLEngine back;
    SetUpEngine(m_engine, "TLsRGB.icm", "TlCMYK.icm");
    SetUpEngine(back, "TlCMYK.icm", "TLsRGB.icm");
    const std::vector<std::uint8_t> colours = {255, 255, 255, 0, 0, 0, 128, 128, 128, 200, 60, 30, 40, 160, 220};
    const std::vector<std::uint8_t> cmyk = Convert8(m_engine, colours, kKelvraRGB8, kKelvraCMYK8);
    const std::vector<std::uint8_t> again = Convert8(back, cmyk, kKelvraCMYK8, kKelvraRGB8);
    for (std::size_t i = 0; i < colours.size(); ++i)
        EXPECT_NEAR(colours[i], again[i], 3) << "sample " << i;
    for (int c = 0; c < 4; ++c)
        EXPECT_LE(cmyk[std::size_t(c)], 1) << "white uses no ink";
    for (int c = 0; c < 3; ++c)
        EXPECT_LE(cmyk[std::size_t(8 + c)], 2) << "grey uses black ink only";
    EXPECT_GE(cmyk[7], 253) << "black is all black ink";
}

// The monitor profile is sRGB under another name: converting into it leaves
// every sample as it is, at any intent.
TEST_F(ColourEngineTest, ProfilesThatDifferOnlyInTheirNamesLeaveTheSamples)
{
    std::vector<std::uint8_t> colours;
    for (int level = 0; level < 256; ++level) {
        colours.push_back(std::uint8_t(level));
        colours.push_back(std::uint8_t(255 - level));
        colours.push_back(std::uint8_t((level * 7) % 256));
    }
    SetUpEngine(m_engine, "TLsRGB.icm", "TLMonitor_Win.icm");
    for (long intent : {0L, 1L, 3L}) {
        SCOPED_TRACE(intent);
        ExpectOk(m_engine.SetRenderingIntent(intent));
        EXPECT_EQ(colours, Convert8(m_engine, colours, kKelvraRGB8, kKelvraRGB8));
    }
}

TEST_F(ColourEngineTest, ProofThroughTheDestinationChangesNothingAndThroughGreyGivesNeutrals)
{
    const std::vector<std::uint8_t> colours = {255, 0, 0, 20, 180, 90, 128, 64, 200};
    SetUpEngine(m_engine, "TLsRGB.icm", "TLAdobe.icm");
    const std::vector<std::uint8_t> proofed = Convert8(m_engine, colours, kKelvraRGB8, kKelvraRGB8);
    ExpectOk(m_engine.SetProofMode(false));
    EXPECT_EQ(Convert8(m_engine, colours, kKelvraRGB8, kKelvraRGB8), proofed);

    ExpectOk(m_engine.SetProfiles(ColourProfile("TLsRGB.icm"), ColourProfile("TLAdobe.icm"),
                                  ColourProfile("TLGrayG22.icm")));
    ExpectOk(m_engine.SetProofMode(true));
    const std::vector<std::uint8_t> grey = Convert8(m_engine, colours, kKelvraRGB8, kKelvraRGB8);
    for (std::size_t i = 0; i < grey.size(); i += 3) {
        EXPECT_NEAR(grey[i], grey[i + 1], 1) << "pixel " << i / 3;
        EXPECT_NEAR(grey[i], grey[i + 2], 1) << "pixel " << i / 3;
    }
}

TEST_F(ColourEngineTest, ProfileFileNamesMatchWithoutRegardToLetterCase)
{
    const std::string folder = ColourProfilesFolder().Path();
    ExpectOk(m_engine.SetProfiles(KelvraFile((folder + "tlsrgb.ICM").c_str()), KelvraFile((folder + "TLCMYK.icm").c_str()),
                                  KelvraFile()));
    std::uint8_t cmyk[4] = {};
    const std::uint8_t white[3] = {255, 255, 255};
    ExpectOk(m_engine.Convert(white, kKelvraRGB8, cmyk, kKelvraCMYK8, 1));
    EXPECT_LE(cmyk[3], 1);
}

TEST_F(ColourEngineTest, SetProfilesRefusesMissingOrUnusableFilesAndKeepsItsProfiles)
{
    SetUpEngine(m_engine, "TLsRGB.icm", "TLAdobe.icm");
    const std::string notAProfile = ColourProfilesFolder().Write("not-a-profile.icm", std::string(300, 'x'));
    struct Case {
        KelvraFile source;
        KelvraFile destination;
        KelvraFile proof;
        long code;
    };
    const Case cases[] = {
        {KelvraFile(), ColourProfile("TLAdobe.icm"), KelvraFile(), kKelvraMissingObject},
        {ColourProfile("TLsRGB.icm"), KelvraFile(), KelvraFile(), kKelvraMissingObject},
        {ColourProfile("TLsRGB.icm"), ColourProfile("NoSuchProfile.icm"), KelvraFile(), kKelvraMissingObject},
        {ColourProfile("TLsRGB.icm"), ColourProfile("TLAdobe.icm"), ColourProfile("Gone.icm"), kKelvraMissingObject},
        {KelvraFile(notAProfile.c_str()), ColourProfile("TLAdobe.icm"), KelvraFile(), kKelvraUnsupportedFormat},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destination.path);
        EXPECT_EQ(c.code, CauseCode(m_engine.SetProfiles(c.source, c.destination, c.proof)));
    }
    KelvraFile destination;
    ExpectOk(m_engine.GetProfiles(nullptr, &destination, nullptr));
    EXPECT_STREQ(ColourProfile("TLAdobe.icm").path, destination.path);
}

TEST_F(ColourEngineTest, GetProfilesGivesWholeRecordsThatCompareEqualForEqualPaths)
{
    KelvraFile source = ColourProfile("TLsRGB.icm"), destination = ColourProfile("TLsRGB.icm");
    std::memset(destination.path + std::strlen(destination.path) + 1, 'z', 10); // bytes after the text
    ExpectOk(m_engine.SetProfiles(source, destination, KelvraFile()));
    KelvraFile first, second, third;
    std::memset(first.path, 1, sizeof first.path);
    std::memset(second.path, 2, sizeof second.path);
    std::memset(third.path, 3, sizeof third.path);
    ExpectOk(m_engine.GetProfiles(&first, &second, nullptr));
    EXPECT_EQ(0, std::memcmp(&first, &second, sizeof first));
    EXPECT_EQ(3, third.path[0]) << "a null record is skipped, this one untouched";
    ExpectOk(m_engine.GetProfiles(nullptr, nullptr, &third));
    EXPECT_EQ(0, third.path[0]);
}

TEST_F(ColourEngineTest, SettingsAreCheckedAndEveryRealChangeIsANewGeneration)
{
    SetUpEngine(m_engine, "TLsRGB.icm", "TLAdobe.icm", 0);
    unsigned long generation = m_engine.GetGeneration();
    EXPECT_EQ(kKelvraBadArgument, CauseCode(m_engine.SetRenderingIntent(4)));
    EXPECT_EQ(kKelvraBadArgument, CauseCode(m_engine.SetRenderingIntent(-1)));
    ExpectOk(m_engine.SetRenderingIntent(0));
    ExpectOk(m_engine.SetProofMode(true));
    EXPECT_EQ(generation, m_engine.GetGeneration());
    for (long intent = 1; intent <= 3; ++intent) {
        ExpectOk(m_engine.SetRenderingIntent(intent));
        EXPECT_EQ(intent, m_engine.GetRenderingIntent());
        EXPECT_NE(generation, m_engine.GetGeneration());
        generation = m_engine.GetGeneration();
    }
    ExpectOk(m_engine.SetProofMode(false));
    EXPECT_FALSE(m_engine.GetProofMode());
    EXPECT_NE(generation, m_engine.GetGeneration());
    CKelvraFilterCMLEngine other;
    EXPECT_NE(other.GetGeneration(), m_engine.GetGeneration());
}

TEST_F(ColourEngineTest, PixelFormatsFollowTheProfilesColourSpaces)
{
    struct Case {
        const char* source;
        const char* destination;
        long bits;
        KelvraPixelFormat input;
        KelvraPixelFormat output;
    };
    const Case cases[] = {
        {"TLsRGB.icm", "TLAdobe.icm", 8, kKelvraRGB8, kKelvraRGB8},
        {"TLNTSC.icm", "TLLab.icm", 16, kKelvraRGB16, kKelvraLab16},
        {"TLLab.icm", "TLLch2.icm", 16, kKelvraLab16, kKelvraLCh16},
        {"TLLch2.icm", "TLMonitor_Win.icm", 8, kKelvraLCh8, kKelvraRGB8},
        {"TLGrayG22.icm", "TlCMYK.icm", 8, kKelvraGrey8, kKelvraCMYK8},
        {"TlCMYK.icm", "TLGrayG22.icm", 16, 0x10080202, kKelvraGrey16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.source << " to " << c.destination);
        SetUpEngine(m_engine, c.source, c.destination);
        KelvraPixelFormat input = 0, output = 0;
        ExpectOk(m_engine.GetInputFormat(c.bits, &input));
        ExpectOk(m_engine.GetOutputFormat(c.bits, &output));
        EXPECT_EQ(c.input, input);
        EXPECT_EQ(c.output, output);
        EXPECT_EQ(kKelvraBadArgument, CauseCode(m_engine.GetOutputFormat(12, &output)));
    }
}

TEST_F(ColourEngineTest, ConvertRefusesFormatsOfOtherSpacesAndWaitsForProfiles)
{
    std::uint16_t in[4] = {}, out[4] = {};
    EXPECT_EQ(kKelvraNotReady, CauseCode(m_engine.Convert(in, kKelvraRGB16, out, kKelvraRGB16, 1)));
    SetUpEngine(m_engine, "TLsRGB.icm", "TLLab.icm");
    EXPECT_EQ(kKelvraUnsupportedFormat, CauseCode(m_engine.Convert(in, kKelvraLab16, out, kKelvraLab16, 1)));
    EXPECT_EQ(kKelvraUnsupportedFormat, CauseCode(m_engine.Convert(in, kKelvraRGB16, out, kKelvraRGB16, 1)));
    EXPECT_EQ(kKelvraUnsupportedFormat, CauseCode(m_engine.Convert(in, kKelvraRawPlain, out, kKelvraLab16, 1)));
}

TEST_F(ColourEngineTest, ASameProfileEngineCopiesSamplesExactly)
{
    ExpectOk(m_engine.SetProfiles(ColourProfile("TLAdobe.icm"), ColourProfile("TLAdobe.icm"),
                                  ColourProfile("TLAdobe.icm")));
    ExpectOk(m_engine.SetProofMode(true));
    const std::uint16_t wide[6] = {0, 1, 2, 65535, 32768, 12345};
    EXPECT_EQ(std::vector<std::uint16_t>(wide, wide + 6), Convert16(m_engine, wide, kKelvraRGB16, kKelvraRGB16, 2));
    std::uint8_t narrow[6] = {};
    ExpectOk(m_engine.Convert(wide, kKelvraRGB16, narrow, kKelvraRGB8, 2));
    EXPECT_EQ(255, narrow[3]);
    EXPECT_EQ(128, narrow[4]);
}

// Several threads share one engine and its transforms.
TEST_F(ColourEngineTest, ThreadsConvertingAtOnceGetTheSameResults)
{
    SetUpEngine(m_engine, "TLsRGB.icm", "TLLch2.icm");
    std::vector<std::uint16_t> input(3 * 4096);
    for (std::size_t i = 0; i < input.size(); ++i)
        input[i] = std::uint16_t(i * 2654435761u >> 16);
    const std::vector<std::uint16_t> expected = Convert16(m_engine, input.data(), kKelvraRGB16, kKelvraLCh16, 4096);
    CKelvraFilterCMLEngine fresh; // transforms made while the threads run
    SetUpEngine(fresh, "TLsRGB.icm", "TLLch2.icm");
    std::vector<std::vector<std::uint16_t>> results(4, std::vector<std::uint16_t>(input.size()));
    std::vector<std::thread> threads;
    for (auto& result : results)
        threads.emplace_back([&fresh, &input, &result] {
            IKelvraError::Release(fresh.Convert(input.data(), kKelvraRGB16, result.data(), kKelvraLCh16, 4096));
        });
    for (std::thread& thread : threads)
        thread.join();
    for (const auto& result : results)
        EXPECT_EQ(expected, result);
}

} // namespace
