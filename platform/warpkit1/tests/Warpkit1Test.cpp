// Warpkit1 on images held in memory: what its passes measure and make, and
// how its calls answer out of order or when a test plants a fault.
#include "warpkit1/Warpkit1.h"
#include "warpkit1/Warpkit1Testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// An image as planes of 16-bit samples: one plane (grey) or three.
struct MemImage {
    std::int32_t width = 0, height = 0, planes = 3;
    std::vector<std::uint16_t> samples;

    MemImage(std::int32_t w, std::int32_t h, std::int32_t p)
        : width(w), height(h), planes(p), samples(std::size_t(w) * std::size_t(h) * std::size_t(p))
    {
    }
    std::uint16_t& At(std::int32_t plane, std::int32_t x, std::int32_t y)
    {
        return samples[(std::size_t(plane) * std::size_t(height) + std::size_t(y)) * std::size_t(width) + std::size_t(x)];
    }
};

int g_failureToken; // what the allocate callback answers when it fails

WKITCallbackResult ReadRows(const WKITRect* rect, std::uint16_t* out, void* context)
{
    auto* image = static_cast<MemImage*>(context);
    const std::size_t plane = std::size_t(rect->right - rect->left) * std::size_t(rect->bottom - rect->top);
    for (std::int32_t p = 0; p < 3; ++p)
        for (std::int32_t y = rect->top; y < rect->bottom; ++y)
            for (std::int32_t x = rect->left; x < rect->right; ++x)
                out[std::size_t(p) * plane + std::size_t(y - rect->top) * std::size_t(rect->right - rect->left) +
                    std::size_t(x - rect->left)] = image->At(std::min(p, image->planes - 1), x, y);
    return nullptr;
}

WKITCallbackResult WriteRows(const WKITRect* rect, const std::uint16_t* in, void* context)
{
    auto* image = static_cast<MemImage*>(context);
    const std::size_t plane = std::size_t(rect->right - rect->left) * std::size_t(rect->bottom - rect->top);
    for (std::int32_t p = 0; p < image->planes; ++p)
        for (std::int32_t y = rect->top; y < rect->bottom; ++y)
            for (std::int32_t x = rect->left; x < rect->right; ++x)
                image->At(p, x, y) = in[std::size_t(p) * plane +
                                        std::size_t(y - rect->top) * std::size_t(rect->right - rect->left) +
                                        std::size_t(x - rect->left)];
    return nullptr;
}

WKITCallbackResult Allocate(void** block, std::size_t size)
{
    *block = size > (std::size_t(1) << 30) ? nullptr : std::malloc(size ? size : 1); // the planted failure asks for more
    return *block ? nullptr : &g_failureToken;
}

WKITCallbackResult Release(void* block)
{
    std::free(block);
    return nullptr;
}

WKITImageRecord RecordOf(MemImage& image, WKITRect region)
{
    WKITImageRecord record{};
    record.context = &image;
    record.width = image.width;
    record.height = image.height;
    record.region = region;
    record.streaming = 1;
    return record;
}

WKITParameters ParametersFor(const WKITImageRecord* input, std::int32_t pass)
{
    WKITParameters p{};
    p.size = sizeof p;
    p.version = 1;
    p.sampleBits = 16;
    p.inputCount = 1;
    p.lastRow = input->height - 1;
    p.pass = pass;
    p.read = ReadRows;
    p.write = WriteRows;
    p.allocate = Allocate;
    p.release = Release;
    p.input = input;
    return p;
}

class Warpkit1 : public ::testing::Test {
protected:
    void SetUp() override
    {
        WKITTestClearFaults();
        ASSERT_EQ(kWKITOk, WKITLoad());
        m_engine = WKITNew(11, 0, 0);
        ASSERT_NE(nullptr, m_engine);
        WKITPassEvent drop[64];
        WKITTestTakePassLog(drop, 64);
    }
    void TearDown() override
    {
        WKITTestClearFaults();
        EXPECT_EQ(kWKITOk, WKITDelete(m_engine));
        EXPECT_EQ(kWKITOk, WKITUnload());
    }

    int RunToEnd(int slice)
    {
        int percent = 0, result = kWKITOk;
        while (result == kWKITOk && !WKITComplete(m_engine))
            result = WKITProcess(m_engine, slice, &percent, &m_message);
        return result == kWKITOk ? WKITEnd(m_engine, &m_message) : result;
    }

