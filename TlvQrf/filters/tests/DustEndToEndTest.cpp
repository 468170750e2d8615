// Dust removal from end to end on the library's own engines: a synthetic
// reference with dark blots and pictures with the same blots on a smooth
// gradient, analysed through the dust record and corrected by the filter.
#include "DustTestSupport.h"
#include "FilterRigs.h"
#include "PixelFilterTestSupport.h"

#include "dustsynth/DustSynth.h"
#include "filters/dust/TlDustDevelop.h"
#include "filters/dust/TlDustEngineFactory.h"
#include "filters/dust/TlDustFilter.h"
#include "filters/dust/TlDustToneTable.h"
#include "settings/dust/TlDustEngineRegistry.h"
#include "settings/dust/TlDustState.h"

#include <cmath>
#include <cstdlib>

using namespace dust_test;

namespace {

// Corrected blot centres lie within this share of full scale of the clean
// picture (uncorrected, the deepest are off by about 0.17; corrected, by
// about 0.06): the window of at most 9 by 9 pixels that the mask compares a
// pixel with still holds part of its blot's shadow.
constexpr double kBlotTolerance = 0.08;

class DustEndToEnd : public ::testing::Test {
protected:
    void SetUp() override { m_previous = SetDustEngineFactory(GetLibraryDustEngines()); }
    void TearDown() override { SetDustEngineFactory(m_previous); }

    // The picture's samples through the camera curve of 1025 (the tone
    // block the tags leave at its default).
    static std::vector<unsigned> Samples(const dust_synth::Scene& scene, bool withBlots, bool wide)
    {
        TlDustShooting shooting;
        shooting.curveId = 1025;
        std::vector<std::uint16_t> table;
        BuildCurveTonePair(shooting, wide ? 65536 : 256, &table);
        const std::uint16_t* inverse = table.data() + (wide ? 65536 : 256);
        return dust_synth::PictureSamples(scene, withBlots, [inverse](double light) {
            return unsigned(inverse[std::size_t(std::lround(std::min(light, 1.0) * 36000.0))]);
        });
    }

    ManagerHolder holder;

private:
    IDustEngineFactory* m_previous = nullptr;
};

struct Outcome {
    double worstBlot = 0;   // of full scale
    long changedAway = 0;   // pixels away from the blots that changed
};

Outcome Compare(const dust_synth::Scene& scene, const std::vector<unsigned>& clean, const std::vector<unsigned>& dirty,
                const std::vector<unsigned>& corrected, double fullScale)
{
    Outcome outcome;
    for (long y = 0; y < scene.height; ++y)
        for (long x = 0; x < scene.width; ++x) {
            double nearest = 1e9;
            for (const auto& blot : scene.blots)
                nearest = std::min(nearest, std::hypot(x - blot.x, y - blot.y));
            for (long c = 0; c < 3; ++c) {
                const std::size_t i = std::size_t((y * scene.width + x) * 3 + c);
                if (nearest < 1.0)
                    outcome.worstBlot =
                        std::max(outcome.worstBlot, std::fabs(double(corrected[i]) - clean[i]) / fullScale);
                if (nearest > 25.0 && corrected[i] != dirty[i])
                    ++outcome.changedAway;
            }
        }
    return outcome;
}

struct Analysed {
    CTlDustState record;
    int result = -1;
};

bool KeepGoing(int, int, void*)
{
    return true;
}

void Analyse(Analysed& a, IKelvraManager* manager, IKelvraDataSource* picture, IKelvraTagControl* tags,
             const Bytes& reference, TlDustProgressProc progress = KeepGoing, void* context = nullptr)
{
    ASSERT_TRUE(a.record.SetData(reference.data(), reference.size()));
    TlDustAnalysisRequest request;
    request.manager = manager;
    request.picture = picture;
    request.tags = tags;
    request.progress = progress;
    request.context = context;
    a.result = a.record.Analyze(request);
}

// The scene as a picture shows it mirrored, then turned a quarter clockwise.
dust_synth::Scene MirroredAndTurned(const dust_synth::Scene& scene)
{
    dust_synth::Scene turned;
    turned.width = scene.height;
    turned.height = scene.width;
    for (dust_synth::Blot blot : scene.blots) {
        const double x = blot.x;
        blot.x = double(scene.height - 1) - blot.y;
        blot.y = double(scene.width - 1) - x;
        turned.blots.push_back(blot);
    }
    return turned;
}

// The 16-bit picture is shown mirrored and turned: its pixels are the
// scene so oriented and its reference is turned alike for its map.
TEST_F(DustEndToEnd, BlotsComeOutLikeTheirSurroundingsAndTheRestIsUntouched)
{
    const dust_synth::Scene scene = dust_synth::GridScene(320, 240, 60, 2.5);
    const Bytes reference = dust_synth::ReferenceRecord(scene, {});
    for (bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "16-bit RGB, mirrored and turned" : "8-bit RGB");
        const KelvraPixelFormat format = wide ? kKelvraRGB16 : kKelvraRGB8;
        const dust_synth::Scene shown = wide ? MirroredAndTurned(scene) : scene;
        const std::vector<unsigned> clean = Samples(shown, false, wide);
        const std::vector<unsigned> dirty = Samples(shown, true, wide);
        TagsHolder tags;
        PutPictureTags(tags, 1025, 11, 50);
        pixel_test::FilterRig<filter_test::Probe<CDustFilter>> rig(
            pixel_test::MakeImageOf(holder.manager, shown.width, shown.height, format, dirty), holder);
        if (wide)
            ExpectOk(rig.image->SetTransform(true, 90.0, 0));
        Analysed analysed;
        Analyse(analysed, holder.manager, rig.image, tags.tags, reference);
        ASSERT_EQ(CTlDustState::kAnalyzeDone, analysed.result);
        ASSERT_NE(nullptr, analysed.record.GetDustMap());
        bool flip = false;
        double angle = 0;
        ExpectOk(analysed.record.GetDustMap()->GetCorrectionMask()->GetFlip(&flip));
        ExpectOk(analysed.record.GetDustMap()->GetCorrectionMask()->GetRotation(&angle));
        EXPECT_EQ(wide, flip);
        EXPECT_EQ(wide ? 90.0 : 0.0, angle);
        ExpectOk(rig.filter.SetDustMap(analysed.record.GetDustMap(), true));
        ExpectOk(rig.filter.SetToneMode(false, true));
        EXPECT_FALSE(rig.filter.IsBypassed());
        const double fullScale = wide ? 65535.0 : 255.0;
        const Outcome before = Compare(shown, clean, dirty, dirty, fullScale);
        const Outcome outcome = Compare(shown, clean, dirty, rig.Output(), fullScale);
        EXPECT_LE(outcome.worstBlot, kBlotTolerance);
        EXPECT_GT(before.worstBlot, kBlotTolerance) << "the blots are there to correct";
        EXPECT_EQ(0, outcome.changedAway);

        // The record's copy restores the same map through its stored form.
        CTlDustState copy(analysed.record);
        ASSERT_NE(nullptr, copy.GetDustMap());
        EXPECT_EQ(analysed.record.GetDustMap()->GetStoredSize(), copy.GetDustMap()->GetStoredSize());
        // Replacing the record's map leaves the filter passing through.
        analysed.record.Reset();
        EXPECT_TRUE(rig.filter.IsBypassed());
        EXPECT_EQ(dirty, rig.Output());
    }
}

