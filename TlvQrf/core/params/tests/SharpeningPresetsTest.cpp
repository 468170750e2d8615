// The development's own sharpening: the preset tables, the camera's
// sharpening by level, sensitivity and recorded code, the mixer sharpening,
// the hue bands and the set-up of a real unsharp-mask filter.
#include "FilterTestSupport.h"

#include "filtrix/UnsharpMaskFilter.h"
#include "params/TlSharpeningPresets.h"
#include "params/TlSharpeningTables.h"
#include "params/TlUsmRangeBand.h"
#include "params/TlvParamSet.h"
#include "RawTestTags.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>

using namespace raw_test;

namespace {

constexpr std::uint32_t kSensitivityTag = 0x80002;
constexpr std::uint32_t kSharpeningCodeTag = 0x80006;
constexpr std::uint32_t kColourDataTag = 0x80097;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Preset {
    int amount, radius, threshold;
};

void ExpectPreset(const Preset& expected, const CTlUsmState& usm)
{
    EXPECT_EQ(expected.amount, usm.Amount());
    EXPECT_EQ(expected.radius, usm.Radius());
    EXPECT_EQ(expected.threshold, usm.Threshold());
}

TEST(SharpeningTables, PresetsByIndex)
{
    const struct {
        int index;
        Preset preset;
    } cases[] = {
        {0, {0, 0, 0}},     {1, {1, 8, 5}},     {3, {3, 9, 5}},     {4, {5, 9, 5}},     {8, {9, 10, 5}},
        {9, {10, 10, 4}},   {12, {13, 10, 4}},  {13, {14, 11, 4}},  {18, {19, 11, 4}},  {19, {20, 12, 4}},
        {24, {25, 12, 4}},  {25, {26, 13, 3}},  {31, {32, 13, 3}},  {32, {33, 14, 3}},  {33, {33, 14, 3}},
        {38, {38, 14, 3}},  {39, {38, 14, 3}},  {40, {39, 14, 2}},  {41, {40, 14, 2}},  {42, {41, 15, 2}},
        {44, {42, 15, 2}},  {48, {45, 15, 2}},  {50, {47, 15, 2}},  {53, {49, 15, 2}},  {54, {49, 16, 2}},
        {55, {50, 16, 2}},  {56, {51, 16, 1}},  {57, {51, 16, 1}},  {60, {53, 16, 1}},  {63, {55, 16, 1}},
        {64, {0, 0, 0}},    {255, {0, 0, 0}},   {-1, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        const TlSharpeningPreset preset = SharpeningPreset(c.index);
        EXPECT_EQ(c.preset.amount, preset.amount);
        EXPECT_EQ(c.preset.radius, preset.radius);
        EXPECT_EQ(c.preset.threshold, preset.threshold);
    }
}

TEST(SharpeningTables, IndexByLevelAndSensitivity)
{
    const struct {
        int level;
        std::uint16_t sensitivity;
        int index;
    } cases[] = {
        {2, 0, 17},     {3, 399, 29},   {4, 399, 50},   {4, 400, 48},   {5, 799, 22},   {6, 800, 36},
        {2, 1599, 16},  {3, 1600, 20},  {4, 3199, 35},  {5, 3200, 11},  {6, 6399, 18},  {2, 6400, 3},
        {3, 65535, 5},  {4, 6400, 9},   {5, 12800, 4},  {6, 6400, 7},   {0, 100, 0},    {1, 100, 0},
        {7, 100, 0},    {-3, 100, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << " at " << c.sensitivity);
        EXPECT_EQ(c.index, SharpeningIndexForLevel(c.level, c.sensitivity));
    }
}

TEST(SharpeningTables, IndexByTenStepCode)
{
    const int expected[] = {40, 36, 32, 28, 24, 19, 15, 11, 7, 3};
    for (int step = 0; step < 10; ++step)
        EXPECT_EQ(expected[step], SharpeningIndexForStep(step)) << step;
    EXPECT_EQ(0, SharpeningIndexForStep(10));
    EXPECT_EQ(0, SharpeningIndexForStep(255));
    EXPECT_EQ(0, SharpeningIndexForStep(-1));
}

// The camera's colour data, 304 bytes, with its version and one chosen byte.
void SetColourData(IKelvraTagControl& tags, const char* version, std::size_t offset, unsigned char value)
{
    unsigned char block[304] = {};
    std::memcpy(block, version, 4);
    block[offset] = value;
    SetBytes(tags, kColourDataTag, kKelvraTagTypeColorData, block, sizeof block);
}

void SetSensitivity(IKelvraTagControl& tags, std::uint16_t sensitivity)
{
    const std::uint16_t values[2] = {0, sensitivity};
    SetBytes(tags, kSensitivityTag, kKelvraTagTypeUShorts2, values, sizeof values);
}

// A raw image's parameter set over tags chosen by the test.
class SharpeningScene {
public:
    SharpeningScene()
        : m_tags(MakeTags())
    {
        m_holder.rawFlag = 1;
        m_holder.adjustUsed = 1;
    }
    ~SharpeningScene() { m_holder.images.tags = nullptr; }

    IKelvraTagControl& Tags() { return *m_tags; }
    CTlvSettingsHolder& Holder() { return m_holder; }
    const CTlvParamSet& Params(std::uint16_t model)
    {
        SetLong(*m_tags, kKelvraTagModelCode, model);
        m_holder.images.tags = m_tags.get();
        m_params.reset(new CTlvParamSet(m_holder));
        return *m_params;
    }

private:
    PellioTagsPtr m_tags;
    CTlvSettingsHolder m_holder;
    std::unique_ptr<CTlvParamSet> m_params;
};

using SceneSetup = void (*)(SharpeningScene&);

struct CameraCase {
    const char* what;
    std::uint16_t model;
    SceneSetup setup;
    Preset preset;
};

void ExpectCameraCases(const CameraCase* begin, const CameraCase* end)
{
    for (const CameraCase* c = begin; c != end; ++c) {
        SCOPED_TRACE(c->what);
        SharpeningScene scene;
        c->setup(scene);
        CTlUsmState usm;
        usm.value1 = 4; // whatever the record held goes
        usm.flag = 1;
        EXPECT_EQ(c->preset.amount != 0, GetCameraSharpening(&scene.Params(c->model), &usm));
        ExpectPreset(c->preset, usm);
        EXPECT_EQ(0, usm.RangeBand());
        EXPECT_EQ(0, usm.flag);
        EXPECT_EQ(c->preset.amount != 0, GetCameraSharpening(&scene.Params(c->model))) << "into a local record";
    }
}

TEST(CameraSharpening, TheUsersLevelGoesBySensitivity)
{
    const CameraCase cases[] = {
        {"level 4 at 400", 259,
         [](SharpeningScene& s) {
             SetSensitivity(s.Tags(), 400);
             s.Holder().adjust.third = 4;
         },
         {45, 15, 2}},
        {"level 4 at 399", 259,
         [](SharpeningScene& s) {
             SetSensitivity(s.Tags(), 399);
             s.Holder().adjust.third = 4;
         },
         {47, 15, 2}},
        {"+1 EV at 200 counts as 400", 259,
         [](SharpeningScene& s) {
             SetSensitivity(s.Tags(), 200);
             s.Holder().adjust.third = 4;
             s.Holder().adjust.value = 1.0;
         },
         {45, 15, 2}},
        {"-1 EV at 800 counts as 400", 1026,
         [](SharpeningScene& s) {
             SetSensitivity(s.Tags(), 800);
             s.Holder().adjust.third = 4;
             s.Holder().adjust.value = -1.0;
         },
         {45, 15, 2}},
        {"+20 EV stays at the top sensitivity", 259,
         [](SharpeningScene& s) {
             SetSensitivity(s.Tags(), 200);
             s.Holder().adjust.third = 4;
             s.Holder().adjust.value = 20.0;
         },
         {10, 10, 4}},
        {"an exposure that is not a number is not scaled", 259,
         [](SharpeningScene& s) {
             SetSensitivity(s.Tags(), 3200);
             s.Holder().adjust.third = 2;
             s.Holder().adjust.value = kNaN;
         },
         {9, 10, 5}},
        {"no sensitivity: 100, unscaled", 259,
         [](SharpeningScene& s) {
             s.Holder().adjust.third = 6;
             s.Holder().adjust.value = 10.0;
         },
         {39, 14, 2}},
        {"level 1 sharpens nothing", 259,
         [](SharpeningScene& s) {
             SetSensitivity(s.Tags(), 100);
             s.Holder().adjust.third = 1;
         },
         {0, 0, 0}},
    };
    ExpectCameraCases(std::begin(cases), std::end(cases));
}

TEST(CameraSharpening, AsShotFromTheColourData)
{
    const CameraCase cases[] = {
        {"version 0102", 260, [](SharpeningScene& s) { SetColourData(s.Tags(), "0102", 275, 50); }, {47, 15, 2}},
        {"version 0103", 1026, [](SharpeningScene& s) { SetColourData(s.Tags(), "0103", 155, 63); }, {55, 16, 1}},
        {"other version", 260, [](SharpeningScene& s) { SetColourData(s.Tags(), "0104", 155, 20); }, {0, 0, 0}},
        {"index past the table", 260, [](SharpeningScene& s) { SetColourData(s.Tags(), "0102", 275, 64); },
         {0, 0, 0}},
        {"no colour data", 260, [](SharpeningScene&) {}, {0, 0, 0}},
        {"level 0 is as shot", 260,
         [](SharpeningScene& s) {
             SetColourData(s.Tags(), "0103", 155, 1);
             s.Holder().adjust.third = 0;
         },
         {1, 8, 5}},
        {"a level without the adjust record is as shot", 1026,
         [](SharpeningScene& s) {
             SetColourData(s.Tags(), "0103", 155, 1);
             s.Holder().adjust.third = 4;
             s.Holder().adjustUsed = 0;
         },
         {1, 8, 5}},
    };
    ExpectCameraCases(std::begin(cases), std::end(cases));
}

TEST(CameraSharpening, AsShotFromTheCamerasCode)
{
    const CameraCase cases[] = {
        {"code 1 is level 2", 259, [](SharpeningScene& s) { SetLong(s.Tags(), kSharpeningCodeTag, 1); }, {18, 11, 4}},
        {"code 3 is level 4 at 1600", 257,
         [](SharpeningScene& s) {
             SetLong(s.Tags(), kSharpeningCodeTag, 3);
             SetSensitivity(s.Tags(), 1600);
         },
         {35, 14, 3}},
        {"code 5 is level 6, exposure-scaled only with the adjust record", 257,
         [](SharpeningScene& s) {
             SetLong(s.Tags(), kSharpeningCodeTag, 5);
             SetSensitivity(s.Tags(), 6400);
             s.Holder().adjust.value = -5.0;
             s.Holder().adjustUsed = 0;
         },
         {8, 9, 5}},
        {"code 9, step 0", 259,
         [](SharpeningScene& s) {
             SetLong(s.Tags(), kSharpeningCodeTag, 9);
             SetColourData(s.Tags(), "0000", 6, 0);
         },
         {39, 14, 2}},
        {"code 9, step 9", 259,
         [](SharpeningScene& s) {
             SetLong(s.Tags(), kSharpeningCodeTag, 9);
             SetColourData(s.Tags(), "0102", 6, 9);
         },
         {3, 9, 5}},
        {"code 9, step 10", 259,
         [](SharpeningScene& s) {
             SetLong(s.Tags(), kSharpeningCodeTag, 9);
             SetColourData(s.Tags(), "0102", 6, 10);
         },
         {0, 0, 0}},
        {"code 9 without colour data", 259, [](SharpeningScene& s) { SetLong(s.Tags(), kSharpeningCodeTag, 9); },
         {0, 0, 0}},
        {"code 0", 259, [](SharpeningScene& s) { SetLong(s.Tags(), kSharpeningCodeTag, 0); }, {0, 0, 0}},
        {"code 6", 259, [](SharpeningScene& s) { SetLong(s.Tags(), kSharpeningCodeTag, 6); }, {0, 0, 0}},
        {"no code", 259, [](SharpeningScene&) {}, {0, 0, 0}},
    };
    ExpectCameraCases(std::begin(cases), std::end(cases));
}

TEST(CameraSharpening, OnlyRawImagesOfTheLibrarysOwnDevelopment)
{
    const CameraCase cases[] = {
        {"not raw", 259,
         [](SharpeningScene& s) {
             s.Holder().adjust.third = 4;
             s.Holder().rawFlag = 0;
         },
         {0, 5, 0}},
        {"signal-processing camera", 513, [](SharpeningScene& s) { s.Holder().adjust.third = 4; }, {0, 5, 0}},
        {"signal-processing camera", 516, [](SharpeningScene& s) { s.Holder().adjust.third = 4; }, {0, 5, 0}},
    };
    ExpectCameraCases(std::begin(cases), std::end(cases));
    CTlUsmState usm;
    usm.SetSharpening(7, 7, 7);
    EXPECT_FALSE(GetCameraSharpening(nullptr, &usm));
    ExpectPreset({0, 5, 0}, usm);
}

TEST(MixerSharpening, ThreeLevels)
{
    const struct {
        std::uint16_t level;
        int amount;
    } cases[] = {{0, 0}, {1, 10}, {2, 20}, {3, 30}, {4, 0}, {0xFFFF, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        CTlvSettingsHolder holder;
        holder.general.values[3] = c.level;
        CTlvParamSet params(holder);
        CTlUsmState usm;
        usm.value1 = 3;
        EXPECT_EQ(c.amount != 0, GetMixerSharpening(&params, &usm));
        ExpectPreset({c.amount, 15, 0}, usm);
        EXPECT_EQ(0, usm.RangeBand());
        EXPECT_EQ(c.amount != 0, GetMixerSharpening(&params));
    }
    CTlvSettingsHolder holder;
    CTlvParamSet params(holder);
    params.channelMixer = nullptr;
    EXPECT_FALSE(GetMixerSharpening(&params));
    EXPECT_FALSE(GetMixerSharpening(nullptr));
}

class UsmFilterTest : public PatternImageTest {};

TEST_F(UsmFilterTest, RangeBands)
{
    const double d = 1.0 / 72.0;
    const double s = 1.0 / 12.0;
    const struct {
        int band;
        UsmBand range;
    } cases[] = {
        {1, {1 * d, s, 13 * d, s}},  {2, {25 * d, s, 37 * d, s}}, {3, {49 * d, s, 61 * d, s}},
        {4, {13 * d, s, 25 * d, s}}, {5, {61 * d, s, 1 * d, s}},  {6, {37 * d, s, 49 * d, s}},
        {7, {0.0, 0.0, 1.0, 0.0}},   {-1, {0.0, 0.0, 1.0, 0.0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.band);
        CUnsharpMaskFilter filter(Manager());
        ExpectOk(filter.SetRange(0.5, 0.1, 0.6, 0.1, false));
        EXPECT_TRUE(SetUsmRangeBand(&filter, c.band));
        UsmBand range;
        ExpectOk(filter.GetRange(&range.start, &range.startSoftness, &range.end, &range.endSoftness));
        EXPECT_DOUBLE_EQ(c.range.start, range.start);
        EXPECT_DOUBLE_EQ(c.range.startSoftness, range.startSoftness);
        EXPECT_DOUBLE_EQ(c.range.end, range.end);
        EXPECT_DOUBLE_EQ(c.range.endSoftness, range.endSoftness);
        EXPECT_FALSE(SetUsmRangeBand(&filter, c.band)) << "already set";
    }
    CUnsharpMaskFilter filter(Manager());
    EXPECT_FALSE(SetUsmRangeBand(&filter, 0)) << "a new filter covers the whole circle";
    EXPECT_FALSE(SetUsmRangeBand(nullptr, 1));
}

TEST_F(UsmFilterTest, MixerSharpeningSetsTheFilterUp)
{
    const struct {
        const char* what;
        double scale, aspect;
        double radius, secondRadius, power;
    } cases[] = {
        {"three pixels at full size", 1.0, 2.0, 3.0, 1.5, 1.0},
        {"a third of a pixel: one pixel, power in proportion", 0.1, 1.0, 1.0, 1.0, 20 * 0.3 * 0.05},
        {"twice the size", 2.0, 1.0, 6.0, 6.0, 1.0},
        {"a scale that is not a number counts as 1", kNaN, 1.0, 3.0, 3.0, 1.0},
        {"no aspect divisor counts as 1", 1.0, 0.0, 3.0, 3.0, 1.0},
        {"a negative aspect divisor counts as 1", 1.0, -2.0, 3.0, 3.0, 1.0},
        {"radii past the filter's reach are held there", 1000.0, 0.5, kUsmMaxRadius, kUsmMaxRadius, 1.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CTlvSettingsHolder holder;
        holder.general.values[3] = 2;
        CTlvParamSet params(holder);
        CUnsharpMaskFilter filter(Manager());
        ExpectOk(filter.Enable(false, false));
        ExpectOk(filter.SetRange(0.5, 0.1, 0.6, 0.1, false));
        EXPECT_TRUE(ApplyMixerSharpening(&params, &filter, c.scale, c.aspect));
        const UsmParams set = filter.GetParams();
        EXPECT_TRUE(filter.IsEnabled());
        EXPECT_NEAR(c.radius, set.radius, 1e-12);
        EXPECT_NEAR(c.secondRadius, set.secondRadius, 1e-12);
        EXPECT_NEAR(c.power, set.power, 1e-12);
        EXPECT_EQ(0.0, set.threshold);
        EXPECT_EQ(kUsmMaskGaussian, set.method);
        EXPECT_FALSE(set.affectNoise);
        EXPECT_TRUE(set.band == UsmBand()) << "the whole hue circle";
    }
}

TEST_F(UsmFilterTest, CameraSharpeningSetsTheFilterUp)
{
    SharpeningScene scene;
    SetSensitivity(scene.Tags(), 400);
    scene.Holder().adjust.third = 4; // preset 48: amount 45, radius 15, threshold 2
    CUnsharpMaskFilter filter(Manager());
    EXPECT_TRUE(ApplyCameraSharpening(&scene.Params(259), &filter, 0.5, 1.0));
    const UsmParams set = filter.GetParams();
    EXPECT_TRUE(filter.IsEnabled());
    EXPECT_NEAR(1.5, set.radius, 1e-12);
    EXPECT_NEAR(45 * 0.05, set.power, 1e-12);
    EXPECT_NEAR(0.4, set.threshold, 1e-12);
}

TEST_F(UsmFilterTest, NoSharpeningSwitchesTheFilterOff)
{
    CTlvSettingsHolder holder;
    holder.rawFlag = 0;
    CTlvParamSet params(holder);
    for (auto apply : {ApplyCameraSharpening, ApplyMixerSharpening}) {
        CUnsharpMaskFilter filter(Manager());
        ExpectOk(filter.SetPower(0.7, false));
        EXPECT_FALSE(apply(&params, &filter, 1.0, 1.0));
        EXPECT_FALSE(filter.IsEnabled());
        EXPECT_EQ(0.7, filter.GetPower()) << "the rest of the filter stays";
        EXPECT_FALSE(apply(nullptr, &filter, 1.0, 1.0));
    }
    holder.general.values[3] = 1;
    CTlvParamSet mixer(holder);
    EXPECT_TRUE(ApplyMixerSharpening(&mixer, nullptr, 1.0, 1.0)) << "without a filter only the result";
}

} // namespace
