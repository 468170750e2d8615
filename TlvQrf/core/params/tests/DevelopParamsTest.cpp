// The develop block of the signal-processing cameras: white balance as shot
// and from the settings, with hostile multipliers from the file; the codes
// for sharpening, tone and exposure; the tone value of the camera's tag;
// and when the block is (not) handed to the image.
#include "params/TlDevelopParams.h"

#include "DevelopTestSupport.h"

#include <cmath>
#include <limits>

using namespace develop_test;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct Block {
    int values[kSigProcParamCount];
};

Block BlockOf(CSigProcImage& image)
{
    Block block{};
    image.GetParams(block.values);
    return block;
}

// The first white-balance pair of the maker table: blue, red.
std::pair<int, int> FirstPair(const CSigProcImage& image)
{
    const std::vector<std::uint8_t>& table = image.GetMakerTable();
    if (table.size() < 336)
        return {-1, -1};
    return {table[332] | table[333] << 8, table[334] | table[335] << 8};
}

class DevelopParamsTest : public ::testing::Test {
protected:
    IKelvraManager* Manager() { return m_holder.manager; }
    ManagerHolder m_holder;
};

} // namespace

TEST_F(DevelopParamsTest, AsShotGainsAreScaledAndHeldToTheLibrarysLimit)
{
    struct Case {
        std::uint32_t model;
        double red, blue;
        int expectedRed, expectedBlue;
    } const cases[] = {
        {513, 2.5, 1.5, 320, 192},
        {513, 5.0, 1.5, 512, 192},
        {514, 1.0, 3.999, 128, 511},
        {515, 2.5, 1.5, 640, 384},
        {516, 5.0, 4.0, 1024, 1024},
        // Hostile multipliers from the file count as 1.0 or stop at the limit.
        {513, -2.0, 0.0, 128, 128},
        {513, kNaN, -kInfinity, 128, 128},
        {515, kInfinity, 1e300, 256, 1024},
        {516, -1e300, 1e-300, 256, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.model << ": " << c.red << ", " << c.blue);
        SyntheticPicture picture(Manager(), c.model);
        SetMultipliers(picture.Tags(), c.red, c.blue);
        EXPECT_TRUE(UpdateDevelopParams(*picture.Params(), true, false));
        const Block block = BlockOf(*picture.Developed());
        EXPECT_EQ(c.expectedRed, block.values[kTlDevelopRedGain]);
        EXPECT_EQ(c.expectedBlue, block.values[kTlDevelopBlueGain]);
    }
}

TEST_F(DevelopParamsTest, SettingsGainsAndTheirWhiteBalanceCode)
{
    struct Case {
        std::int32_t mode;
        std::int32_t preset;
        double first, second;
        int expectedRed, expectedBlue; // -1: whatever the temperature gives
        bool cameraPreset;             // code 1: the gains also stand in the first pair
    } const cases[] = {
        {CTlWhiteBalanceState::kModeGains, 0, 1.5, 0.75, 192, 96, false},
        {CTlWhiteBalanceState::kModeGains, 0, 9.0, -3.0, 512, 128, false},
        {CTlWhiteBalanceState::kModeGains, 0, kNaN, kInfinity, 128, 128, false},
        {CTlWhiteBalanceState::kModeTemperature, 256, 0, 0, -1, -1, true},
        {CTlWhiteBalanceState::kModeTemperature, 3, 0, 0, -1, -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " preset " << c.preset);
        SyntheticPicture picture(Manager(), 513);
        picture.holder.whiteBalanceUsed = 1;
        picture.holder.whiteBalance.mode = c.mode;
        picture.holder.whiteBalance.preset = c.preset;
        picture.holder.whiteBalance.temperature = 5000;
        picture.holder.whiteBalance.firstGain = c.first;
        picture.holder.whiteBalance.secondGain = c.second;
        EXPECT_TRUE(UpdateDevelopParams(*picture.Params(), true, false));
        CSigProcImage& image = *picture.Developed();
        const Block block = BlockOf(image);
        if (c.expectedRed >= 0) {
            EXPECT_EQ(c.expectedRed, block.values[kTlDevelopRedGain]);
            EXPECT_EQ(c.expectedBlue, block.values[kTlDevelopBlueGain]);
        }
        const std::pair<int, int> pair = FirstPair(image);
        const int offset = c.cameraPreset ? 0 : 1;
        EXPECT_EQ(block.values[kTlDevelopBlueGain] - offset, pair.first);
        EXPECT_EQ(block.values[kTlDevelopRedGain] - offset, pair.second);
    }
}

