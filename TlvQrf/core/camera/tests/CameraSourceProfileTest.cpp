// Raw images get their generated camera profiles through the source-profile
// choice, for every model code with camera profiles; the parameters are
// gathered from the tags of the synthetic raw-file maker and the settings.
#include "camera/TlCameraParamsGather.h"
#include "camera/TlCameraSourceProfile.h"
#include "colour/TlWorkingProfiles.h"
#include "params/TlvParamSet.h"
#include "qrfsynth/QrfCapture.h"

#include "CameraTestSupport.h"
#include "RawTestTags.h"

#include <gtest/gtest.h>
#include <lcms2.h>

#include <cmath>
#include <memory>
#include <string>
#include <thread>

using namespace raw_test;

namespace {

PellioTagsPtr SyntheticTags(std::uint32_t model)
{
    PellioTagsPtr tags = MakeTags();
    QrfRawOptions options;
    options.model = model;
    if (QrfIsSignalModel(model))
        options.pattern = QrfPattern::YCGM;
    IKelvraError* error = QrfFillTags(options, tags.get());
    EXPECT_EQ(error, nullptr);
    IKelvraError::Release(error);
    return tags;
}

class CameraSourceProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.IsReady());
        camera_test::WriteCameraData(m_folder);
        ResetWorkingProfiles();
        SetProfileFolder(m_folder.Path().c_str());
        SetGeneratedProfilePrefix("Tlb_");
        m_holder.rawFlag = 1;
    }
    void TearDown() override { ResetWorkingProfiles(); }

    std::string Choose(std::uint32_t model)
    {
        m_tags = SyntheticTags(model);
        m_holder.images.tags = m_tags.get();
        CTlvParamSet set(m_holder);
        const std::string path = ChooseSourceProfileOf(set);
        m_holder.images.tags = nullptr;
        return path;
    }

    TempProfilesFolder m_folder;
    CTlvSettingsHolder m_holder;
    PellioTagsPtr m_tags;
};

// The parameters of a holder whose image has `tags`, for `model`.
TlGatheredParams Gather(CTlvSettingsHolder& holder, IKelvraTagControl* tags, std::uint16_t model)
{
    holder.images.tags = tags;
    CTlvParamSet set(holder);
    set.modelCode = model;
    TlGatheredParams gathered;
    TlGatherCameraParams(set, &gathered);
    holder.images.tags = nullptr;
    return gathered;
}

bool OpensInLittleCms(const std::string& path)
{
    cmsHPROFILE profile = cmsOpenProfileFromFile(path.c_str(), "r");
    if (!profile)
        return false;
    cmsCloseProfile(profile);
    return true;
}

} // namespace

TEST_F(CameraSourceProfileTest, EveryCameraGetsItsProfile)
{
    const struct {
        std::uint32_t model;
        const char* name;
    } cases[] = {
        {257, "TLKX7_QRF.icm"},
        {258, "Tlb_KX7_1_0009_02_308.icm"},
        {259, "Tlb_KX7_1_0009_02_308.icm"},
        {1025, "Tlb_KX6_1_0007_02_308.icm"},
        {260, "Tlb_KX8A_1_0507_03_308.icm"},
        {1026, "Tlb_KX5_1_0510_03_308.icm"},
        {513, "TLsRGB.icm"},
    };
    for (const auto& c : cases) {
        const std::string path = Choose(c.model);
        EXPECT_EQ(path, m_folder.Path() + c.name) << c.model;
        EXPECT_TRUE(OpensInLittleCms(path)) << c.model;
    }
}

TEST_F(CameraSourceProfileTest, ColourModeFromTheSettingsGeneratesForTheFirstKind)
{
    m_holder.adjust.SetColourSpaceChoice(2); // Adobe RGB: colour mode 3
    const std::string path = Choose(257);
    EXPECT_EQ(path, m_folder.Path() + "Tlb_KX7_2_0051_02_308.icm");
    EXPECT_TRUE(OpensInLittleCms(path));
}

TEST_F(CameraSourceProfileTest, AProfileOfTheRightSizeIsReused)
{
    const std::string path = Choose(1025);
    ASSERT_FALSE(path.empty());
    const std::string first = TempFolder::Read(path);
    std::string marked = first;
    marked[300] ^= 0x55;
    TempFolder::Overwrite(path, marked);
    EXPECT_EQ(Choose(1025), path);
    EXPECT_EQ(TempFolder::Read(path), marked) << "same size: not rewritten";
    TempFolder::Overwrite(path, "short");
    EXPECT_EQ(Choose(1025), path);
    EXPECT_EQ(TempFolder::Read(path), first);
}

TEST_F(CameraSourceProfileTest, MissingTablesGiveNoProfile)
{
    // The folder is new to this process, so its tables were never read.
    DeleteFileA((m_folder.Path() + kTlCameraTablesFile).c_str());
    EXPECT_EQ(Choose(1025), "");
}

TEST_F(CameraSourceProfileTest, TablesAreReadOnceWhenTwoThreadsAskAtOnce)
{
    const TlCameraTables* seen[2] = {nullptr, nullptr};
    std::thread first([&] { seen[0] = TlGetCameraTables(); });
    std::thread second([&] { seen[1] = TlGetCameraTables(); });
    first.join();
    second.join();
    ASSERT_NE(seen[0], nullptr);
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(TlGetCameraTables(), seen[0]);
}

