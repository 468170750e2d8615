// Construction of the holders, their serial numbers, parameter sets and
// the camera values read from the tags.
#include "HolderFakes.h"

#include "kelvra/KelvraTagControl.h"
#include "settings/curves/TlLut.h"
#include "settings/holders/TlvControlSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <thread>

using namespace holder_test;

namespace {

struct UseFlagCase {
    const char* record;
    std::uint8_t CTlvSettingsHolder::*flag;
    std::uint8_t constructed;
};

const UseFlagCase kUseFlags[] = {
    {"sharpening list", &CTlvSettingsHolder::usmListUsed, 1},
    {"tone curves", &CTlvSettingsHolder::toneCurvesUsed, 1},
    {"brightness and contrast", &CTlvSettingsHolder::brightnessContrastUsed, 1},
    {"lch curves", &CTlvSettingsHolder::lchUsed, 1},
    {"adjust", &CTlvSettingsHolder::adjustUsed, 1},
    {"white balance", &CTlvSettingsHolder::whiteBalanceUsed, 1},
    {"triple value", &CTlvSettingsHolder::tripleValueUsed, 1},
    {"vignette", &CTlvSettingsHolder::vignetteUsed, 0},
    {"red-eye", &CTlvSettingsHolder::redEyeUsed, 0},
    {"dust", &CTlvSettingsHolder::dustUsed, 1},
    {"revelation", &CTlvSettingsHolder::revelationUsed, 0},
    {"flags", &CTlvSettingsHolder::flagsUsed, 0},
    {"plug-ins", &CTlvSettingsHolder::pluginsUsed, 1},
    {"chroma boost", &CTlvSettingsHolder::chromaBoostUsed, 1},
    {"auto brightness", &CTlvSettingsHolder::autoBrightnessUsed, 1},
};

void ExpectHolderDefaults(const CTlvSettingsHolder& holder)
{
    for (const UseFlagCase& c : kUseFlags)
        EXPECT_EQ(holder.*c.flag, c.constructed) << c.record;

    EXPECT_EQ(holder.geometry.GetOutputWidth(), 3008.0);
    EXPECT_EQ(holder.geometry.GetOutputHeight(), 2000.0);
    ASSERT_NE(holder.geometry.GetResolution(), nullptr);
    EXPECT_EQ(holder.geometry.GetResolution()->value, 300.0);
    EXPECT_EQ(holder.whiteBalance.mode, CTlWhiteBalanceState::kModeAsShot);
    EXPECT_EQ(holder.whiteBalance.firstGain, 1.0);
    EXPECT_EQ(holder.whiteBalance.secondGain, 1.0);
    EXPECT_EQ(holder.toneCurves.GetKind(), kTlLutGroupToneCurves);
    EXPECT_EQ(holder.brightnessContrast.GetKind(), kTlLutGroupBrightnessContrast);
    EXPECT_EQ(holder.lch.GetKind(), kTlLutGroupLch);
    EXPECT_EQ(holder.vignette.value, 80);
    EXPECT_TRUE(holder.usmList.IsDefault());
    EXPECT_TRUE(holder.dust.IsDefault());

    EXPECT_FALSE(holder.data.HasData());
    EXPECT_EQ(holder.flip, 0);
    EXPECT_EQ(holder.angle, 0);
    EXPECT_EQ(holder.resolution, 300.0);
    EXPECT_EQ(holder.minScaleRatio, -1.0);
    EXPECT_EQ(holder.cameraValues[0], 1.0);
    EXPECT_EQ(holder.cameraValues[1], 1.0);
    EXPECT_EQ(holder.modelCode, 0);
    EXPECT_EQ(holder.secondValueSwitch, 0);
    EXPECT_EQ(holder.secondValueBlock, 0u);
    EXPECT_EQ(holder.images.image, nullptr);
    EXPECT_EQ(holder.images.tags, nullptr);
    EXPECT_EQ(holder.images.buffer, nullptr);
    EXPECT_TRUE(holder.images.subImages.empty());
}

TEST(SettingsHolderTest, ConstructedDefaults)
{
    CTlvSettingsHolder holder;
    ExpectHolderDefaults(holder);
    // The base holder leaves the curve containers with their master alone.
    EXPECT_EQ(holder.toneCurves.GetCount(), 1);
    EXPECT_EQ(holder.brightnessContrast.GetCount(), 1);
}

struct Colours {
    TlLutColour curve, start, end;
};

bool operator==(const TlLutColour& a, const TlLutColour& b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

void ExpectChannels(const CTlLutGroup& group, const std::vector<Colours>& expected)
{
    ASSERT_EQ(group.GetCount(), int(expected.size()));
    EXPECT_EQ(group.GetCurrentElement(), 0);
    for (int i = 0; i < group.GetCount(); ++i) {
        const auto* lut = dynamic_cast<const CTlLut*>(group.GetAt(i));
        ASSERT_NE(lut, nullptr) << i;
        EXPECT_EQ(lut->GetElementId(), i);
        const TlLutColour* colours = lut->GetColours();
        EXPECT_TRUE(colours[0] == expected[i].curve) << "channel " << i;
        EXPECT_TRUE(colours[1] == expected[i].start) << "channel " << i;
        EXPECT_TRUE(colours[2] == expected[i].end) << "channel " << i;
    }
}

TEST(ControlSettingsTest, ConstructedDefaults)
{
    CTlvControlSettings holder;
    ExpectHolderDefaults(holder);

    ASSERT_NE(holder.defaults, nullptr);
    unsigned char expected[72] = {};
    expected[8] = 0xE8; // 1000
    expected[9] = 0x03;
    expected[70] = 1;
    expected[71] = 2;
    EXPECT_EQ(std::memcmp(holder.defaults.get(), expected, sizeof expected), 0);
    EXPECT_EQ(holder.engine, nullptr); // no engine maker registered
    EXPECT_EQ(holder.controlWord, 10);
    EXPECT_EQ(holder.viewScale, 1.0);
    EXPECT_EQ(holder.zentharGeneral.a, 1);
    EXPECT_EQ(holder.zentharGeneral.runValues[3], 2);
    EXPECT_EQ(holder.secondWhiteBalance.mode, CTlWhiteBalanceState::kModeAsShot);
    EXPECT_EQ(holder.secondWhiteBalance.firstGain, 1.0);
    EXPECT_EQ(holder.secondWhiteBalance.secondGain, 1.0);
    EXPECT_TRUE(holder.secondAdjust.IsDefault());
    const TlvImportChanges none;
    EXPECT_EQ(std::memcmp(&holder.changes, &none, sizeof none), 0);

    const TlLutColour black{0, 0, 0}, white{255, 255, 255};
    const TlLutColour red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255};
    ExpectChannels(holder.toneCurves,
                   {{black, black, white}, {red, black, red}, {green, black, green}, {blue, black, blue}});
    ExpectChannels(holder.brightnessContrast,
                   {{black, black, black}, {black, black, black}, {black, black, black}, {black, black, black}});
    // The LCH set's one channel as a load rebuilds it, so that stored
    // defaults read back unchanged.
    ExpectChannels(holder.lch, {{black, black, white}});
}

TEST(ControlSettingsTest, MakesItsEngineWithTheRegisteredMaker)
{
    FakeCore core;
    CTlvControlSettings holder;
    EXPECT_NE(holder.engine, nullptr);
    EXPECT_EQ(core.enginesMade, 1);
}

TEST(SettingsHolderTest, SerialNumbersAreUniqueAcrossThreads)
{
    constexpr int kThreads = 4;
    constexpr int kPerThread = 25;
    std::array<std::vector<std::uint32_t>, kThreads> serials;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&serials, t] {
            for (int i = 0; i < kPerThread; ++i)
                serials[t].push_back(std::make_unique<CTlvSettingsHolder>()->serial);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    std::set<std::uint32_t> all;
    for (const auto& list : serials) {
        EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));
        all.insert(list.begin(), list.end());
    }
    EXPECT_EQ(all.size(), std::size_t(kThreads * kPerThread));
    EXPECT_GT(CTlvSettingsHolder().serial, *all.rbegin());
}