TEST_F(DevelopParamsTest, AsShotRecordAndPresetModeUseTheFilesMultipliers)
{
    for (std::int32_t mode : {CTlWhiteBalanceState::kModeAsShot, CTlWhiteBalanceState::kModePreset}) {
        SCOPED_TRACE(mode);
        SyntheticPicture picture(Manager(), 513);
        SetMultipliers(picture.Tags(), 2.5, 1.5);
        picture.holder.whiteBalanceUsed = 1;
        picture.holder.whiteBalance.mode = mode;
        picture.holder.whiteBalance.firstGain = 3.0;
        picture.holder.whiteBalance.secondGain = 3.0;
        EXPECT_TRUE(UpdateDevelopParams(*picture.Params(), true, false));
        const Block block = BlockOf(*picture.Developed());
        EXPECT_EQ(320, block.values[kTlDevelopRedGain]);
        EXPECT_EQ(192, block.values[kTlDevelopBlueGain]);
    }
}

TEST_F(DevelopParamsTest, SharpeningAndToneCodes)
{
    struct Case {
        bool adjust;
        int level;
        int sharpeningCode;
    } const sharpening[] = {{false, 4, 1}, {true, 0, 1}, {true, 1, 4}, {true, 2, 2},
                            {true, 3, 0},  {true, 4, 3}, {true, 5, 4}, {true, 6, 4}};
    for (const Case& c : sharpening) {
        SCOPED_TRACE(::testing::Message() << "sharpening " << c.adjust << "/" << c.level);
        SyntheticPicture picture(Manager(), 514);
        picture.holder.adjustUsed = c.adjust;
        picture.holder.adjust.third = static_cast<std::uint16_t>(c.level);
        UpdateDevelopParams(*picture.Params(), true, false);
        EXPECT_EQ(c.sharpeningCode, BlockOf(*picture.Developed()).values[kTlDevelopSharpening]);
    }
    struct ToneCase {
        bool adjust;
        int mode;
        int toneCode;
    } const tone[] = {{false, 2, 1}, {true, 0, 1}, {true, 1, 0}, {true, 2, 3}, {true, 3, 2},
                      {true, 4, 0},  {true, 5, 3}, {true, 6, 2}, {true, 9, 0}};
    for (const ToneCase& c : tone) {
        SCOPED_TRACE(::testing::Message() << "tone " << c.adjust << "/" << c.mode);
        SyntheticPicture picture(Manager(), 516);
        picture.holder.adjustUsed = c.adjust;
        picture.holder.adjust.SetToneMode(c.mode);
        UpdateDevelopParams(*picture.Params(), true, false);
        EXPECT_EQ(c.toneCode, BlockOf(*picture.Developed()).values[kTlDevelopTone]);
    }
}

TEST_F(DevelopParamsTest, ExposureValue)
{
    struct Case {
        bool adjust;
        double ev;
        int exposure;
    } const cases[] = {
        {true, 1.0, 512},
        {true, -1.0, 128},
        {true, 0.5, 362},
        {false, 1.0, 256},
        {true, 0.0, 256},
        // Values no dialog gives stay inside the block's range.
        {true, kNaN, 256},
        {true, 1000.0, std::numeric_limits<std::int32_t>::max()},
        {true, kInfinity, std::numeric_limits<std::int32_t>::max()},
        {true, -1000.0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.adjust << " " << c.ev);
        SyntheticPicture picture(Manager(), 515);
        picture.holder.adjustUsed = c.adjust;
        picture.holder.adjust.value = c.ev;
        UpdateDevelopParams(*picture.Params(), true, false);
        EXPECT_EQ(c.exposure, BlockOf(*picture.Developed()).values[kTlDevelopExposure]);
    }
}

