// Building a dust map: the sample spacing of the aspect table, the mask
// value's bounds, progress, Abort in every state and a failing step.
#include "DustTestSupport.h"
#include "PixelFilterTestSupport.h"

#include "dustsynth/DustSynth.h"
#include "filters/dust/TlDustAnalyzer.h"
#include "filters/dust/TlDustMap.h"
#include "filters/dust/TlDustMapPasses.h"
#include "filters/dust/TlDustReference.h"

#include <cmath>
#include <random>

using namespace dust_test;

namespace {

constexpr KelvraTag kDust = KelvraFourCC('d', 'u', 's', 't');

TEST(DustMapBuildTest, SampleSpacingFollowsTheAspects)
{
    const struct {
        long w, h, wr, hr;
        double sx, sy;
    } cases[] = {
        {3000, 1000, 3000, 2000, 1, 2},       // wide picture, reference not, q 1
        {3000, 1000, 2250, 1500, 0.75, 1.5},  // q 4/3
        {3000, 1000, 3000, 1000, 1, 1},       // both wide
        {1500, 1000, 2700, 900, 4.0 / 3, 2.0 / 3}, // q 0.55: nearer 0.75
        {1500, 1000, 1500, 500, 1, 0.5},      // q 1
        {1500, 1000, 2000, 1333, 4.0 / 3, 4.0 / 3}, // aspect 1.5 on both sides, q 0.75
        {1500, 1000, 1500, 1000, 1, 1},
        {2000, 1333, 1500, 1000, 0.75, 0.75},
    };
    for (const auto& c : cases) {
        double sx = 0, sy = 0;
        DustSampleSpacing(c.w, c.h, c.wr, c.hr, &sx, &sy);
        EXPECT_DOUBLE_EQ(c.sx, sx) << c.w << "x" << c.h << " over " << c.wr << "x" << c.hr;
        EXPECT_DOUBLE_EQ(c.sy, sy) << c.w << "x" << c.h << " over " << c.wr << "x" << c.hr;
    }
}

TEST(DustMapBuildTest, MaskValueIsAtMost128AndExactlyThatWhereUniform)
{
    std::mt19937 random(3);
    for (unsigned r = 1; r <= 4; ++r) {
        const unsigned n = (2 * r + 1) * (2 * r + 1);
        for (std::uint64_t c : {0ull, 1ull, 1800ull, 40000ull, 65535ull})
            EXPECT_EQ(128u, DustMaskValue(r, c, c * n)) << "uniform " << c << " radius " << r;
        for (int i = 0; i < 2000; ++i) {
            std::uint64_t sum = 0;
            std::uint64_t centre = random() % 65536;
            for (unsigned k = 0; k < n; ++k)
                sum += k == 0 ? centre : random() % 65536;
            ASSERT_LE(DustMaskValue(r, centre, sum), 128u);
        }
    }
    EXPECT_EQ(64u, DustMaskValue(1, 1000, 9 * 2000));
}

// A reference and a picture of the same synthetic scene, analysed: an 8-bit
// RGB picture, the same shown mirrored and turned, or a raw mosaic (with a
// border of 6 that the development crops) of curve id 258.
enum class PictureKind { kPlain, kTurned, kRaw };

struct MapRig {
    explicit MapRig(PictureKind kind = PictureKind::kPlain)
    {
        scene = dust_synth::GridScene(200, 150, 50, 2.5);
        dust_synth::ReferenceValues values;
        values.curveId = kind == PictureKind::kRaw ? 258 : 1025;
        const Bytes record = dust_synth::ReferenceRecord(scene, values);
        ExpectOk(reference.Load(record.size(), record.data()));
        PutPictureTags(tags, std::int32_t(values.curveId), 11, 50);
        ExpectOk(analyzer.Begin(&reference, tags.tags));
        long done = 0, total = 0;
        do
            ExpectOk(analyzer.Step(done, total));
        while (done < total);
        if (kind == PictureKind::kRaw) {
            const std::uint8_t codes[4] = {2, 1, 1, 0};
            picture = pixel_test::MakeImageOf(holder.manager, scene.width + 12, scene.height + 12, kKelvraRawMosaic,
                                              dust_synth::MosaicSamples(scene, true, 6, codes));
            return;
        }
        picture = pixel_test::MakeImageOf(holder.manager, scene.width, scene.height, kKelvraRGB8,
                                          dust_synth::PictureSamples(scene, true, [](double l) {
                                              return unsigned(std::lround(255 * std::sqrt(std::min(l, 1.0))));
                                          }));
        if (kind == PictureKind::kTurned)
            ExpectOk(picture->SetTransform(true, 90.0, 0));
    }
    ~MapRig() { picture->Release(); }
    long Tiles() const
    {
        const long tile = holder.manager->GetTileSize();
        return ((scene.width + tile - 1) / tile) * ((scene.height + tile - 1) / tile);
    }
    ManagerHolder holder;
    dust_synth::Scene scene;
    CDustReference reference{holder.manager};
    TagsHolder tags;
    CDustAnalyzer analyzer{holder.manager};
    IKelvraImage* picture = nullptr;
};

const struct {
    const char* name;
    PictureKind kind;
    long stages;
} kPictureKinds[] = {
    {"plain", PictureKind::kPlain, 9},
    {"turned: the reference is oriented first", PictureKind::kTurned, 10},
    {"raw: the mosaic is developed first", PictureKind::kRaw, 10},
};

TEST(DustMapBuildTest, ProgressCountsEveryStageAndRisesToTotal)
{
    for (const auto& kind : kPictureKinds) {
        SCOPED_TRACE(kind.name);
        MapRig rig(kind.kind);
        CDustMap map(rig.holder.manager);
        ExpectOk(map.Begin(&rig.analyzer, rig.picture, 0, 0));
        long done = 0, total = 0, last = -1, steps = 0;
        do {
            ExpectOk(map.Step(done, total));
            EXPECT_EQ(rig.Tiles() * kind.stages, total);
            EXPECT_GE(done, last);
            last = done;
            ASSERT_LT(++steps, 10000);
        } while (done < total);
        EXPECT_EQ(CDustMap::kFinished, map.GetState());
        EXPECT_EQ(0, KelvraDestinationCount(rig.picture)) << "the development is let go";
    }
}

TEST(DustMapBuildTest, ProgressRisesToTotalAndEveryMaskValueIsAtMost128)
{
    MapRig rig;
    CDustMap map(rig.holder.manager);
    ExpectOk(map.Begin(&rig.analyzer, rig.picture, 0, 0));
    long done = 0, total = 0, last = -1, steps = 0;
    do {
        ExpectOk(map.Step(done, total));
        EXPECT_GE(done, last);
        last = done;
        ASSERT_LT(++steps, 10000);
    } while (done < total);
    EXPECT_EQ(done, total);
    EXPECT_EQ(CDustMap::kFinished, map.GetState());
    ASSERT_NE(nullptr, map.GetCorrectionMask());
    const Bytes mask = Samples8(map.GetCorrectionMask());
    long corrected = 0;
    for (unsigned char b : mask) {
        ASSERT_LE(b, 128);
        corrected += b < 128 ? 1 : 0;
    }
    EXPECT_GT(corrected, 0);
}

TEST(DustMapBuildTest, AbortInEveryStateAndAFailedStepReturnToIdle)
{
    for (const auto& kind : kPictureKinds) {
        SCOPED_TRACE(kind.name);
        MapRig rig(kind.kind);
        long steps = 0;
        {
            CDustMap map(rig.holder.manager);
            ExpectOk(map.Begin(&rig.analyzer, rig.picture, 0, 0));
            long done = 0, total = 0;
            do {
                ExpectOk(map.Step(done, total));
                ++steps;
            } while (done < total);
        }
        for (long k = 0; k < steps; ++k) {
            CDustMap map(rig.holder.manager);
            ExpectOk(map.Begin(&rig.analyzer, rig.picture, 0, 0));
            long done = 0, total = 0;
            for (long i = 0; i < k; ++i)
                ExpectOk(map.Step(done, total));
            ExpectOk(map.Abort());
            EXPECT_EQ(CDustMap::kIdle, map.GetState()) << "after " << k << " steps";
            EXPECT_EQ(0u, map.GetStoredSize());
            EXPECT_EQ(nullptr, map.GetCorrectionMask());
            EXPECT_EQ(0, KelvraDestinationCount(rig.picture)) << "after " << k << " steps";
        }
    }

    MapRig rig;
    frame_test::RecordingSource failing(rig.picture);
    failing.failAtLock = 1;
    CDustMap map(rig.holder.manager);
    ExpectOk(map.Begin(&rig.analyzer, &failing, 0, 0));
    long done = 0, total = 0;
    IKelvraError* error = map.Step(done, total);
    EXPECT_NE(nullptr, error);
    IKelvraError::Release(error);
    EXPECT_EQ(CDustMap::kIdle, map.GetState());
    EXPECT_EQ(0, failing.HeldCount());
}

TEST(DustMapBuildTest, BeginRefusals)
{
    MapRig rig;
    CDustMap map(rig.holder.manager);
    ExpectError(map.Begin(nullptr, rig.picture, 0, 0), 1014, kDust);
    ExpectError(map.Begin(&rig.analyzer, nullptr, 0, 0), 1014, kDust);
    CDustAnalyzer idle(rig.holder.manager);
    ExpectError(map.Begin(&idle, rig.picture, 0, 0), 1003, kDust);
    // An 8-bit picture cannot take the square table of a linear picture.
    ExpectError(map.Begin(&rig.analyzer, rig.picture, 0, 1), 1013, kDust);
    ExpectOk(map.Begin(&rig.analyzer, rig.picture, 0, 0));
    ExpectError(map.Begin(&rig.analyzer, rig.picture, 0, 0), 1007, kDust);
}

} // namespace
