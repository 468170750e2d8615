// The raw options: white-balance and adjustment overrides and colour
// management, with the updates each sends.
#include "ControlTestSupport.h"

namespace {

using namespace control_test;
using namespace TlvQrfLib;

strTlnRawOption Option(std::uint32_t type, void* value)
{
    return strTlnRawOption{sizeof(strTlnRawOption), type, value};
}

class ControlRawOptions : public ControlFixture {
protected:
    long SetWhiteBalance(CTlvQrfControl& c, std::int32_t preset, std::uint32_t fineTune)
    {
        strTlnWhiteBalanceOption value{sizeof value, preset, fineTune};
        strTlnRawOption option = Option(2, &value);
        return CodeOf(c.SetRawOption(&option));
    }
    strTlnWhiteBalanceOption GetWhiteBalance(CTlvQrfControl& c)
    {
        strTlnWhiteBalanceOption value{sizeof value, -1, 0xFFFFFFFFu};
        strTlnRawOption option = Option(2, &value);
        EXPECT_EQ(0, CodeOf(c.GetRawOption(&option)));
        return value;
    }
    std::size_t Updates() const { return script.updateChanges.size(); }
};

TEST_F(ControlRawOptions, WhiteBalanceKeepsTheRawCodeAndStoresTheKnownPreset)
{
    CTlvQrfControl& c = ControlWithChain();
    EXPECT_EQ(0, GetWhiteBalance(c).preset) << "no override yet";
    EXPECT_EQ(0, SetWhiteBalance(c, 4098, 40));
    EXPECT_EQ(0x80u, script.updateChanges.back());
    EXPECT_EQ(4098, GetWhiteBalance(c).preset);
    EXPECT_EQ(40u, GetWhiteBalance(c).fineTune);
    EXPECT_EQ(0, c.secondWhiteBalance.preset) << "an unknown preset is stored as 0";
    EXPECT_EQ(CTlWhiteBalanceState::kModeTemperature, c.secondWhiteBalance.mode);
    EXPECT_EQ(40, c.secondWhiteBalance.temperature);
    EXPECT_EQ(257, c.secondWhiteBalance.further) << "the camera's model code";

    const std::size_t updates = Updates();
    EXPECT_EQ(0, SetWhiteBalance(c, 4098, 40));
    EXPECT_EQ(updates, Updates()) << "the same values change nothing";
    for (std::int32_t known : {256, 512, 513, 514, 768, 1024, 1280}) {
        EXPECT_EQ(0, SetWhiteBalance(c, known, 0));
        EXPECT_EQ(known, c.secondWhiteBalance.preset);
    }
}

TEST_F(ControlRawOptions, FineTuneAboveSixteenBitsChangesEveryTime)
{
    CTlvQrfControl& c = ControlWithChain();
    EXPECT_EQ(0, SetWhiteBalance(c, 256, 0x10005));
    const std::size_t updates = Updates();
    EXPECT_EQ(0, SetWhiteBalance(c, 256, 0x10005));
    EXPECT_EQ(updates + 1, Updates());
    EXPECT_EQ(5u, GetWhiteBalance(c).fineTune);
}

TEST_F(ControlRawOptions, AdjustmentOverride)
{
    CTlvQrfControl& c = ControlWithChain();
    strTlnAdjustmentOption value{sizeof value, 0, 0.7};
    strTlnRawOption option = Option(3, &value);
    EXPECT_EQ(0, CodeOf(c.SetRawOption(&option)));
    EXPECT_EQ(0x100u, script.updateChanges.back());
    EXPECT_EQ(0.7, c.secondAdjust.value);
    strTlnAdjustmentOption back{sizeof back, 0, 0};
    strTlnRawOption get = Option(3, &back);
    EXPECT_EQ(0, CodeOf(c.GetRawOption(&get)));
    EXPECT_EQ(0.7, back.value);

    strTlnRawOption reset = Option(3, nullptr);
    EXPECT_EQ(0, CodeOf(c.ResetRawOption(&reset)));
    EXPECT_EQ(0x100u, script.updateChanges.back());
    EXPECT_EQ(0, CodeOf(c.GetRawOption(&get)));
    EXPECT_EQ(0.0, back.value);
    const std::size_t updates = Updates();
    EXPECT_EQ(0, CodeOf(c.ResetRawOption(&reset)));
    EXPECT_EQ(updates, Updates()) << "no override, no update";
}

TEST_F(ControlRawOptions, ColourManagement)
{
    CTlvQrfControl& c = ControlWithChain();
    strTlnColourOption off{sizeof off, 0, {}};
    strTlnRawOption option = Option(4, &off);
    EXPECT_EQ(0, CodeOf(c.SetRawOption(&option)));
    EXPECT_EQ(0x10000u, script.updateChanges.back());
    EXPECT_FALSE(script.colourManagement);
    const std::size_t updates = Updates();
    EXPECT_EQ(0, CodeOf(c.SetRawOption(&option)));
    EXPECT_EQ(updates + 1, Updates()) << "sent also when unchanged";
    strTlnColourOption back{sizeof back, 9, {}};
    strTlnRawOption get = Option(4, &back);
    EXPECT_EQ(0, CodeOf(c.GetRawOption(&get)));
    EXPECT_EQ(0, back.enabled);

    strTlnRawOption reset = Option(4, nullptr);
    EXPECT_EQ(0, CodeOf(c.ResetRawOption(&reset)));
    EXPECT_EQ(1, c.ColourManagement());
    EXPECT_TRUE(script.colourManagement);
    EXPECT_EQ(0x10000u, script.updateChanges.back());
}

TEST_F(ControlRawOptions, WhiteBalanceResetClearsTheOverride)
{
    CTlvQrfControl& c = ControlWithChain();
    EXPECT_EQ(0, SetWhiteBalance(c, 512, 3));
    strTlnRawOption reset = Option(2, nullptr);
    EXPECT_EQ(0, CodeOf(c.ResetRawOption(&reset)));
    EXPECT_EQ(0x80u, script.updateChanges.back());
    EXPECT_EQ(0, GetWhiteBalance(c).preset);
    EXPECT_EQ(0u, GetWhiteBalance(c).fineTune);
    EXPECT_EQ(0, c.secondWhiteBalance.preset);
}

TEST_F(ControlRawOptions, RefusedOptions)
{
    CTlvQrfControl& c = InitialisedControl();
    strTlnWhiteBalanceOption shortValue{8, 256, 0};
    strTlnAdjustmentOption adjustment{sizeof adjustment, 0, 1.0};
    const struct {
        std::uint32_t type;
        void* value;
        long set;
        long get;
        long reset;
    } rows[] = {
        {1, &adjustment, 1013, 1013, 1013},
        {2, &shortValue, 1014, 1014, 0},
        {3, nullptr, 1014, 1014, 0},
        {4, &adjustment, 1014, 1014, 0},
        {5, &adjustment, 1014, 1014, 1014},
        {0, &adjustment, 1014, 1014, 1014},
    };
    for (const auto& row : rows) {
        strTlnRawOption option = Option(row.type, row.value);
        EXPECT_EQ(row.set, CodeOf(c.SetRawOption(&option))) << "type " << row.type;
        EXPECT_EQ(row.get, CodeOf(c.GetRawOption(&option))) << "type " << row.type;
        EXPECT_EQ(row.reset, CodeOf(c.ResetRawOption(&option))) << "type " << row.type;
    }
}

} // namespace