TEST(CameraParamsGather, SettingsWhiteBalance)
{
    const struct {
        std::int32_t mode, preset, source, kelvin, subMode, flag;
    } cases[] = {
        {0, 512, 0, 0, 0, 0},      {4, 512, 5, 5200, 0, 0},    {3, 770, 4, 4200, 1, 0},
        {3, 1025, 4, 4200, 2, 0},  {3, 1280, 4, 5400, 3, 1},   {5, 256, 4, 3000, 0, 0},
    };
    for (const auto& c : cases) {
        CTlvSettingsHolder holder;
        holder.whiteBalance.mode = c.mode;
        holder.whiteBalance.preset = c.preset;
        const TlGatheredParams g = Gather(holder, nullptr, 260);
        EXPECT_EQ(g.params.wbSource, c.source) << c.mode << "/" << c.preset;
        EXPECT_EQ(g.params.kelvin, c.kelvin) << c.mode << "/" << c.preset;
        EXPECT_EQ(g.params.subMode, c.subMode) << c.mode << "/" << c.preset;
        EXPECT_EQ(g.params.wbFlag, c.flag) << c.mode << "/" << c.preset;
    }
}

TEST(CameraParamsGather, TagWhiteBalanceAndFineTune)
{
    const struct {
        std::int32_t word0;
        std::uint32_t fine;
        std::int32_t source, preset, kelvin, subMode, fineTune;
    } cases[] = {
        {0x17, 0, 3, 7, 0, 0, 0},        {2, 65535, 2, 2, 5500, 2, -1}, {2, 1, 2, 2, 3700, 2, 1},
        {2, 65531, 2, 2, 7200, 2, -5},   {2, 9, 2, 2, 4200, 1, 9},      {5, 0, 2, 5, 0, 0, 0},
    };
    for (const auto& c : cases) {
        PellioTagsPtr tags = MakeTags();
        const std::int32_t words[2] = {c.word0, 0};
        SetBytes(*tags, 0x80005, kKelvraTagTypeBytes, words, sizeof words);
        SetLong(*tags, 0x8000B, c.fine);
        CTlvSettingsHolder holder;
        const TlGatheredParams g = Gather(holder, tags.get(), 1025);
        EXPECT_EQ(g.params.wbSource, c.source) << c.word0 << "/" << c.fine;
        EXPECT_EQ(g.params.presetWord, c.preset) << c.word0 << "/" << c.fine;
        EXPECT_EQ(g.params.kelvin, c.kelvin) << c.word0 << "/" << c.fine;
        EXPECT_EQ(g.params.subMode, c.subMode) << c.word0 << "/" << c.fine;
        EXPECT_EQ(g.params.fineTune, c.fineTune) << c.word0 << "/" << c.fine;
    }
}

TEST(CameraParamsGather, ColourModeToneAndColourData)
{
    PellioTagsPtr tags = MakeTags();
    SetLong(*tags, 0x8008D, 3);
    SetLong(*tags, 0x80081, 4); // the tone comes from the colour data
    std::uint8_t data[304] = {};
    data[4] = 9;
    data[7] = 40;
    data[8] = 77;
    data[9] = 1;
    data[10] = 2;
    data[11] = 3;
    data[12] = 4;
    SetBytes(*tags, 0x80097, kKelvraTagTypeColorData, data, sizeof data);
    CTlvSettingsHolder holder;
    const TlGatheredParams g = Gather(holder, tags.get(), 1025);
    EXPECT_EQ(g.params.colourMode, 4);
    EXPECT_EQ(g.params.colourModeFromSettings, 0);
    EXPECT_EQ(g.params.toneSource, 2);
    EXPECT_EQ(g.params.tone, 2) << "9 modulo 7";
    EXPECT_EQ(g.params.hueIndex, 340) << "300 added for the KX6 when the tag reads 3";
    EXPECT_EQ(g.params.colourByte8, 77);
    const std::uint8_t bytes[4] = {4, 3, 2, 1};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(g.params.colourBytes[i], bytes[i]);
    EXPECT_EQ(g.params.iso, 200) << "no sensitivity tag";
    EXPECT_EQ(g.params.gains[0], 1.0);
}

TEST(CameraParamsGather, ToneFromTheSettingsAndTheCustomCurve)
{
    const struct {
        int toneMode;
        std::int32_t tone;
    } cases[] = {{2, 0}, {3, 6}, {5, 1}, {6, 5}, {1, 3}, {4, 16}};
    for (const auto& c : cases) {
        CTlvSettingsHolder holder;
        holder.adjust.SetToneMode(c.toneMode);
        const TlGatheredParams g = Gather(holder, nullptr, 260);
        EXPECT_EQ(g.params.toneSource, 1) << c.toneMode;
        EXPECT_EQ(g.params.tone, c.tone) << c.toneMode;
        if (c.tone == 16) {
            ASSERT_NE(g.params.curve, nullptr);
            EXPECT_EQ(g.params.curveInputBits, 16);
            EXPECT_EQ(g.params.curveOutputBits, 16);
            EXPECT_GE(g.customCurveNumber, 0);
            EXPECT_LT(g.customCurveNumber, 100000000);
        }
    }
}

TEST(CameraParamsGather, BrightnessOfTheSyntheticCapture)
{
    PellioTagsPtr tags = SyntheticTags(1025); // f/5.6, 1/125 s, ISO 200
    const double expected = std::log2(5.6 * 5.6) + std::log(125.0 / std::log(2.0)) - (std::log2(200.0) - 1.643856);
    EXPECT_NEAR(TlBrightnessValue(tags.get()), expected, 1e-9);
    PellioTagsPtr empty = MakeTags();
    EXPECT_NEAR(TlBrightnessValue(empty.get()), std::log(1 / std::log(2.0)) - (std::log2(200.0) - 1.643856), 1e-9);
    EXPECT_NEAR(TlBrightnessValue(nullptr), TlBrightnessValue(empty.get()), 1e-12);
}