TEST(SettingsHolderTest, ParamSetsComeFromTheRegisteredMaker)
{
    {
        CTlvSettingsHolder holder;
        EXPECT_EQ(holder.CreateParamSet(), nullptr) << "no maker registered";
    }
    FakeCore core;
    CTlvSettingsHolder plain;
    CTlvControlSettings control;
    EXPECT_EQ(plain.CreateParamSet(), FakeParamSet(TlvParamSetKind::kPlain));
    CTlvSettingsHolder& asBase = control;
    EXPECT_EQ(asBase.CreateParamSet(), FakeParamSet(TlvParamSetKind::kControl));
    ASSERT_EQ(core.paramSetRequests.size(), 2u);
    EXPECT_EQ(core.paramSetRequests[0].holder, &plain);
    EXPECT_EQ(core.paramSetRequests[1].holder, &control);

    core.paramSetsThrow = true;
    EXPECT_EQ(plain.CreateParamSet(), nullptr);
    EXPECT_EQ(control.CreateParamSet(), nullptr);
}

// A real tag control with the tags a test puts into it.
class TagsHolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(IKelvraTagControl::CreateTagControl(&m_tags), nullptr);
        holder.images.tags = m_tags;
        holder.cameraValues[0] = 1.75;
        holder.cameraValues[1] = 1.25;
    }
    void TearDown() override
    {
        holder.images.tags = nullptr; // not registered: the test owns it
        if (m_tags)
            m_tags->Destroy();
    }

    void Put(std::uint32_t id, std::uint32_t type, const void* value, std::uint32_t length)
    {
        ASSERT_EQ(m_tags->AddTag(id), nullptr);
        ASSERT_EQ(m_tags->SetTag(id, type, length, value), nullptr);
    }
    void PutModelCode(std::uint32_t code) { Put(kKelvraTagModelCode, kKelvraTagTypeLong, &code, sizeof code); }

    CTlvSettingsHolder holder;
    IKelvraTagControl* m_tags = nullptr;
};

