#include "ColourTestSupport.h"

#include "filtrix/KelvraFilterCML.h"

#include <cstring>
#include <vector>

namespace {

const long kWidth = 150, kHeight = 70; // edges cut tiles

class ColourFilterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUpEngine(m_engine, "TLsRGB.icm", "TLAdobe.icm");
        m_image = MakePatternImage(Manager(), kWidth, kHeight, kKelvraRGB8);
        ExpectOk(KelvraDataConnect(m_image, &m_filter));
    }
    void TearDown() override { m_image->Release(); }

    IKelvraManager* Manager() { return m_holder.manager; }
    KelvraPixelFormat OutputFormat()
    {
        KelvraPixelFormat format = 0;
        ExpectOk(m_filter.GetColorSpace(&format));
        return format;
    }
    // What the engine makes of the whole image in one call.
    std::vector<unsigned> EngineReference(KelvraPixelFormat outFormat)
    {
        const std::vector<unsigned> in = ReadAllSamples(m_image);
        std::vector<std::uint8_t> bytes(in.begin(), in.end());
        std::vector<std::uint16_t> out(std::size_t(kWidth * kHeight) * KelvraPlaneCount(outFormat));
        ExpectOk(m_engine.Convert(bytes.data(), kKelvraRGB8, out.data(), outFormat, kWidth * kHeight));
        std::vector<unsigned> samples;
        for (std::size_t i = 0; i < out.size(); ++i)
            samples.push_back(KelvraIs16Bit(outFormat) ? out[i] : reinterpret_cast<const std::uint8_t*>(out.data())[i]);
        return samples;
    }

    ManagerHolder m_holder;
    CKelvraFilterCMLEngine m_engine;
    CKelvraFilterCML m_filter{m_holder.manager};
    IKelvraImage* m_image = nullptr;
};

TEST_F(ColourFilterTest, TilesCarryTheEnginesConversionAtTheOutputDepth)
{
    ExpectOk(m_filter.SetCMLEngine(&m_engine, false));
    for (long bits : {8L, 16L}) {
        SCOPED_TRACE(bits);
        ExpectOk(m_filter.SetBitsPerComponent(true, bits, false));
        const KelvraPixelFormat format = bits == 8 ? kKelvraRGB8 : kKelvraRGB16;
        EXPECT_EQ(format, OutputFormat());
        EXPECT_EQ(EngineReference(format), ReadAllSamples(&m_filter));
    }
}

TEST_F(ColourFilterTest, TheOutputPixelFormatFollowsTheDestinationProfile)
{
    struct Case {
        const char* destination;
        long bits;
        KelvraPixelFormat format;
    };
    const Case cases[] = {
        {"TLLab.icm", 16, kKelvraLab16},   {"TLLch2.icm", 16, kKelvraLCh16}, {"TLLch2.icm", 8, kKelvraLCh8},
        {"TLGrayG22.icm", 8, kKelvraGrey8}, {"TlCMYK.icm", 8, kKelvraCMYK8},  {"TLAdobe.icm", 16, kKelvraRGB16},
    };
    ExpectOk(m_filter.SetCMLEngine(&m_engine, false));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destination);
        SetUpEngine(m_engine, "TLsRGB.icm", c.destination);
        ExpectOk(m_filter.SetBitsPerComponent(true, c.bits, false));
        EXPECT_EQ(c.format, OutputFormat());
        EXPECT_EQ(EngineReference(c.format), ReadAllSamples(&m_filter));
    }
}

TEST_F(ColourFilterTest, WithoutAnEngineOnlyTheDepthAndTheTablesChange)
{
    ExpectOk(m_filter.SetBitsPerComponent(true, 16, false));
    EXPECT_EQ(kKelvraRGB16, OutputFormat());
    const std::vector<unsigned> in = ReadAllSamples(m_image);
    const std::vector<unsigned> out = ReadAllSamples(&m_filter);
    ASSERT_EQ(in.size(), out.size());
    for (std::size_t i = 0; i < in.size(); ++i)
        ASSERT_EQ(in[i] * 257, out[i]) << "sample " << i;
}