TEST_F(DevelopParamsTest, ToneValueFromTheCamerasTag)
{
    struct Case {
        bool present;
        std::int32_t value;
        int toneValue;
    } const cases[] = {{true, -2, 192}, {true, -1, 224}, {true, 0, 256}, {true, 1, 288},
                       {true, 2, 256},  {true, -3, 256}, {false, 0, 256}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.present << " " << c.value);
        SyntheticPicture picture(Manager(), 513);
        if (c.present)
            raw_test::SetLong(picture.Tags(), 0x80094, static_cast<std::uint32_t>(c.value));
        UpdateDevelopParams(*picture.Params(), true, false);
        EXPECT_EQ(c.toneValue, BlockOf(*picture.Developed()).values[kTlDevelopToneValue]);
    }
}

TEST_F(DevelopParamsTest, UnreadableToneTagFallsBackToTheNeutralValue)
{
    SyntheticPicture picture(Manager(), 513);
    const std::uint8_t shortValue[2] = {0xFF, 0xFF};
    raw_test::SetBytes(picture.Tags(), 0x80094, 300, shortValue, sizeof shortValue);
    EXPECT_TRUE(UpdateDevelopParams(*picture.Params(), true, false));
    EXPECT_EQ(256, BlockOf(*picture.Developed()).values[kTlDevelopToneValue]);
}

TEST_F(DevelopParamsTest, OnlyAChangeIsReportedAndOnlyApplyHandsItOver)
{
    SyntheticPicture picture(Manager(), 513);
    SetMultipliers(picture.Tags(), 2.5, 1.5);
    CSigProcImage& image = *picture.Developed();
    const Block before = BlockOf(image);

    EXPECT_TRUE(UpdateDevelopParams(*picture.Params(), false, false));
    const Block untouched = BlockOf(image);
    EXPECT_TRUE(std::equal(before.values, before.values + kSigProcParamCount, untouched.values));

    EXPECT_TRUE(UpdateDevelopParams(*picture.Params(), true, false));
    EXPECT_EQ(320, BlockOf(image).values[kTlDevelopRedGain]);
    EXPECT_TRUE(image.IsStale());
    EXPECT_FALSE(UpdateDevelopParams(*picture.Params(), true, false)) << "nothing changed the second time";

    // A new white-balance mode alone counts, through the library's answer.
    picture.holder.whiteBalanceUsed = 1;
    picture.holder.whiteBalance.mode = CTlWhiteBalanceState::kModeGains;
    picture.holder.whiteBalance.firstGain = 2.5;
    picture.holder.whiteBalance.secondGain = 1.5;
    EXPECT_TRUE(UpdateDevelopParams(*picture.Params(), true, false));
    EXPECT_FALSE(UpdateDevelopParams(*picture.Params(), true, false));
}

TEST_F(DevelopParamsTest, OtherPicturesAreLeftAlone)
{
    SyntheticPicture notRaw(Manager(), 513);
    notRaw.holder.rawFlag = 0;
    SetMultipliers(notRaw.Tags(), 2.5, 1.5);
    EXPECT_FALSE(UpdateDevelopParams(*notRaw.Params(), true, false));
    EXPECT_EQ(128, BlockOf(*notRaw.Developed()).values[kTlDevelopRedGain]) << "the block stays as it was";

    for (std::uint32_t model : {257u, 259u, 1025u}) {
        SCOPED_TRACE(model);
        SyntheticPicture picture(Manager(), model);
        EXPECT_FALSE(UpdateDevelopParams(*picture.Params(), true, false));
    }

    // A signal-processing camera's tags over a plain image.
    SyntheticPicture plain(Manager(), 257);
    raw_test::SetLong(plain.Tags(), kKelvraTagModelCode, 513);
    EXPECT_FALSE(UpdateDevelopParams(*plain.Params(), true, false));
}

TEST_F(DevelopParamsTest, NormalisesTheSettingsFirst)
{
    SyntheticPicture picture(Manager(), 514);
    picture.holder.adjustUsed = 1;
    picture.holder.adjust.SetToneMode(4);
    picture.holder.adjust.SetColourSpaceChoice(2);
    UpdateDevelopParams(*picture.Params(), true, false);
    EXPECT_EQ(1, picture.holder.adjust.ToneMode());
    EXPECT_EQ(0, picture.holder.adjust.ColourSpaceChoice());
}