    // The statistics pass over the whole source.
    MemImage Measure(MemImage& source)
    {
        m_input = RecordOf(source, {0, 0, source.width, source.height});
        const WKITParameters p = ParametersFor(&m_input, kWKITStatisticsPass);
        WKITOutputDescription out{};
        EXPECT_EQ(kWKITOk, WKITInit(m_engine, &p, &out, &m_message));
        MemImage stats(out.statisticsWidth, out.statisticsHeight, 1);
        WKITImageRecord record = RecordOf(stats, {0, 0, stats.width, stats.height});
        EXPECT_EQ(kWKITOk, WKITSetStatisticsImageInfo(m_engine, &record));
        EXPECT_EQ(kWKITOk, WKITBegin(m_engine, &m_message));
        EXPECT_EQ(kWKITOk, RunToEnd(100));
        return stats;
    }

    // The rendering pass over the whole source as one band.
    MemImage Render(MemImage& source, MemImage& stats, std::int32_t shadow, std::int32_t pivot,
                    std::int32_t highlight)
    {
        const WKITRect all = {0, 0, source.width, source.height};
        m_input = RecordOf(source, all);
        MemImage output(source.width, source.height, source.planes);
        MemImage work(source.width + 48, source.height + 48, 3);
        const WKITImageRecord statsRecord = RecordOf(stats, all), outRecord = RecordOf(output, all),
                              workRecord = RecordOf(work, {0, 0, work.width, work.height});
        WKITParameters p = ParametersFor(&m_input, kWKITRenderPass);
        p.statistics = &statsRecord;
        p.output = &outRecord;
        p.work = &workRecord;
        const std::int32_t values[5] = {-1, -1, shadow, pivot, highlight};
        std::memcpy(p.values, values, sizeof values);
        WKITOutputDescription out{};
        EXPECT_EQ(kWKITOk, WKITInit(m_engine, &p, &out, &m_message));
        EXPECT_EQ(kWKITOk, WKITBegin(m_engine, &m_message));
        EXPECT_EQ(kWKITOk, RunToEnd(7));
        return output;
    }

    WKITHandle m_engine = nullptr;
    WKITImageRecord m_input{};
    WKITMessage m_message{};
};

// Dark on the left, bright on the right, a ramp down the rows.
MemImage TwoHalves(std::int32_t planes)
{
    MemImage image(80, 50, planes);
    for (std::int32_t p = 0; p < planes; ++p)
        for (std::int32_t y = 0; y < image.height; ++y)
            for (std::int32_t x = 0; x < image.width; ++x)
                image.At(p, x, y) = std::uint16_t((x < 40 ? 6000 : 56000) + 40 * y + 300 * p);
    return image;
}

TEST_F(Warpkit1, StatisticsAreTheMeanBrightnessOfEachBlock)
{
    MemImage source(70, 40, 3); // blocks of 32: three across (the last 6 wide), two down (the last 8 high)
    for (std::int32_t y = 0; y < 40; ++y)
        for (std::int32_t x = 0; x < 70; ++x) {
            source.At(0, x, y) = std::uint16_t(1000 * (x / 32) + 4000);
            source.At(1, x, y) = std::uint16_t(2000 * (y / 32) + 8000);
            source.At(2, x, y) = 12000;
        }
    MemImage stats = Measure(source);
    ASSERT_EQ(3, stats.width);
    ASSERT_EQ(2, stats.height);
    for (std::int32_t j = 0; j < 2; ++j)
        for (std::int32_t i = 0; i < 3; ++i)
            EXPECT_EQ((1000 * i + 4000 + 2 * (2000 * j + 8000) + 12000 + 2) / 4, stats.At(0, i, j)) << i << "," << j;
}

TEST_F(Warpkit1, ZeroStrengthsGiveTheSourceBack)
{
    for (std::int32_t planes : {1, 3}) {
        MemImage source = TwoHalves(planes);
        MemImage stats = Measure(source);
        EXPECT_EQ(source.samples, Render(source, stats, 0, 190, 0).samples);
        EXPECT_EQ(source.samples, Render(source, stats, 0, 26, 0).samples);
    }
}

