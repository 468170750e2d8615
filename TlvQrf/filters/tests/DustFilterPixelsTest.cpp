// The dust filter's pixels: the gain table, the mask bytes through every
// row routine, the centred mask, a map that goes away, and refused formats.
#include "DustTestSupport.h"
#include "FilterRigs.h"
#include "PixelFilterTestSupport.h"

#include "filters/dust/TlDustCorrection.h"
#include "filters/dust/TlDustFilter.h"
#include "filters/dust/TlDustMap.h"

#include <cmath>
#include <memory>

using namespace dust_test;
using namespace filter_test;

namespace {

constexpr KelvraTag kDust = KelvraFourCC('d', 'u', 's', 't');

TEST(DustGainTableTest, TellingRowsAndRange)
{
    const TlDustGain* table = GetDustGainTable();
    const struct {
        int b;
        unsigned shift;
        unsigned multiplier;
    } rows[] = {{0, 0, 65535}, {1, 9, 65024}, {3, 10, 42666}, {64, 15, 32768}, {127, 22, 33026}};
    for (const auto& r : rows) {
        EXPECT_EQ(r.shift, table[r.b].shift) << "b " << r.b;
        EXPECT_EQ(r.multiplier, table[r.b].multiplier) << "b " << r.b;
    }
    for (int b = 1; b < kDustGainEntries; ++b) {
        EXPECT_GE(table[b].multiplier, 32768u) << "b " << b;
        const double gain = 1.0 + table[b].multiplier / std::ldexp(1.0, table[b].shift);
        EXPECT_NEAR(128.0 / b, gain, 128.0 / b * 1e-4) << "b " << b;
    }
}

// A real map read from a record made by hand: tone tables that carry 8-bit
// values to 16-bit linear ones and back (or the identity for 16 bits), and
// the given mask.
std::unique_ptr<CDustMap> MapWithMask(IKelvraManager* manager, long width, long height, const Bytes& mask,
                                      bool wide)
{
    MapFields fields;
    fields.width = std::uint32_t(width);
    fields.height = std::uint32_t(height);
    fields.mask = mask;
    const std::size_t forward = wide ? 65536 : 256;
    fields.table.resize(forward + 65536);
    for (std::size_t i = 0; i < forward; ++i)
        fields.table[i] = std::uint16_t(wide ? i : i * 257);
    for (std::size_t k = 0; k < 65536; ++k)
        fields.table[forward + k] = std::uint16_t(wide ? k : (k + 128) / 257);
    const Bytes record = MapRecord(fields);
    auto map = std::make_unique<CDustMap>(manager);
    ExpectOk(map->Load(record.size(), record.data()));
    return map;
}

std::vector<unsigned> Row(const std::vector<unsigned>& pixelValues, int channels)
{
    std::vector<unsigned> samples;
    for (unsigned v : pixelValues)
        samples.insert(samples.end(), std::size_t(channels), v);
    return samples;
}

// Mask 0 drives a lit channel to the maximum and keeps 0 at 0; 64 doubles;
// 128 to 255 leave the pixel.
TEST(DustFilterPixelsTest, MaskBytesThroughEveryRowRoutine)
{
    const Bytes maskRow = {0, 64, 128, 200, 255};
    const struct {
        KelvraPixelFormat format;
        unsigned lit;
        unsigned max;
    } formats[] = {{kKelvraRGB16, 30000, 65535}, {kKelvraGrey16, 30000, 65535}, {kKelvraRGB8, 100, 255},
                   {kKelvraGrey8, 100, 255}};
    for (const auto& f : formats) {
        for (bool direct : {true, false}) {
            SCOPED_TRACE(testing::Message() << std::hex << f.format << (direct ? " direct" : " tone tables"));
            const int channels = int(KelvraPlaneCount(f.format));
            ManagerHolder holder;
            std::vector<unsigned> samples = Row({f.lit, f.lit, f.lit, f.lit, f.lit}, channels);
            const std::vector<unsigned> dark = Row({0, 0, 0, 0, 0}, channels);
            samples.insert(samples.end(), dark.begin(), dark.end());
            Bytes mask = maskRow;
            mask.insert(mask.end(), maskRow.begin(), maskRow.end());
            auto map = MapWithMask(holder.manager, 5, 2, mask, KelvraIs16Bit(f.format));
            pixel_test::FilterRig<Probe<CDustFilter>> rig(pixel_test::MakeImageOf(holder.manager, 5, 2, f.format, samples),
                                                         holder);
            ExpectOk(rig.filter.SetDustMap(map.get(), true));
            ExpectOk(rig.filter.SetToneMode(direct, true));
            EXPECT_FALSE(rig.filter.IsBypassed());
            std::vector<unsigned> expected = Row({f.max, 2 * f.lit, f.lit, f.lit, f.lit}, channels);
            expected.insert(expected.end(), dark.begin(), dark.end());
            EXPECT_EQ(expected, rig.Output());
        }
    }
}

// A surplus of three columns puts one on the left and two on the right.
TEST(DustFilterPixelsTest, LargerMaskIsCentredWithTheExtraColumnOnTheRight)
{
    ManagerHolder holder;
    const Bytes mask = {64, 128, 128, 128, 64, 64, 64, //
                        64, 128, 128, 128, 64, 64, 64};
    auto map = MapWithMask(holder.manager, 7, 2, mask, false);
    pixel_test::FilterRig<CDustFilter> rig(
        pixel_test::MakeImageOf(holder.manager, 4, 1, kKelvraGrey8, {100, 100, 100, 100}), holder);
    ExpectOk(rig.filter.SetDustMap(map.get(), true));
    ExpectOk(rig.filter.SetToneMode(true, true));
    EXPECT_EQ((std::vector<unsigned>{100, 100, 100, 200}), rig.Output());
}

// Across many tiles of picture and mask the output is the gain formula's.
TEST(DustFilterPixelsTest, ManyTilesFollowTheGainOfTheirMaskByte)
{
    ManagerHolder holder;
    const long width = 300, height = 200, maskWidth = 303, maskHeight = 205;
    Bytes mask(std::size_t(maskWidth * maskHeight));
    for (long y = 0; y < maskHeight; ++y)
        for (long x = 0; x < maskWidth; ++x)
            mask[std::size_t(y * maskWidth + x)] = std::uint8_t((x * 5 + y * 11) % 160);
    auto map = MapWithMask(holder.manager, maskWidth, maskHeight, mask, true);
    IKelvraImage* picture = MakePatternImage(holder.manager, width, height, kKelvraGrey16);
    const std::vector<unsigned> input = ReadAllSamples(picture);
    pixel_test::FilterRig<CDustFilter> rig(picture, holder);
    ExpectOk(rig.filter.SetDustMap(map.get(), true));
    ExpectOk(rig.filter.SetToneMode(true, true));
    const std::vector<unsigned> output = rig.Output();
    ASSERT_EQ(input.size(), output.size());
    const TlDustGain* gains = GetDustGainTable();
    long wrong = 0;
    for (long y = 0; y < height; ++y) {
        for (long x = 0; x < width; ++x) {
            const unsigned b = mask[std::size_t((y + 2) * maskWidth + x + 1)];
            const unsigned v = input[std::size_t(y * width + x)];
            unsigned expected = v;
            if (b < 128) {
                const std::uint64_t u = v + ((std::uint64_t(v) * gains[b].multiplier) >> gains[b].shift);
                expected = unsigned(u > 65535 ? 65535 : u);
            }
            wrong += output[std::size_t(y * width + x)] != expected ? 1 : 0;
        }
    }
    EXPECT_EQ(0, wrong);
}

TEST(DustFilterPixelsTest, DestroyedMapLeavesTheFilterPassingThrough)
{
    ManagerHolder holder;
    auto map = MapWithMask(holder.manager, kRigWidth, kRigHeight, Bytes(kRigWidth * kRigHeight, 0), false);
    ChainRig<CDustFilter> rig(kKelvraRGB8);
    ExpectOk(rig.filter.SetDustMap(map.get(), true));
    EXPECT_FALSE(rig.filter.IsBypassed());
    rig.filter.MarkFresh();
    map.reset();
    EXPECT_EQ(nullptr, rig.filter.GetDustMap());
    EXPECT_TRUE(rig.filter.IsBypassed());
    EXPECT_TRUE(rig.filter.IsStale());
    ExpectPixelsPassUnchanged(rig);

    // A filter that goes first leaves the map nothing to tell.
    auto second = MapWithMask(holder.manager, kRigWidth, kRigHeight, Bytes(kRigWidth * kRigHeight, 0), false);
    {
        ChainRig<CDustFilter> gone(kKelvraRGB8);
        ExpectOk(gone.filter.SetDustMap(second.get(), true));
    }
    second.reset();
}

TEST(DustFilterPixelsTest, OtherFormatsAreRefused)
{
    for (KelvraPixelFormat format : {kKelvraCMYK8}) {
        SCOPED_TRACE(testing::Message() << std::hex << format);
        ManagerHolder holder;
        auto map = MapWithMask(holder.manager, kRigWidth, kRigHeight, Bytes(kRigWidth * kRigHeight, 0), false);
        ChainRig<CDustFilter> rig(format);
        ExpectOk(rig.filter.SetDustMap(map.get(), true));
        ExpectOk(rig.filter.SetToneMode(true, true));
        frame_test::FakeTile tile(KelvraRect(0, 0, 64, 64), KelvraRect(0, 0, kRigWidth, kRigHeight), format);
        ExpectError(rig.filter.DoGenerateTile(&tile, nullptr), 1013, kDust);
        EXPECT_FALSE(tile.IsComplete());
    }
}

} // namespace
