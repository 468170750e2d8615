// The dust analyzer: which pictures it takes, whether it rescales, blurs or
// copies the reference and with which kernel, its progress and its states.
#include "DustTestSupport.h"

#include "filters/dust/TlDustAnalyzer.h"
#include "filters/dust/TlDustReference.h"

#include <algorithm>
#include <memory>

using namespace dust_test;

namespace {

constexpr KelvraTag kDust = KelvraFourCC('d', 'u', 's', 't');

// A reference of camera 1025 shot with a lens value of 50 at f/11 (code
// 84), with one dark blot of 30 by 30 pixels.
struct ReferenceRig {
    explicit ReferenceRig(std::uint32_t curveId = 1025, unsigned blotLevel = 20)
    {
        ReferenceFields fields;
        fields.curveId = curveId;
        fields.width = 160;
        fields.height = 120;
        Bytes pixels(160 * 120, 200);
        for (long y = 40; y < 70; ++y)
            for (long x = 60; x < 90; ++x)
                pixels[std::size_t(y * 160 + x)] = std::uint8_t(blotLevel);
        const Bytes record = ReferenceRecord(fields, pixels);
        ExpectOk(reference.Load(record.size(), record.data()));
    }
    ManagerHolder holder;
    CDustReference reference{holder.manager};
};

// The blur worked out pixel by pixel: the column sums over the kernel's
// height (an even side adds its two outer rows at half weight, halved
// whole), then their sums over its width alike, over e f, truncated; edges
// read the nearest pixel.
Bytes BoxBlurred(const Bytes& pixels, long width, long height, long e, long f)
{
    auto at = [&](long x, long y) {
        return long(pixels[std::size_t(std::clamp(y, 0L, height - 1) * width + std::clamp(x, 0L, width - 1))]);
    };
    auto sideSum = [](long size, auto&& sample) {
        const long half = (size - 1) / 2;
        long sum = 0;
        for (long d = -half; d <= half; ++d)
            sum += sample(d);
        return size % 2 == 0 ? sum + ((sample(-half - 1) + sample(half + 1)) >> 1) : sum;
    };
    Bytes out(pixels.size());
    for (long y = 0; y < height; ++y)
        for (long x = 0; x < width; ++x) {
            const long sum = sideSum(e, [&](long dx) { return sideSum(f, [&](long dy) { return at(x + dx, y + dy); }); });
            out[std::size_t(y * width + x)] = std::uint8_t(unsigned(double(sum) * (1.0 / double(e * f)) + 1e-10));
        }
    return out;
}

TEST(DustAnalyzerTest, CopiesRescalesOrBlursForTheLensAndAperture)
{
    const struct {
        const char* name;
        double fNumber;
        unsigned char lens;
        bool rescale;
        bool blur;
        long kernel; // both sides (square pixels of camera 1025)
    } cases[] = {
        {"same lens and aperture", 11, 50, false, false, 0},
        {"smaller aperture", 16, 50, false, false, 0},
        {"other lens", 11, 35, true, false, 0},
        {"wider aperture f/8", 8, 50, false, true, 24},
        {"wider aperture f/5.6", 5.6, 50, false, true, 33},
        {"other lens, wider aperture", 8, 35, true, true, 24},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReferenceRig rig;
        TagsHolder tags;
        PutPictureTags(tags, 1025, c.fNumber, c.lens);
        CDustAnalyzer analyzer(rig.holder.manager);
        ExpectOk(analyzer.Begin(&rig.reference, tags.tags));
        EXPECT_EQ(c.rescale, analyzer.WillRescale());
        EXPECT_EQ(c.blur, analyzer.WillBlur());
        if (c.blur) {
            EXPECT_EQ(c.kernel, analyzer.GetKernel().width);
            EXPECT_EQ(c.kernel, analyzer.GetKernel().height);
        }
        EXPECT_EQ(c.rescale ? CDustAnalyzer::kRescaling : c.blur ? CDustAnalyzer::kBlurring : CDustAnalyzer::kCopying,
                  analyzer.GetState());

        const long tile = rig.holder.manager->GetTileSize();
        const long tiles = ((160 + tile - 1) / tile) * ((120 + tile - 1) / tile);
        long done = 0, total = 0, last = -1;
        do {
            ExpectOk(analyzer.Step(done, total));
            EXPECT_GT(done, last) << "progress rises";
            last = done;
            ASSERT_EQ((c.rescale && c.blur ? 3 : 2) * tiles, total);
        } while (done < total);
        EXPECT_EQ(CDustAnalyzer::kFinished, analyzer.GetState());
        EXPECT_TRUE(analyzer.HasResult());
        const Bytes result(analyzer.GetResult().begin(), analyzer.GetResult().end());
        if (!c.rescale && !c.blur) {
            EXPECT_EQ(Samples8(rig.reference.GetImage()), result);
        }
        if (!c.rescale && c.blur) {
            EXPECT_EQ(BoxBlurred(Samples8(rig.reference.GetImage()), 160, 120, c.kernel, c.kernel), result);
        }
        ExpectOk(analyzer.Step(done, total));
        EXPECT_EQ(1, done);
        EXPECT_EQ(1, total);
    }
}

// Rescaling, blurring and compressing: stopped after any step, the
// analyzer is idle and keeps nothing; once finished, Abort leaves it so.
TEST(DustAnalyzerTest, AbortInEveryStateReturnsToIdle)
{
    ReferenceRig rig;
    TagsHolder tags;
    PutPictureTags(tags, 1025, 8.0, 35);
    long steps = 0;
    {
        CDustAnalyzer analyzer(rig.holder.manager);
        ExpectOk(analyzer.Begin(&rig.reference, tags.tags));
        long done = 0, total = 0;
        do {
            ExpectOk(analyzer.Step(done, total));
            ++steps;
        } while (done < total);
    }
    for (long k = 0; k <= steps; ++k) {
        CDustAnalyzer analyzer(rig.holder.manager);
        ExpectOk(analyzer.Begin(&rig.reference, tags.tags));
        long done = 0, total = 0;
        for (long i = 0; i < k; ++i)
            ExpectOk(analyzer.Step(done, total));
        ExpectOk(analyzer.Abort());
        if (k == steps) {
            EXPECT_EQ(CDustAnalyzer::kFinished, analyzer.GetState());
            EXPECT_FALSE(analyzer.GetCompressedResult().IsEmpty());
            continue;
        }
        EXPECT_EQ(CDustAnalyzer::kIdle, analyzer.GetState()) << "after " << k << " steps";
        EXPECT_TRUE(analyzer.GetResult().empty());
        EXPECT_TRUE(analyzer.GetCompressedResult().IsEmpty());
    }
}

TEST(DustAnalyzerTest, ShallowDustBlurredAwayLeavesNoResult)
{
    ReferenceRig rig(1025, 118);
    TagsHolder tags;
    PutPictureTags(tags, 1025, 4.0, 50);
    CDustAnalyzer analyzer(rig.holder.manager);
    ExpectOk(analyzer.Begin(&rig.reference, tags.tags));
    long done = 0, total = 0;
    do
        ExpectOk(analyzer.Step(done, total));
    while (done < total);
    EXPECT_EQ(CDustAnalyzer::kFinished, analyzer.GetState());
    EXPECT_FALSE(analyzer.HasResult());
}

TEST(DustAnalyzerTest, RefusesOtherCamerasAndWrongStates)
{
    ReferenceRig rig(258);
    CDustAnalyzer analyzer(rig.holder.manager);
    long done = 5, total = 5;
    ExpectError(analyzer.Step(done, total), 1007, kDust);
    EXPECT_EQ(0, done);
    EXPECT_EQ(0, total);

    TagsHolder other;
    PutPictureTags(other, 1025, 8.0, 50);
    ExpectError(analyzer.Begin(&rig.reference, other.tags), 1014, kDust);
    TagsHolder unknown;
    PutPictureTags(unknown, 300, 8.0, 50);
    ExpectError(analyzer.Begin(&rig.reference, unknown.tags), 1013, kDust);
    ExpectError(analyzer.Begin(nullptr, other.tags), 1014, kDust);
    CDustReference empty(rig.holder.manager);
    TagsHolder same;
    PutPictureTags(same, 258, 8.0, 50);
    ExpectError(analyzer.Begin(&empty, same.tags), 1003, kDust);

    ExpectOk(analyzer.Begin(&rig.reference, same.tags));
    ExpectError(analyzer.Begin(&rig.reference, same.tags), 1007, kDust);
    ExpectOk(analyzer.Step(done, total));
    ExpectOk(analyzer.Abort());
    EXPECT_EQ(CDustAnalyzer::kIdle, analyzer.GetState());
    ExpectError(analyzer.Step(done, total), 1007, kDust);
}

} // namespace
