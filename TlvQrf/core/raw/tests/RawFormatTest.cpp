#include "raw/TlRawFormat.h"

#include "RawTestTags.h"

#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using raw_test::MakeTags;
using raw_test::SetLong;
using raw_test::SetText;

TEST(RawFormatCode, ReadsTheFormatTagAndFallsBackToZero)
{
    EXPECT_EQ(GetFormatCode(nullptr), 0u);
    auto tags = MakeTags();
    EXPECT_EQ(GetFormatCode(tags.get()), 0u);
    SetLong(*tags, kTlRawFormatTag, kTlRawSignal4);
    EXPECT_EQ(GetFormatCode(tags.get()), kTlRawSignal4);
}

struct MakerCase {
    const char* name;
    std::optional<std::string> make;
    bool formatTag;
    bool expected;
};

class MakerRawImage : public testing::TestWithParam<MakerCase> {};

TEST_P(MakerRawImage, NeedsTheMakerAndTheFormatTag)
{
    const MakerCase& c = GetParam();
    auto tags = MakeTags();
    if (c.make)
        SetText(*tags, kTlMakeTag, *c.make);
    if (c.formatTag)
        SetLong(*tags, kTlRawFormatTag, kTlRawMosaic);
    EXPECT_EQ(IsMakerRawImage(tags.get()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MakerRawImage,
    testing::Values(MakerCase{"UpperCase", std::string("TALVO"), true, true},
                    MakerCase{"LowerCaseWithWords", std::string("talvo imaging corp."), true, true},
                    MakerCase{"NameInside", std::string("The Talvo Company"), true, true},
                    MakerCase{"NoFormatTag", std::string("TALVO"), false, false},
                    MakerCase{"OtherMaker", std::string("Orvex"), true, false},
                    MakerCase{"NoMake", std::nullopt, true, false},
                    MakerCase{"EmptyMake", std::string(""), true, false}),
    [](const testing::TestParamInfo<MakerCase>& info) { return std::string(info.param.name); });

TEST(MakerRawImageNull, NoTagControlIsNoMakerImage) { EXPECT_FALSE(IsMakerRawImage(nullptr)); }

struct DevelopedCase {
    const char* name;
    std::uint32_t format;
    STlPixelSize image;
    STlRawDevelopment development;
    bool allowSignal;
    STlPixelSize expected;
};

class DevelopedSizes : public testing::TestWithParam<DevelopedCase> {};

TEST_P(DevelopedSizes, FollowFormatModelAndFlags)
{
    const DevelopedCase& c = GetParam();
    const STlPixelSize signal{3000, 2000};
    const STlPixelSize size = DevelopedSize(c.format, c.image, c.development, c.allowSignal, &signal);
    EXPECT_EQ(size.width, c.expected.width);
    EXPECT_EQ(size.height, c.expected.height);
}

constexpr std::uint32_t kRgb16 = 0x10060201;

INSTANTIATE_TEST_SUITE_P(
    Cases, DevelopedSizes,
    testing::Values(DevelopedCase{"Mosaic259", kTlRawMosaic, {100, 100}, {259, false}, false, {4016, 2616}},
                    DevelopedCase{"Mosaic260AnySize", kTlRawMosaic, {7, 9}, {260, false}, false, {2464, 1632}},
                    DevelopedCase{"Mosaic1025", kTlRawMosaic, {1, 1}, {1025, true}, false, {3008, 2000}},
                    DevelopedCase{"Mosaic1026", kTlRawMosaic, {1, 1}, {1026, true}, false, {3008, 2000}},
                    DevelopedCase{"MosaicOtherLosesBorder", kTlRawMosaic, {3020, 2012}, {1, false}, false,
                                  {3008, 2000}},
                    DevelopedCase{"MosaicTinyDoesNotWrap", kTlRawMosaic, {5, 5}, {1, false}, false, {0, 0}},
                    DevelopedCase{"NotDevelopedKeepsSize", kRgb16, {4016, 1312}, {513, false}, true, {4016, 1312}},
                    DevelopedCase{"HalfHeightDoubles", kRgb16, {4016, 1312}, {1, true}, false, {4016, 2616}},
                    DevelopedCase{"SignalModelAllowed", kRgb16, {10, 10}, {514, true}, true, {3000, 2000}},
                    DevelopedCase{"SignalModelNotAllowed", kRgb16, {10, 10}, {514, true}, false, {10, 10}},
                    DevelopedCase{"OtherModelDeveloped", kRgb16, {10, 10}, {517, true}, true, {10, 10}}),
    [](const testing::TestParamInfo<DevelopedCase>& info) { return std::string(info.param.name); });

TEST(DevelopedSizeSignal, UnknownSignalSizeKeepsTheImageSize)
{
    const STlPixelSize size = DevelopedSize(kRgb16, {10, 20}, {513, true}, true, nullptr);
    EXPECT_EQ(size.width, 10u);
    EXPECT_EQ(size.height, 20u);
}

class OutputSizeOfImage : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &manager), nullptr);
        ASSERT_EQ(manager->CreateImage(&image), nullptr);
    }
    void TearDown() override
    {
        if (image)
            image->Release();
        if (manager)
            manager->Release();
    }
    void Shape(std::uint32_t format, long width, long height)
    {
        ASSERT_EQ(image->SetColorSpace(format), nullptr);
        ASSERT_EQ(image->SetSize(width, height), nullptr);
    }

    IKelvraManager* manager = nullptr;
    IKelvraImage* image = nullptr;
    std::uint32_t width = 7;
    std::uint32_t height = 7;
};

