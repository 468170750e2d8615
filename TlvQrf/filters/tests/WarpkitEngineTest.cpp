// The Warpkit1 engine wrapper: what each pass refuses, the band plan, the
// row callbacks' plane layouts, the mapping of engine results and the
// library's load count.
#include "RevelationTestSupport.h"

#include "filters/revelation/TlWarpkitBandPlan.h"

#include <functional>

using namespace pixel_test;
using namespace revelation_test;

namespace {

const KelvraTag kWkit = KelvraFourCC('W', 'K', 'I', 'T');

// Engines and images for one case of the argument tables.
struct Bench {
    explicit Bench(ManagerHolder& holder)
        : manager(holder.manager), source(MakePatternImage(manager, 60, 40, kKelvraRGB16)),
          destination(MakeBlankImage(manager, 1, 1, kKelvraRGB8)), streaming(manager, true), whole(manager, false)
    {
    }
    ~Bench()
    {
        ExpectOk(streaming.Close());
        ExpectOk(whole.Close());
        for (IKelvraImage* image : owned)
            image->Release();
        source->Release();
        destination->Release();
    }
    IKelvraImage* Own(IKelvraImage* image)
    {
        owned.push_back(image);
        return image;
    }
    IKelvraError* Measure() { return RunBothPassesUpTo(false); }
    IKelvraError* RunBothPassesUpTo(bool render)
    {
        IKelvraError* error = streaming.BeginStatistics(source, false, 16, 11, nullptr);
        error = error ? error : StepToEnd(streaming);
        if (!error && render)
            error = streaming.BeginRender(source, 0, 190, 0, destination, false, 16, 11, true, nullptr);
        return error;
    }