TEST_F(TagsHolder, ReadsTheCameraValuesAndTheModelCode)
{
    const double values[4] = {2.0, 1.5, 1.0, 1.0};
    Put(kTlvCameraValuesTag, kKelvraTagTypeDoubles, values, sizeof values);
    PutModelCode(259);
    EXPECT_EQ(holder.ReadCameraValues(), 259);
    EXPECT_EQ(holder.modelCode, 259);
    EXPECT_EQ(holder.cameraValues[0], 2.0);
    EXPECT_EQ(holder.cameraValues[1], 1.5);
}

TEST_F(TagsHolder, KeepsTheCameraValuesWhenTheTagCannotBeRead)
{
    const std::uint32_t wrongType = 7;
    const struct {
        const char* name;
        std::function<void()> put;
    } cases[] = {
        {"missing", [] {}},
        {"of another type", [&] { Put(kTlvCameraValuesTag, kKelvraTagTypeLong, &wrongType, sizeof wrongType); }},
        {"added without a value", [&] { ASSERT_EQ(m_tags->AddTag(kTlvCameraValuesTag), nullptr); }},
    };
    PutModelCode(514);
    for (const auto& c : cases) {
        IKelvraError::Release(m_tags->RemoveTag(kTlvCameraValuesTag));
        c.put();
        EXPECT_EQ(holder.ReadCameraValues(), 514) << c.name;
        EXPECT_EQ(holder.cameraValues[0], 1.75) << c.name;
        EXPECT_EQ(holder.cameraValues[1], 1.25) << c.name;
    }
}

TEST_F(TagsHolder, WithoutTagsKeepsTheValuesAndGivesModelCodeZero)
{
    holder.modelCode = 77;
    holder.images.tags = nullptr;
    EXPECT_EQ(holder.ReadCameraValues(), 0);
    EXPECT_EQ(holder.modelCode, 0);
    EXPECT_EQ(holder.cameraValues[0], 1.75);
}

} // namespace
