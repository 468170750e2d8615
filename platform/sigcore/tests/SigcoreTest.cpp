// The signal-processing library as its callers meet it: loaded by name, its
// entry point found by its written name, flat mosaics of each layout
// developed to their flat colours and rendered through the tone code's
// curve, and a run that the caller stops.
#include "sigcore/Sigcore.h"

#include "SigcoreToneOracle.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

namespace {

using sigcore_test::TonedValue;

struct Rgb {
    std::uint16_t r, g, b;
};

// What one filter site of a layout records of a flat colour.
std::uint16_t SiteOf(int layout, const Rgb& c, long x, long y)
{
    const long site = (y % 2) * 2 + x % 2;
    if (layout == kSigcoreLayoutYcgm) {
        const std::uint16_t ycgm[4] = {std::uint16_t((c.r + c.g) / 2), std::uint16_t((c.g + c.b) / 2), c.g,
                                       std::uint16_t((c.r + c.b) / 2)};
        return ycgm[site];
    }
    const std::uint16_t bggr[4] = {c.b, c.g, c.g, c.r};
    return bggr[site];
}

std::vector<std::uint16_t> FlatMosaic(int layout, const Rgb& colour, long width, long height)
{
    std::vector<std::uint16_t> mosaic(std::size_t(width * height));
    for (long y = 0; y < height; ++y)
        for (long x = 0; x < width; ++x)
            mosaic[std::size_t(y * width + x)] = SiteOf(layout, colour, x, y);
    return mosaic;
}

class SigcoreLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_module = LoadLibraryA("Sigcore.dll");
        ASSERT_NE(m_module, nullptr);
        m_entry = reinterpret_cast<SigProcExFn>(reinterpret_cast<void*>(GetProcAddress(m_module, "sig_proc_ex")));
        ASSERT_NE(m_entry, nullptr) << "sig_proc_ex is not exported by its written name";
    }
    void TearDown() override
    {
        if (m_module)
            FreeLibrary(m_module);
    }

    int Run(const std::vector<std::uint16_t>& mosaic, long width, long height, const SigcoreParams& p,
            std::vector<std::uint16_t>* output, int layout, SigcoreProgressFn progress = nullptr,
            void* context = nullptr)
    {
        return m_entry(mosaic.data(), int(height - 1), int(width), p.redGain, p.blueGain, p.sharpenCode,
                       p.toneCode, p.exposure, p.toneValue, nullptr, progress, context, output->data(), layout);
    }

    HMODULE m_module = nullptr;
    SigProcExFn m_entry = nullptr;
};

// Gains are in 1/128 for the YCGM sensor, 1/256 for the BGGR one.
constexpr SigcoreParams kNeutral{128, 128, 0, 0, 256, 256};
constexpr SigcoreParams kNeutralBggr{256, 256, 0, 0, 256, 256};

struct FlatCase {
    const char* name;
    int layout;
    long marginRows;
    SigcoreParams params;
    Rgb expected;
};

TEST_F(SigcoreLibrary, DevelopsFlatMosaicsOfEachLayoutToTheirColour)
{
    const Rgb colour{1000, 2000, 3000};
    const FlatCase cases[] = {
        {"YCGM neutral", kSigcoreLayoutYcgm, 2, kNeutral, {1000, 2000, 3000}},
        {"BGGR neutral", kSigcoreLayoutBggr, 3, kNeutralBggr, {1000, 2000, 3000}},
        {"YCGM red x2, blue x1/2", kSigcoreLayoutYcgm, 2, {256, 64, 0, 0, 256, 256}, {2000, 2000, 1500}},
        {"BGGR red x2, blue x1/2", kSigcoreLayoutBggr, 3, {512, 128, 0, 0, 256, 256}, {2000, 2000, 1500}},
        {"BGGR exposure x2 clips blue", kSigcoreLayoutBggr, 3, {256, 256, 0, 0, 512, 256}, {2000, 4000, 4095}},
    };
    const long width = 40;
    const long height = 36;
    for (const FlatCase& c : cases) {
        SCOPED_TRACE(c.name);
        const long outWidth = width - 16;
        const long outHeight = height - 2 * c.marginRows;
        std::vector<std::uint16_t> output(std::size_t(outWidth * outHeight * 3), 0xFFFF);
        ASSERT_EQ(Run(FlatMosaic(c.layout, colour, width, height), width, height, c.params, &output, c.layout),
                  kSigcoreDone);
        const Rgb toned{TonedValue(c.expected.r), TonedValue(c.expected.g), TonedValue(c.expected.b)};
        for (std::size_t i = 0; i < output.size(); i += 3) {
            ASSERT_NEAR(output[i], toned.r, 1) << "pixel " << i / 3;
            ASSERT_NEAR(output[i + 1], toned.g, 1) << "pixel " << i / 3;
            ASSERT_NEAR(output[i + 2], toned.b, 1) << "pixel " << i / 3;
        }
    }
}