// A developed image of a mosaic, set up as the dust map sets up its own.
struct Developed {
    Developed(ManagerHolder& holder, const std::vector<unsigned>& mosaic, long width, long height)
        : image(pixel_test::MakeImageOf(holder.manager, width, height, kKelvraRawMosaic, mosaic)),
          filter(holder.manager)
    {
        TlDustShooting shooting;
        shooting.curveId = 258;
        ExpectOk(KelvraDataConnect(image, &filter));
        ExpectOk(SetupDustDeBayer(filter, shooting, width, height));
    }
    ~Developed()
    {
        IKelvraError::Release(KelvraDataDisconnect(image, &filter));
        image->Release();
    }
    IKelvraImage* image;
    CDeBayerHQFilter filter;
};

TEST_F(DustEndToEnd, RawMosaicIsDevelopedForItsMap)
{
    const dust_synth::Scene scene = dust_synth::GridScene(240, 180, 60, 2.5);
    const std::uint8_t codes[4] = {2, 1, 1, 0}; // the pattern a picture without the tag has
    const long width = scene.width + 12, height = scene.height + 12;
    Developed clean(holder, dust_synth::MosaicSamples(scene, false, 6, codes), width, height);
    Developed dirty(holder, dust_synth::MosaicSamples(scene, true, 6, codes), width, height);
    TagsHolder tags;
    PutPictureTags(tags, 258, 11, 50);
    dust_synth::ReferenceValues values;
    values.curveId = 258;
    Analysed analysed;
    Analyse(analysed, holder.manager, dirty.image, tags.tags, dust_synth::ReferenceRecord(scene, values));
    ASSERT_EQ(CTlDustState::kAnalyzeDone, analysed.result);
    EXPECT_EQ(1, KelvraDestinationCount(dirty.image)) << "the map let go of its own development";
    IDustMap* map = analysed.record.GetDustMap();
    ASSERT_NE(nullptr, map);
    ASSERT_NE(nullptr, map->GetCorrectionMask());
    long maskWidth = 0, maskHeight = 0;
    ExpectOk(map->GetCorrectionMask()->GetSize(&maskWidth, &maskHeight));
    EXPECT_EQ(scene.width, maskWidth);
    EXPECT_EQ(scene.height, maskHeight);

    CDustFilter filter(holder.manager);
    ExpectOk(KelvraDataConnect(&dirty.filter, &filter));
    ExpectOk(filter.SetDustMap(map, true));
    ExpectOk(filter.SetToneMode(false, true));
    const std::vector<unsigned> before = ReadAllSamples(&dirty.filter);
    const Outcome outcome = Compare(scene, ReadAllSamples(&clean.filter), before, ReadAllSamples(&filter), 65535.0);
    IKelvraError::Release(KelvraDataDisconnect(&dirty.filter, &filter));
    EXPECT_LE(outcome.worstBlot, kBlotTolerance);
    EXPECT_EQ(0, outcome.changedAway);

    // Cancelled while the map is built, the development goes with it.
    int calls = 0;
    auto stopInTheMap = [](int, int percent, void* context) { return ++*static_cast<int*>(context) < 3 || percent < 10; };
    Analysed cancelled;
    Analyse(cancelled, holder.manager, dirty.image, tags.tags, dust_synth::ReferenceRecord(scene, values), stopInTheMap,
            &calls);
    EXPECT_EQ(CTlDustState::kAnalyzeCancelled, cancelled.result);
    EXPECT_EQ(1, KelvraDestinationCount(dirty.image));
}