TEST_F(Warpkit1, ShadowsAreLiftedAndHighlightsHeld)
{
    MemImage source = TwoHalves(3);
    MemImage stats = Measure(source);
    MemImage lifted = Render(source, stats, 127, 190, 127);
    for (std::int32_t p = 0; p < 3; ++p) {
        EXPECT_GT(lifted.At(p, 5, 25), source.At(p, 5, 25) + 4000);  // deep in the dark half
        EXPECT_LT(lifted.At(p, 75, 25), source.At(p, 75, 25));       // deep in the bright half
    }
    // The same again: nothing depends on anything but the inputs.
    EXPECT_EQ(lifted.samples, Render(source, stats, 127, 190, 127).samples);
    // A stronger lift lifts more.
    EXPECT_GT(Render(source, stats, 255, 190, 127).At(0, 5, 25), lifted.At(0, 5, 25));
}

TEST_F(Warpkit1, PlantedFaultsAnswerTheirCallOnce)
{
    MemImage source = TwoHalves(3);
    m_input = RecordOf(source, {0, 0, source.width, source.height});
    const WKITParameters p = ParametersFor(&m_input, kWKITStatisticsPass);
    WKITOutputDescription out{};
    WKITTestFailCall(kWKITCallInit, 1, kWKITMessage, "no luck");
    EXPECT_EQ(kWKITOk, WKITInit(m_engine, &p, &out, &m_message));
    EXPECT_EQ(kWKITOk, WKITAbort(m_engine, &m_message));
    EXPECT_EQ(kWKITMessage, WKITInit(m_engine, &p, &out, &m_message));
    EXPECT_STREQ("no luck", m_message.text);
    EXPECT_EQ(kWKITOk, WKITInit(m_engine, &p, &out, &m_message));
    MemImage stats(out.statisticsWidth, out.statisticsHeight, 1);
    const WKITImageRecord record = RecordOf(stats, {0, 0, stats.width, stats.height});
    EXPECT_EQ(kWKITOk, WKITSetStatisticsImageInfo(m_engine, &record));
    WKITTestFailCall(kWKITCallProcess, 0, -7, nullptr);
    EXPECT_EQ(kWKITOk, WKITBegin(m_engine, &m_message));
    int percent = -1;
    EXPECT_EQ(-7, WKITProcess(m_engine, 32, &percent, &m_message));
    EXPECT_EQ(kWKITOk, WKITProcess(m_engine, 32, &percent, &m_message));
    EXPECT_EQ(50, percent);
    WKITTestFailAllocation(0);
    EXPECT_EQ(kWKITCallbackFailed, WKITProcess(m_engine, 32, &percent, &m_message));
    EXPECT_EQ(&g_failureToken, m_message.callbackError);
    EXPECT_EQ(kWKITOk, RunToEnd(32));
}

TEST_F(Warpkit1, CallsOutOfOrderAreRefusedAndPassesLogged)
{
    int percent = 0;
    EXPECT_EQ(kWKITBadState, WKITProcess(m_engine, 10, &percent, &m_message));
    EXPECT_EQ(kWKITBadState, WKITBegin(m_engine, &m_message));
    EXPECT_EQ(kWKITBadState, WKITEnd(m_engine, &m_message));
    EXPECT_EQ(kWKITOk, WKITAbort(m_engine, &m_message)); // nothing to abort
    EXPECT_EQ(nullptr, WKITNew(1, 0, 0));
    EXPECT_EQ(nullptr, WKITNew(12, 0, 0));
    MemImage source = TwoHalves(1);
    m_input = RecordOf(source, {0, 0, source.width, source.height});
    WKITParameters p = ParametersFor(&m_input, kWKITStatisticsPass);
    WKITOutputDescription out{};
    p.size = 280;
    EXPECT_EQ(kWKITBadRecord, WKITInit(m_engine, &p, &out, &m_message));
    MemImage stats = Measure(source);
    p = ParametersFor(&m_input, kWKITStatisticsPass);
    EXPECT_EQ(kWKITOk, WKITInit(m_engine, &p, &out, &m_message));
    EXPECT_EQ(kWKITBadState, WKITInit(m_engine, &p, &out, &m_message));
    EXPECT_EQ(kWKITOk, WKITAbort(m_engine, &m_message));
    WKITPassEvent events[8];
    ASSERT_EQ(4, WKITTestTakePassLog(events, 8));
    const int serial = WKITTestEngineSerial(m_engine);
    const int expected[4] = {1, 0, 1, 0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(serial, events[i].engine);
        EXPECT_EQ(expected[i], events[i].started);
    }
}

} // namespace