    IKelvraManager* manager;
    IKelvraImage* source;
    IKelvraImage* destination;
    CWarpkitEngine streaming;
    CWarpkitEngine whole;
    std::vector<IKelvraImage*> owned;
};

struct ArgumentCase {
    const char* name;
    long code;
    std::function<IKelvraError*(Bench&)> call;
};

void RunArgumentCases(const std::vector<ArgumentCase>& cases)
{
    for (const ArgumentCase& c : cases) {
        SCOPED_TRACE(c.name);
        ManagerHolder holder;
        {
            Bench bench(holder);
            ExpectError(c.call(bench), c.code, kWkit);
        }
        EXPECT_TRUE(WholeThingIsFree()); // closing ended whatever pass ran
    }
}

TEST(WarpkitEngineTest, TheStatisticsPassRefusesWhatItCannotMeasure)
{
    FaultScope faults;
    const KelvraRect narrow(0, 0, 15, 40), outside(10, 0, 61, 40), under512(0, 0, 511, 600);
    RunArgumentCases({
        {"no source", 1003, [](Bench& b) { return b.streaming.BeginStatistics(nullptr, false, 16, 11, nullptr); }},
        {"a pass running", 1002,
         [](Bench& b) {
             ExpectOk(b.streaming.BeginStatistics(b.source, false, 16, 11, nullptr));
             return b.streaming.BeginStatistics(b.source, false, 16, 11, nullptr);
         }},
        {"kind 1", 1007, [](Bench& b) { return b.streaming.BeginStatistics(b.source, false, 16, 1, nullptr); }},
        {"kind 12", 1007, [](Bench& b) { return b.streaming.BeginStatistics(b.source, false, 16, 12, nullptr); }},
        {"9 bits", 1007, [](Bench& b) { return b.streaming.BeginStatistics(b.source, false, 9, 11, nullptr); }},
        {"a Lab source", 1010,
         [](Bench& b) {
             return b.streaming.BeginStatistics(b.Own(MakeBlankImage(b.manager, 60, 40, kKelvraLab16)), false, 16,
                                                11, nullptr);
         }},
        {"a second source of another size", 1004,
         [](Bench& b) {
             return b.streaming.BeginStatistics(b.source, false, 16, 11, nullptr,
                                                b.Own(MakeBlankImage(b.manager, 60, 41, kKelvraGrey16)));
         }},
        {"a second source of another depth", 1004,
         [](Bench& b) {
             return b.streaming.BeginStatistics(b.source, false, 16, 11, nullptr,
                                                b.Own(MakeBlankImage(b.manager, 60, 40, kKelvraGrey8)));
         }},
        {"a region outside", 1012,
         [&](Bench& b) { return b.streaming.BeginStatistics(b.source, false, 16, 11, &outside); }},
        {"a streaming region under 16", 1004,
         [&](Bench& b) { return b.streaming.BeginStatistics(b.source, false, 16, 11, &narrow); }},
        {"a whole region under 512", 1004,
         [&](Bench& b) {
             return b.whole.BeginStatistics(b.Own(MakeBlankImage(b.manager, 600, 600, kKelvraGrey8)), false, 8, 11,
                                            &under512);
         }},
    });
}

TEST(WarpkitEngineTest, TheRenderingPassRefusesWhatItCannotRender)
{
    FaultScope faults;
    const KelvraRect low(0, 0, 60, 15), outside(0, 0, 60, 41), under24(0, 0, 60, 23);
    RunArgumentCases({
        {"no statistics yet", 1003,
         [](Bench& b) { return b.streaming.BeginRender(b.source, 0, 190, 0, b.destination, false, 16, 11, true, nullptr); }},
        {"no source", 1003,
         [](Bench& b) {
             ExpectOk(b.Measure());
             return b.streaming.BeginRender(nullptr, 0, 190, 0, b.destination, false, 16, 11, true, nullptr);
         }},
        {"no destination", 1003,
         [](Bench& b) {
             ExpectOk(b.Measure());
             return b.streaming.BeginRender(b.source, 0, 190, 0, nullptr, false, 16, 11, true, nullptr);
         }},
        {"a pass running", 1002,
         [](Bench& b) {
             ExpectOk(b.RunBothPassesUpTo(true));
             return b.streaming.BeginRender(b.source, 0, 190, 0, b.destination, false, 16, 11, true, nullptr);
         }},
        {"kind 12", 1007,
         [](Bench& b) {
             ExpectOk(b.Measure());
             return b.streaming.BeginRender(b.source, 0, 190, 0, b.destination, false, 16, 12, true, nullptr);
         }},
        {"7 bits", 1007,
         [](Bench& b) {
             ExpectOk(b.Measure());
             return b.streaming.BeginRender(b.source, 0, 190, 0, b.destination, false, 7, 11, true, nullptr);
         }},
        {"a Lab source", 1010,
         [](Bench& b) {
             ExpectOk(b.Measure());
             return b.streaming.BeginRender(b.Own(MakeBlankImage(b.manager, 60, 40, kKelvraLab16)), 0, 190, 0,
                                            b.destination, false, 16, 11, true, nullptr);
         }},
        {"statistics not 16-bit grey", 1010,
         [](Bench& b) {
             ExpectOk(b.Measure());
             ExpectOk(b.streaming.GetStatisticsImage()->SetColorSpace(kKelvraRGB16));
             return b.streaming.BeginRender(b.source, 0, 190, 0, b.destination, false, 16, 11, true, nullptr);
         }},
        {"a region outside", 1012,
         [&](Bench& b) {
             ExpectOk(b.Measure());
             return b.streaming.BeginRender(b.source, 0, 190, 0, b.destination, false, 16, 11, true, &outside);
         }},
        {"a streaming region under 16", 1004,
         [&](Bench& b) {
             ExpectOk(b.Measure());
             return b.streaming.BeginRender(b.source, 0, 190, 0, b.destination, false, 16, 11, true, &low);
         }},
        {"a whole region under 24", 1004,
         [&](Bench& b) {
             ExpectOk(b.Measure());
             ExpectOk(b.whole.BeginStatistics(b.Own(MakeBlankImage(b.manager, 600, 600, kKelvraGrey8)), false, 8,
                                              11, nullptr));
             ExpectOk(StepToEnd(b.whole));
             return b.whole.BeginRender(b.source, 0, 190, 0, b.destination, false, 16, 11, false, &under24);
         }},
        {"nothing to step", 1001, [](Bench& b) { return b.streaming.Step(nullptr, 100); }},
        {"nothing to abort", 1001, [](Bench& b) { return b.streaming.Abort(); }},
    });
}

TEST(WarpkitEngineTest, BandsHoldAtMost32MiBAndArePlannedIn64Bits)
{
    const struct {
        bool streaming;
        long bits, width, height, count, rows;
    } cases[] = {
        {true, 16, 4096, 1707, 2, 854},        // 6 bytes a pixel, 40 MiB
        {true, 8, 4096, 1707, 1, 1707},        // 3 bytes a pixel, 20 MiB
        {true, 16, 60000, 40000, 430, 94},     // 14.4 GB: beyond 32 bits
        {false, 16, 60000, 40000, 1, 40000},   // one band unless streaming
        {true, 12, 16, 16, 1, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        const TlWarpkitBandPlan plan = TlPlanBands(c.streaming, c.bits, c.width, c.height);
        EXPECT_EQ(c.count, plan.count);
        EXPECT_EQ(c.rows, plan.rows);
    }
}

TEST(WarpkitEngineTest, PercentRisesOverTheBands)
{
    FaultScope faults;
    ManagerHolder holder;
    IKelvraImage* source = MakePatternImage(holder.manager, 2400, 2400, kKelvraGrey16); // 6 x 2400^2 > 32 MiB
    IKelvraImage* destination = MakeBlankImage(holder.manager, 1, 1, kKelvraGrey16);
    CWarpkitEngine engine(holder.manager, true);
    ExpectOk(engine.BeginStatistics(source, false, 16, 11, nullptr));
    ExpectOk(StepToEnd(engine));
    ExpectOk(engine.BeginRender(source, 60, 190, 60, destination, false, 16, 11, true, nullptr));
    EXPECT_EQ(2, engine.GetBandPlan().count);
    std::vector<long> percents;
    ExpectOk(StepToEnd(engine, &percents));
    ASSERT_FALSE(percents.empty());
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(100, percents.back());
    EXPECT_TRUE(std::any_of(percents.begin(), percents.end(), [](long p) { return p > 0 && p < 50; }));
    EXPECT_TRUE(std::any_of(percents.begin(), percents.end(), [](long p) { return p > 50 && p < 100; }));
    EXPECT_EQ(nullptr, engine.GetWorkImage()); // released once no pass runs
    destination->Release();
    source->Release();
}

// The planes the read callback should give for `rect` of `source`.
std::vector<std::uint16_t> ExpectedPlanes(IKelvraDataSource* source, const WKITRect& rect, long planes)
{
    const SampleGrid grid = ReadSampleGrid(source);
    KelvraPixelFormat format = 0;
    ExpectOk(source->GetColorSpace(&format));
    std::vector<std::uint16_t> expected;
    for (long p = 0; p < planes; ++p)
        for (long y = rect.top; y < rect.bottom; ++y)
            for (long x = rect.left; x < rect.right; ++x) {
                const unsigned v = grid.At(x, y, std::min(p, grid.planes - 1));
                expected.push_back(std::uint16_t(KelvraIs16Bit(format) ? v : v * 257));
            }
    return expected;
}

TEST(WarpkitEngineTest, RowsTravelAsSixteenBitPlanes)
{
    ManagerHolder holder;
    const WKITRect rect = {5, 3, 20, 9};
    const std::size_t plane = 15 * 6;
    IKelvraImage* second = MakePatternImage(holder.manager, 70, 50, kKelvraGrey16);
    for (KelvraPixelFormat format : {kKelvraGrey8, kKelvraGrey16, kKelvraRGB8, kKelvraRGB16}) {
        SCOPED_TRACE(format);
        IKelvraImage* image = MakePatternImage(holder.manager, 70, 50, format);
        TlWarpkitImage context;
        context.source = image;
        std::vector<std::uint16_t> planes(4 * plane);
        ExpectOk(static_cast<IKelvraError*>(TlWarpkitReadRows(&rect, planes.data(), &context)));
        EXPECT_EQ(ExpectedPlanes(image, rect, 3), std::vector<std::uint16_t>(planes.begin(), planes.begin() + 3 * plane));
        context.second = second;
        ExpectOk(static_cast<IKelvraError*>(TlWarpkitReadRows(&rect, planes.data(), &context)));
        EXPECT_EQ(ExpectedPlanes(second, rect, 1), std::vector<std::uint16_t>(planes.begin() + 3 * plane, planes.end()));

        // Written back: grey takes plane 0, 8-bit images the high byte.
        IKelvraImage* target = MakeBlankImage(holder.manager, 70, 50, format);
        frame_test::NoticeSink sink;
        ExpectOk(KelvraDataConnect(target, &sink));
        std::vector<std::uint16_t> written(3 * plane);
        for (std::size_t i = 0; i < written.size(); ++i)
            written[i] = std::uint16_t(i * 517 + 3);
        TlWarpkitImage out;
        out.image = target;
        ExpectOk(static_cast<IKelvraError*>(TlWarpkitWriteRows(&rect, written.data(), &out)));
        const SampleGrid grid = ReadSampleGrid(target);
        for (long p = 0; p < grid.planes; ++p) {
            const std::size_t at = std::size_t(p) * plane + 2 * 15 + 4; // pixel (9, 5)
            EXPECT_EQ(KelvraIs16Bit(format) ? written[at] : unsigned(written[at] >> 8), grid.At(9, 5, p));
        }
        ASSERT_FALSE(sink.notices.empty());
        EXPECT_EQ(kKelvraNotifyData, sink.notices.back().code);
        EXPECT_EQ(KelvraRect(5, 3, 20, 9), sink.notices.back().rect);
        ExpectOk(KelvraDataDisconnect(target, &sink));
        target->Release();
        image->Release();
    }
    second->Release();
}

TEST(WarpkitEngineTest, MemoryCallbacksAllocateAndSuggestWithinTheCap)
{
    void* block = nullptr;
    ExpectOk(static_cast<IKelvraError*>(TlWarpkitAllocate(&block, 100)));
    EXPECT_NE(nullptr, block);
    ExpectOk(static_cast<IKelvraError*>(TlWarpkitRelease(block)));
    ExpectOk(static_cast<IKelvraError*>(TlWarpkitRelease(nullptr)));
    ExpectError(static_cast<IKelvraError*>(TlWarpkitAllocate(&block, std::size_t(-1) / 2)), kKelvraOutOfMemory, kWkit);
    const struct {
        std::size_t minimum, wish, suggested;
    } cases[] = {{10, 20, 20}, {30, 20, 30}, {1, std::size_t(64) << 20, std::size_t(32) << 20},
                 {std::size_t(40) << 20, std::size_t(64) << 20, std::size_t(40) << 20}};
    for (const auto& c : cases) {
        std::size_t size = 0;
        ExpectOk(static_cast<IKelvraError*>(TlWarpkitSuggest(c.minimum, c.wish, 0, &size)));
        EXPECT_EQ(c.suggested, size);
    }
}

TEST(WarpkitEngineTest, EngineResultsBecomeErrorChains)
{
    WKITMessage message{};
    EXPECT_EQ(nullptr, TlWarpkitResult(0, message, 1));

    std::strcpy(message.text, "the band is out of reach");
    IKelvraError* text = TlWarpkitResult(kWKITMessage, message, 1);
    ASSERT_NE(nullptr, text);
    EXPECT_STREQ("the band is out of reach", text->GetText());
    EXPECT_EQ(kWkit, text->GetTag());
    IKelvraError::Release(text);

    IKelvraError* inner = KELVRA_ERROR(nullptr, KelvraFourCC('I', 'n', 'n', 'r'), 4242);
    message.callbackError = inner;
    IKelvraError* wrapped = TlWarpkitResult(kWKITCallbackFailed, message, 1);
    ASSERT_NE(nullptr, wrapped);
    EXPECT_EQ(kWkit, wrapped->GetTag());
    EXPECT_EQ(inner, wrapped->GetInner());
    IKelvraError::Release(wrapped);

    for (int code : {-7, -5, 3}) {
        IKelvraError* other = TlWarpkitResult(code, message, 1);
        ASSERT_NE(nullptr, other);
        EXPECT_EQ(code, other->GetCode());
        EXPECT_EQ(kWkit, other->GetTag());
        IKelvraError::Release(other);
    }
}

TEST(WarpkitEngineTest, TheLibraryIsLoadedOnceAndUnloadedWhenTheLastEngineCloses)
{
    FaultScope faults;
    ManagerHolder holder;
    const long before = TlWarpkitLoadCount();
    CWarpkitEngine first(holder.manager, true), second(holder.manager, true);
    ExpectOk(first.Open(11));
    EXPECT_EQ(before + 1, TlWarpkitLoadCount());
    WKITTestFailCall(kWKITCallLoad, 0, -1, nullptr); // a second load would fail: none happens
    ExpectOk(second.Open(11));
    EXPECT_EQ(before + 2, TlWarpkitLoadCount());
    ExpectOk(second.Open(5)); // another kind: a new engine, the same user
    EXPECT_EQ(before + 2, TlWarpkitLoadCount());
    ExpectOk(first.Close());
    ExpectOk(second.Close());
    EXPECT_EQ(before, TlWarpkitLoadCount());

    WKITTestClearFaults();
    WKITTestFailCall(kWKITCallNew, 0, 0, nullptr);
    CWarpkitEngine failing(holder.manager, true);
    ExpectError(failing.Open(11), -5, kWkit);
    EXPECT_EQ(before, TlWarpkitLoadCount());
    ExpectOk(failing.Open(11)); // loaded again for the next user
    EXPECT_EQ(before + 1, TlWarpkitLoadCount());
}

} // namespace