// Input tables of 12 bits read the top 12 bits of 16-bit samples; a
// same-profile engine then passes the values on unchanged.
TEST_F(ColourFilterTest, InputTablesActBeforeTheConversion)
{
    IKelvraImage* wide = MakePatternImage(Manager(), kWidth, kHeight, kKelvraRGB16);
    CKelvraFilterCML filter(Manager());
    ExpectOk(KelvraDataConnect(wide, &filter));
    CKelvraFilterCMLEngine same;
    SetUpEngine(same, "TLsRGB.icm", "TLsRGB.icm");
    ExpectOk(filter.SetCMLEngine(&same, false));
    std::vector<std::uint16_t> tables[3];
    for (unsigned c = 0; c < 3; ++c) {
        tables[c].resize(4096);
        for (unsigned i = 0; i < 4096; ++i)
            tables[c][i] = std::uint16_t(c == 1 ? 65535 - 16 * i : (16 * i * (c + 1)) & 0xFFFF);
    }
    const std::uint16_t* pointers[3] = {tables[0].data(), tables[1].data(), tables[2].data()};
    ExpectOk(filter.SetLUT(false, true, pointers, 12, 16, 3, false));
    const std::vector<unsigned> in = ReadAllSamples(wide);
    const std::vector<unsigned> out = ReadAllSamples(&filter);
    ASSERT_EQ(in.size(), out.size());
    for (std::size_t i = 0; i < in.size(); ++i)
        ASSERT_EQ(tables[i % 3][in[i] >> 4], out[i]) << "sample " << i;
    wide->Release();
}

// The hue table the chains install on the LCh stage: a turn by 9 degrees.
TEST_F(ColourFilterTest, OutputTablesActAfterTheConversion)
{
    SetUpEngine(m_engine, "TLsRGB.icm", "TLLch2.icm");
    ExpectOk(m_filter.SetCMLEngine(&m_engine, false));
    const std::vector<unsigned> plain = ReadAllSamples(&m_filter);
    std::vector<std::uint16_t> lightness(65536), chroma(65536), hue(65536);
    for (unsigned i = 0; i < 65536; ++i) {
        lightness[i] = std::uint16_t(i);
        chroma[i] = std::uint16_t(i / 2);
        hue[i] = std::uint16_t((1638 + i) % 65536);
    }
    const std::uint16_t* tables[3] = {lightness.data(), chroma.data(), hue.data()};
    ExpectOk(m_filter.SetLUT(true, true, tables, 16, 16, 3, false));
    const std::vector<unsigned> turned = ReadAllSamples(&m_filter);
    ASSERT_EQ(plain.size(), turned.size());
    for (std::size_t i = 0; i < plain.size(); i += 3) {
        ASSERT_EQ(plain[i], turned[i]);
        ASSERT_EQ(plain[i + 1] / 2, turned[i + 1]);
        ASSERT_EQ((plain[i + 2] + 1638) % 65536, turned[i + 2]);
    }
}

