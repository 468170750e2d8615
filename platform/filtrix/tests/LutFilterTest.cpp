#include "FilterTestSupport.h"
#include "ProcessRunCheck.h"

#include "filtrix/KelvraFilterLut.h"

#include <cstdint>
#include <vector>

namespace {

// Scrambled tables, so that a wrong index or a wrong channel shows.
std::vector<std::vector<std::uint16_t>> MakeTables(long inBits, long outBits, long count)
{
    std::vector<std::vector<std::uint16_t>> tables(static_cast<std::size_t>(count));
    const unsigned entries = 1u << inBits, top = (1u << outBits) - 1;
    for (long c = 0; c < count; ++c) {
        for (unsigned i = 0; i < entries; ++i)
            tables[std::size_t(c)].push_back(std::uint16_t((i * unsigned(c + 3) + 17u * unsigned(c)) & top));
    }
    return tables;
}

std::vector<const std::uint16_t*> Pointers(const std::vector<std::vector<std::uint16_t>>& tables)
{
    std::vector<const std::uint16_t*> pointers;
    for (const auto& table : tables)
        pointers.push_back(table.data());
    return pointers;
}

// The entry a sample reads, as the callers' tables expect it.
unsigned ReferenceIndex(unsigned sample, unsigned depth, long inBits)
{
    if (inBits == long(depth))
        return sample;
    if (inBits < long(depth))
        return sample >> (depth - unsigned(inBits)); // 12-bit tables on 16-bit data: sample >> 4
    return sample * 257; // 16-bit tables on 8-bit data
}

// An entry brought to the output samples: 8 and 16 bits as they are, 12 bits stretched.
unsigned ReferenceOutput(unsigned entry, long outBits)
{
    return outBits == 12 ? (entry * 65535 + 2047) / 4095 : entry;
}

struct LutCase {
    const char* what;
    KelvraPixelFormat input;
    long inBits;
    long outBits;
    long count;
    KelvraPixelFormat output;
};

const LutCase kCases[] = {
    {"8-bit table on 8-bit grey", kKelvraGrey8, 8, 8, 1, kKelvraGrey8},
    {"12-bit tables on 16-bit RGB", kKelvraRGB16, 12, 16, 3, kKelvraRGB16},
    {"16-bit tables on 8-bit RGB make 16-bit RGB", kKelvraRGB8, 16, 16, 3, kKelvraRGB16},
    {"8-bit tables on 16-bit RGB make 8-bit RGB", kKelvraRGB16, 8, 8, 3, kKelvraRGB8},
    {"one shared table on LCh", kKelvraLCh16, 16, 16, 1, kKelvraLCh16},
    {"three tables on Lab", kKelvraLab16, 16, 16, 3, kKelvraLab16},
    {"four tables on CMYK", kKelvraCMYK8, 8, 8, 4, kKelvraCMYK8},
    {"three tables on CMYK leave black alone", kKelvraCMYK8, 8, 8, 3, kKelvraCMYK8},
    {"three tables on grey use the first", kKelvraGrey16, 12, 16, 3, kKelvraGrey16},
    {"12-bit output stretched to 16 bits", kKelvraGrey16, 16, 12, 1, kKelvraGrey16},
};

class LutFilterTest : public ::testing::Test {
protected:
    IKelvraManager* Manager() { return m_holder.manager; }
    // A pattern image feeding `lut`, which gets `count` scrambled tables.
    IKelvraImage* Feed(CKelvraFilterLut& lut, KelvraPixelFormat format, long inBits, long outBits, long count)
    {
        IKelvraImage* image = MakePatternImage(Manager(), 150, 90, format); // edges cut tiles
        ExpectOk(KelvraDataConnect(image, &lut));
        const auto tables = MakeTables(inBits, outBits, count);
        ExpectOk(lut.SetLUT(Pointers(tables).data(), inBits, outBits, count, false));
        return image;
    }
    ManagerHolder m_holder;
};

// What the filter must make of `input` samples for one case.
std::vector<unsigned> Reference(const LutCase& c, const std::vector<unsigned>& input,
                                const std::vector<std::vector<std::uint16_t>>& tables)
{
    const unsigned depth = KelvraBitsPerSample(c.input);
    const long planes = long(KelvraPlaneCount(c.input));
    const bool narrows = KelvraBitsPerSample(c.output) < depth, widens = KelvraBitsPerSample(c.output) > depth;
    std::vector<unsigned> expected;
    for (std::size_t i = 0; i < input.size(); ++i) {
        const long plane = long(i % std::size_t(planes));
        const long table = c.count == 1 ? 0 : plane;
        if (table >= c.count) { // no table: the value, at the output depth
            expected.push_back(narrows ? (input[i] * 255 + 32767) / 65535 : widens ? input[i] * 257 : input[i]);
            continue;
        }
        const unsigned entry = tables[std::size_t(table)][ReferenceIndex(input[i], depth, c.inBits)];
        expected.push_back(ReferenceOutput(entry, c.outBits));
    }
    return expected;
}

TEST_F(LutFilterTest, LooksUpEverySampleAcrossBitDepths)
{
    for (const LutCase& c : kCases) {
        SCOPED_TRACE(c.what);
        CKelvraFilterLut lut(Manager());
        IKelvraImage* image = Feed(lut, c.input, c.inBits, c.outBits, c.count);

        KelvraPixelFormat format = 0;
        ExpectOk(lut.GetColorSpace(&format));
        EXPECT_EQ(c.output, format);
        const std::vector<unsigned> output = ReadAllSamples(&lut);
        const auto tables = MakeTables(c.inBits, c.outBits, c.count);
        const std::vector<unsigned> expected = Reference(c, ReadAllSamples(image), tables);
        ASSERT_EQ(expected.size(), output.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(expected[i], output[i]) << "sample " << i;
        image->Release();
    }
}

TEST_F(LutFilterTest, ProcessRunMatchesPulledTiles)
{
    CKelvraFilterLut lut(Manager());
    IKelvraImage* image = Feed(lut, kKelvraRGB16, 12, 8, 3);
    ExpectRunMatchesPull(Manager(), lut, image);
    image->Release();
}

TEST_F(LutFilterTest, NoTablesPassTheSourceThroughAndTablesAreCopied)
{
    IKelvraImage* image = MakePatternImage(Manager(), 70, 70, kKelvraRGB8);
    CKelvraFilterLut lut(Manager());
    ExpectOk(KelvraDataConnect(image, &lut));
    const std::vector<unsigned> input = ReadAllSamples(image);
    EXPECT_EQ(input, ReadAllSamples(&lut));
    EXPECT_FALSE(lut.HasTables());

    auto tables = MakeTables(8, 8, 1);
    ExpectOk(lut.SetLUT(Pointers(tables).data(), 8, 8, 1, true));
    const std::vector<unsigned> looked = ReadAllSamples(&lut);
    tables[0].assign(256, 0); // the caller frees or reuses its tables
    ExpectOk(lut.Enable(false, false));
    ExpectOk(lut.Enable(true, false)); // drops the cache
    EXPECT_EQ(looked, ReadAllSamples(&lut));

    ExpectOk(lut.SetLUT(nullptr, 0, 0, 0, true));
    EXPECT_FALSE(lut.HasTables());
    EXPECT_EQ(input, ReadAllSamples(&lut));
    image->Release();
}

TEST_F(LutFilterTest, SetterTellsOnlyOfRealChangesAndOfANewDepthFirst)
{
    IKelvraImage* image = MakePatternImage(Manager(), 64, 64, kKelvraRGB8);
    CKelvraFilterLut lut(Manager());
    RecordingDestination sink;
    ExpectOk(KelvraDataConnect(image, &lut));
    ExpectOk(KelvraDataConnect(&lut, &sink));
    const auto narrow = MakeTables(8, 8, 3), wide = MakeTables(16, 16, 3);

    ExpectOk(lut.SetLUT(Pointers(narrow).data(), 8, 8, 3, true));
    ASSERT_EQ(1u, sink.notices.size());
    EXPECT_EQ(kKelvraNotifyData, sink.notices[0].code);
    EXPECT_EQ(KelvraRect(0, 0, 64, 64), sink.notices[0].rect);

    ExpectOk(lut.SetLUT(Pointers(narrow).data(), 8, 8, 3, true)); // the same tables
    EXPECT_EQ(1u, sink.notices.size());

    ExpectOk(lut.SetLUT(Pointers(wide).data(), 16, 16, 3, true)); // 8-bit data becomes 16-bit
    ASSERT_EQ(3u, sink.notices.size());
    EXPECT_EQ(kKelvraNotifyColorSpace, sink.notices[1].code);
    EXPECT_EQ(kKelvraNotifyData, sink.notices[2].code);

    ExpectOk(lut.Enable(false, false));
    ExpectOk(lut.SetLUT(Pointers(narrow).data(), 8, 8, 3, true));
    ExpectOk(lut.SetLUT(Pointers(wide).data(), 16, 16, 3, false));
    EXPECT_EQ(3u, sink.notices.size());
    ExpectOk(KelvraDataDisconnect(&lut, &sink));
    image->Release();
}

TEST_F(LutFilterTest, RefusesBadTablesAndKeepsTheOldOnes)
{
    CKelvraFilterLut lut(Manager());
    IKelvraImage* image = Feed(lut, kKelvraGrey8, 8, 8, 1);
    const auto tables = MakeTables(8, 8, 4);
    const std::vector<unsigned> before = ReadAllSamples(&lut);

    struct Bad {
        long inBits, outBits, count, code;
    };
    for (const Bad& bad : {Bad{0, 8, 1, kKelvraBadArgument}, Bad{17, 8, 1, kKelvraBadArgument},
                           Bad{8, 17, 1, kKelvraBadArgument}, Bad{8, 8, 5, kKelvraBadArgument}}) {
        ExpectError(lut.SetLUT(Pointers(tables).data(), bad.inBits, bad.outBits, bad.count, true), bad.code,
                    CKelvraFilterLut::kTag);
    }
    const std::uint16_t* missing[] = {tables[0].data(), nullptr};
    ExpectError(lut.SetLUT(missing, 8, 8, 2, true), kKelvraMissingObject, CKelvraFilterLut::kTag);
    EXPECT_EQ(1, lut.GetTableCount());
    EXPECT_EQ(8, lut.GetInputBits());
    EXPECT_EQ(before, ReadAllSamples(&lut));
    image->Release();
}

TEST_F(LutFilterTest, BitmapSourceFailsTheTileWithBadFormat)
{
    IKelvraImage* image = MakeBlankImage(Manager(), 40, 40, kKelvraBitmap);
    CKelvraFilterLut lut(Manager());
    ExpectOk(KelvraDataConnect(image, &lut));
    const auto tables = MakeTables(8, 8, 1);
    ExpectOk(lut.SetLUT(Pointers(tables).data(), 8, 8, 1, false));
    const void* data = nullptr;
    KelvraRect rect;
    long rowBytes = 0;
    ExpectError(lut.LockTile(0L, 0L, &data, &rect, &rowBytes), kKelvraUnsupportedFormat, CKelvraFilterLut::kTag);
    image->Release();
}

} // namespace