// Each tone code renders a grey scale through its own curve; codes the
// library does not know render as the standard one.
TEST_F(SigcoreLibrary, EachToneCodeRendersItsCurve)
{
    const struct {
        int toneCode;
        double power;
    } cases[] = {
        {kSigcoreToneStandard, 1.0}, {kSigcoreToneAsShot, 1.0}, {kSigcoreToneDeeper, 1.1},
        {kSigcoreToneBrighter, 0.9}, {7, 1.0},                  {-1, 1.0},
    };
    const std::uint16_t greys[] = {0, 3, 12, 100, 410, 737, 1500, 2500, 4000, 4095};
    const long width = 24;
    const long height = 10;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.toneCode);
        const SigcoreParams params{256, 256, 0, c.toneCode, 256, 256};
        for (std::uint16_t grey : greys) {
            SCOPED_TRACE(grey);
            std::vector<std::uint16_t> output(std::size_t((width - 16) * (height - 6) * 3));
            ASSERT_EQ(Run(FlatMosaic(kSigcoreLayoutBggr, {grey, grey, grey}, width, height), width, height, params,
                          &output, kSigcoreLayoutBggr),
                      kSigcoreDone);
            for (std::uint16_t value : output)
                ASSERT_NEAR(value, TonedValue(grey, c.power), 1);
        }
    }
}

struct ProgressLog {
    int calls = 0;
    int stopAfter = -1; // answer 0 on this call (counted from 1)
    int lastDone = 0;
    int lastTotal = 0;
};

int __stdcall RecordProgress(int done, int total, void* context)
{
    auto* log = static_cast<ProgressLog*>(context);
    ++log->calls;
    log->lastDone = done;
    log->lastTotal = total;
    return log->calls == log->stopAfter ? 0 : 1;
}

TEST_F(SigcoreLibrary, ReportsProgressToTheEndAndStopsWhenTheCallerCancels)
{
    const long width = 32;
    const long height = 70;
    const auto mosaic = FlatMosaic(kSigcoreLayoutBggr, {100, 200, 300}, width, height);
    std::vector<std::uint16_t> output(std::size_t((width - 16) * (height - 6) * 3));

    ProgressLog whole;
    EXPECT_EQ(Run(mosaic, width, height, kNeutral, &output, kSigcoreLayoutBggr, RecordProgress, &whole),
              kSigcoreDone);
    EXPECT_GT(whole.calls, 1);
    EXPECT_EQ(whole.lastDone, height - 6);
    EXPECT_EQ(whole.lastTotal, height - 6);

    ProgressLog cancelled;
    cancelled.stopAfter = 1;
    EXPECT_EQ(Run(mosaic, width, height, kNeutral, &output, kSigcoreLayoutBggr, RecordProgress, &cancelled),
              kSigcoreCancelled);
    EXPECT_EQ(cancelled.calls, 1);
}

TEST_F(SigcoreLibrary, RefusesCallsItCannotDevelop)
{
    const auto mosaic = FlatMosaic(kSigcoreLayoutBggr, {1, 2, 3}, 32, 32);
    std::vector<std::uint16_t> output(16 * 32 * 3);
    EXPECT_EQ(Run(mosaic, 32, 32, kNeutral, &output, 7), kSigcoreBadArguments) << "unknown layout";
    EXPECT_EQ(Run(mosaic, 16, 32, kNeutral, &output, kSigcoreLayoutBggr), kSigcoreBadArguments)
        << "no columns inside the margins";
    EXPECT_EQ(Run(mosaic, 32, 6, kNeutral, &output, kSigcoreLayoutBggr), kSigcoreBadArguments)
        << "no rows inside the margins";
    EXPECT_EQ(Run(mosaic, 32, 32, {0, 128, 0, 0, 256, 256}, &output, kSigcoreLayoutBggr), kSigcoreBadArguments)
        << "zero gain";
    EXPECT_EQ(m_entry(nullptr, 31, 32, 128, 128, 0, 0, 256, 256, nullptr, nullptr, nullptr, output.data(),
                      kSigcoreLayoutBggr),
              kSigcoreBadArguments);
}

} // namespace