TEST_F(ColourFilterTest, GetLUTInfoReportsEachSide)
{
    std::vector<std::uint16_t> table(256, 7);
    const std::uint16_t* two[2] = {table.data(), nullptr};
    const std::uint16_t* three[3] = {table.data(), table.data(), table.data()};
    struct Step {
        bool side;
        bool enabled;
        const std::uint16_t* const* tables;
        long channels;
        // What each side then reports: enabled, bits of channel 1, count.
        bool inEnabled;
        long inBits;
        long inCount;
        bool outEnabled;
        long outBits;
        long outCount;
    };
    const Step steps[] = {
        {false, true, three, 3, true, 8, 3, false, 0, 0},
        {true, true, two, 2, true, 8, 3, true, 0, 1},
        {false, false, three, 3, false, 8, 0, true, 0, 1},
        {true, true, nullptr, 0, false, 8, 0, false, 0, 0},
        {false, true, nullptr, 3, false, 0, 0, false, 0, 0},
    };
    for (const Step& step : steps) {
        ExpectOk(m_filter.SetLUT(step.side, step.enabled, step.tables, 8, 8, step.channels, false));
        bool enabled = false;
        long bits = -1, count = -1;
        ExpectOk(m_filter.GetLUTInfo(false, 1, &enabled, &bits, &count));
        EXPECT_EQ(step.inEnabled, enabled);
        EXPECT_EQ(step.inBits, bits);
        EXPECT_EQ(step.inCount, count);
        ExpectOk(m_filter.GetLUTInfo(true, 1, &enabled, &bits, &count));
        EXPECT_EQ(step.outEnabled, enabled);
        EXPECT_EQ(step.outBits, bits);
        EXPECT_EQ(step.outCount, count);
        ExpectOk(m_filter.GetLUTInfo(true, 0, nullptr, nullptr, &count));
    }
    EXPECT_EQ(kKelvraBadArgument, CauseCode(m_filter.GetLUTInfo(false, 4, nullptr, nullptr, nullptr)));
    EXPECT_EQ(kKelvraBadArgument, CauseCode(m_filter.GetLUTInfo(false, -1, nullptr, nullptr, nullptr)));
}

TEST_F(ColourFilterTest, BadTablesAndDepthsAreRefused)
{
    std::vector<std::uint16_t> table(1 << 16);
    const std::uint16_t* tables[5] = {table.data(), table.data(), table.data(), table.data(), table.data()};
    EXPECT_EQ(kKelvraBadArgument, CauseCode(m_filter.SetLUT(false, true, tables, 8, 8, 5, false)));
    EXPECT_EQ(kKelvraBadArgument, CauseCode(m_filter.SetLUT(false, true, tables, 0, 8, 3, false)));
    EXPECT_EQ(kKelvraBadArgument, CauseCode(m_filter.SetLUT(true, true, tables, 8, 17, 3, false)));
    for (long bits : {0L, 1L, 12L, 32L})
        EXPECT_EQ(kKelvraBadArgument, CauseCode(m_filter.SetBitsPerComponent(true, bits, false)));
    EXPECT_EQ(16, m_filter.GetBitsPerComponent(true));
    EXPECT_EQ(16, m_filter.GetBitsPerComponent(false));
    ExpectOk(m_filter.SetBitsPerComponent(false, 8, false));
    EXPECT_EQ(8, m_filter.GetBitsPerComponent(false));
}

TEST_F(ColourFilterTest, ADepthChangeTellsOfTheNewFormatThenOfNewPixels)
{
    RecordingDestination sink;
    ExpectOk(KelvraDataConnect(&m_filter, &sink));
    ExpectOk(m_filter.SetCMLEngine(&m_engine, false));
    ExpectOk(m_filter.SetBitsPerComponent(true, 8, true));
    ASSERT_EQ(2u, sink.notices.size());
    EXPECT_EQ(kKelvraNotifyColorSpace, sink.notices[0].code);
    EXPECT_EQ(kKelvraNotifyData, sink.notices[1].code);
    EXPECT_EQ(KelvraRect(0, 0, kWidth, kHeight), sink.notices[1].rect);
    ExpectOk(m_filter.SetBitsPerComponent(true, 8, true)); // no change, no notice
    ExpectOk(m_filter.SetBitsPerComponent(false, 8, true)); // same output format: pixels only
    EXPECT_EQ(3u, sink.notices.size());
    ExpectOk(KelvraDataDisconnect(&m_filter, &sink));
}