TEST_F(DustEndToEnd, CancellingLeavesNoMapAndTheFilterPassingThrough)
{
    const dust_synth::Scene scene = dust_synth::GridScene(200, 150, 50, 2.5);
    const std::vector<unsigned> dirty = Samples(scene, true, false);
    TagsHolder tags;
    PutPictureTags(tags, 1025, 11, 50);
    pixel_test::FilterRig<filter_test::Probe<CDustFilter>> rig(
        pixel_test::MakeImageOf(holder.manager, scene.width, scene.height, kKelvraRGB8, dirty), holder);
    int calls = 0;
    auto stopLater = [](int, int, void* context) { return ++*static_cast<int*>(context) < 6; };
    Analysed analysed;
    Analyse(analysed, holder.manager, rig.image, tags.tags, dust_synth::ReferenceRecord(scene, {}), stopLater,
            &calls);
    EXPECT_EQ(CTlDustState::kAnalyzeCancelled, analysed.result);
    EXPECT_EQ(nullptr, analysed.record.GetDustMap());
    ExpectOk(rig.filter.SetDustMap(analysed.record.GetDustMap(), true));
    EXPECT_TRUE(rig.filter.IsBypassed());
    EXPECT_EQ(dirty, rig.Output());
}

// Shallow blots that the blur of a wide aperture washes out.
TEST_F(DustEndToEnd, BlurredReferenceWithoutDustGivesAMapWithoutAMask)
{
    dust_synth::Scene scene = dust_synth::GridScene(200, 150, 50, 2.5);
    for (auto& blot : scene.blots)
        blot.transmission = 0.9;
    const std::vector<unsigned> dirty = Samples(scene, true, false);
    TagsHolder tags;
    PutPictureTags(tags, 1025, 2.8, 50);
    pixel_test::FilterRig<filter_test::Probe<CDustFilter>> rig(
        pixel_test::MakeImageOf(holder.manager, scene.width, scene.height, kKelvraRGB8, dirty), holder);
    Analysed analysed;
    Analyse(analysed, holder.manager, rig.image, tags.tags, dust_synth::ReferenceRecord(scene, {}));
    ASSERT_EQ(CTlDustState::kAnalyzeDone, analysed.result);
    IDustMap* map = analysed.record.GetDustMap();
    ASSERT_NE(nullptr, map);
    EXPECT_EQ(nullptr, map->GetCorrectionMask());
    Bytes stored(map->GetStoredSize());
    ExpectOk(map->Store(stored.size(), stored.data()));
    const std::uint32_t tableSize = stored[28] | (stored[29] << 8) | (stored[30] << 16) | (std::uint32_t(stored[31]) << 24);
    EXPECT_EQ(40u + tableSize, stored.size());
    EXPECT_EQ(Bytes(8, 0), Bytes(stored.begin() + 32, stored.begin() + 40)) << "A = B = 0";
    ExpectOk(rig.filter.SetDustMap(map, true));
    EXPECT_TRUE(rig.filter.IsBypassed());
    EXPECT_EQ(dirty, rig.Output());

    // The record restores such a map from its stored form.
    CTlDustState restored;
    EXPECT_EQ(CTlDustState::kEngineCreated, restored.CreateEngine(holder.manager, stored.data(), stored.size()));
    ASSERT_NE(nullptr, restored.GetDustMap());
    EXPECT_EQ(stored.size(), restored.GetDustMap()->GetStoredSize());
}

} // namespace