TEST_F(OutputSizeOfImage, MosaicOfAKnownModelIgnoresTheImageSize)
{
    Shape(kTlRawMosaic, 640, 480);
    ASSERT_TRUE(GetOutputSize(image, {260, false}, false, nullptr, width, height));
    EXPECT_EQ(width, 2464u);
    EXPECT_EQ(height, 1632u);
}

TEST_F(OutputSizeOfImage, DevelopedRgbKeepsItsSize)
{
    Shape(kRgb16, 640, 480);
    ASSERT_TRUE(GetOutputSize(image, {1, true}, true, nullptr, width, height));
    EXPECT_EQ(width, 640u);
    EXPECT_EQ(height, 480u);
}

TEST_F(OutputSizeOfImage, NoImageFailsAndLeavesTheOutputs)
{
    EXPECT_FALSE(GetOutputSize(nullptr, {}, false, nullptr, width, height));
    EXPECT_EQ(width, 7u);
    EXPECT_EQ(height, 7u);
}

struct SensorCase {
    const char* name;
    bool sizeTags;
    std::optional<std::uint32_t> format;
    std::optional<std::uint32_t> model;
    bool correct;
    bool result;
    STlPixelSize expected;
};

class SensorSizes : public testing::TestWithParam<SensorCase> {};

TEST_P(SensorSizes, ReadAndCorrect)
{
    const SensorCase& c = GetParam();
    auto tags = MakeTags();
    if (c.sizeTags) {
        SetLong(*tags, kKelvraTagImageWidth, 3040);
        SetLong(*tags, kKelvraTagImageHeight, 2014);
    }
    if (c.format)
        SetLong(*tags, kTlRawFormatCodeTag, *c.format);
    if (c.model)
        SetLong(*tags, kKelvraTagModelCode, *c.model);
    std::uint32_t width = 99;
    std::uint32_t height = 99;
    EXPECT_EQ(GetSensorSize(tags.get(), width, height, c.correct), c.result);
    EXPECT_EQ(width, c.expected.width);
    EXPECT_EQ(height, c.expected.height);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SensorSizes,
    testing::Values(SensorCase{"Uncorrected", true, std::nullopt, std::nullopt, false, true, {3040, 2014}},
                    SensorCase{"MissingSize", false, kTlRawSignal4, 1u, true, false, {0, 0}},
                    SensorCase{"Signal4Trims", true, kTlRawSignal4, 1u, true, true, {3024, 2008}},
                    SensorCase{"Signal3Fixed", true, kTlRawSignal3, 1u, true, true, {2560, 1920}},
                    SensorCase{"MosaicByModel", true, kTlRawMosaic, 259u, true, true, {4016, 2616}},
                    SensorCase{"MosaicOtherModel", true, kTlRawMosaic, 7u, true, true, {3028, 2002}},
                    SensorCase{"OtherFamilyUnchanged", true, 0x10060201u, 1u, true, true, {3040, 2014}},
                    SensorCase{"NoFormatCode", true, std::nullopt, 1u, true, false, {3040, 2014}},
                    SensorCase{"NoModelCode", true, kTlRawSignal4, std::nullopt, true, false, {3040, 2014}}),
    [](const testing::TestParamInfo<SensorCase>& info) { return std::string(info.param.name); });

} // namespace