TEST_F(ColourFilterTest, TheFilterHoldsAReferenceOnItsEngine)
{
    ExpectOk(m_filter.SetCMLEngine(&m_engine, false));
    EXPECT_EQ(&m_engine, m_filter.GetCMLEngine());
    EXPECT_EQ(1, m_engine.GetReferenceCount());
    ReadAllSamples(&m_filter); // a tile's own reference is gone when it is made
    EXPECT_EQ(1, m_engine.GetReferenceCount());
    {
        CKelvraFilterCML second(Manager());
        ExpectOk(second.SetCMLEngine(&m_engine, false));
        EXPECT_EQ(2, m_engine.GetReferenceCount());
    }
    EXPECT_EQ(1, m_engine.GetReferenceCount());

    auto* replacement = new CKelvraFilterCMLEngine;
    SetUpEngine(*replacement, "TLsRGB.icm", "TLNTSC.icm");
    ExpectOk(m_filter.SetCMLEngine(replacement, false));
    EXPECT_EQ(0, m_engine.GetReferenceCount());
    delete replacement;
    EXPECT_EQ(nullptr, m_filter.GetCMLEngine());
}

TEST_F(ColourFilterTest, AChangeOfTheEnginesSettingsDropsTheCachedTiles)
{
    ExpectOk(m_filter.SetCMLEngine(&m_engine, false));
    ExpectOk(m_filter.SetBitsPerComponent(true, 8, false));
    const std::vector<unsigned> adobe = ReadAllSamples(&m_filter);
    SetUpEngine(m_engine, "TLsRGB.icm", "TLNTSC.icm");
    const std::vector<unsigned> ntsc = ReadAllSamples(&m_filter);
    EXPECT_NE(adobe, ntsc);
    EXPECT_EQ(EngineReference(kKelvraRGB8), ntsc);
}

// What the engine manager's activity check reads: an engine from a profile
// to itself with no tables changes nothing.
TEST_F(ColourFilterTest, ASameProfileEngineWithoutTablesLeavesThePixels)
{
    CKelvraFilterCMLEngine same;
    SetUpEngine(same, "TLsRGB.icm", "TLsRGB.icm");
    ExpectOk(m_filter.SetCMLEngine(&same, false));
    ExpectOk(m_filter.SetBitsPerComponent(true, 8, false));
    EXPECT_EQ(ReadAllSamples(m_image), ReadAllSamples(&m_filter));
    long count = -1;
    ExpectOk(m_filter.GetLUTInfo(false, 0, nullptr, nullptr, &count));
    EXPECT_EQ(0, count);
    KelvraFile source, destination;
    ExpectOk(same.GetProfiles(&source, &destination, nullptr));
    EXPECT_EQ(0, std::memcmp(&source, &destination, sizeof source));
}

TEST_F(ColourFilterTest, AProcessRunWritesWhatThePreviewShows)
{
    SetUpEngine(m_engine, "TLsRGB.icm", "TLLab.icm");
    ExpectOk(m_filter.SetCMLEngine(&m_engine, false));
    IKelvraImage* destination = nullptr;
    ExpectOk(Manager()->CreateImage(&destination, 0));
    RunProcess(m_filter, m_image, destination);
    KelvraPixelFormat format = 0;
    ExpectOk(destination->GetColorSpace(&format));
    EXPECT_EQ(kKelvraLab16, format);
    EXPECT_EQ(ReadAllSamples(&m_filter), ReadAllSamples(destination));
    destination->Release();
}

TEST_F(ColourFilterTest, AnImageOfAnotherSpaceThanTheSourceProfileIsRefused)
{
    IKelvraImage* grey = MakePatternImage(Manager(), 10, 10, kKelvraGrey8);
    CKelvraFilterCML filter(Manager());
    ExpectOk(KelvraDataConnect(grey, &filter));
    ExpectOk(filter.SetCMLEngine(&m_engine, false));
    const void* data = nullptr;
    KelvraRect rect;
    long rowBytes = 0;
    IKelvraError* error = filter.LockTile(0, 0, &data, &rect, &rowBytes);
    EXPECT_TRUE(error && error->HasCode(kKelvraUnsupportedFormat));
    IKelvraError::Release(error);
    grey->Release();
}

} // namespace
