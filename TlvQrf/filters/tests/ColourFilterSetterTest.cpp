// The setters of the colour filters (LCH editor, chroma booster, colour
// noise reduction, saturation compensation): an equal value changes nothing,
// a new one is stored, marks the output stale and is announced once, and
// nobody hears of a change that may not be announced.
#include "ColourFilterTestSupport.h"

#include "filters/chromabooster/TlChromaBoosterFilter.h"
#include "filters/colornoise/TlColorNoiseReductionFilter.h"
#include "filters/lch/TlFltLch.h"
#include "filters/saturation/TlSaturationCompensationFilter.h"

#include <cmath>
#include <vector>

using namespace colour_test;

namespace {

using Table = std::vector<std::uint16_t>;

// Three 16-bit curves: identity, inverted, and a chroma curve with one
// entry that can be moved.
struct CurveSet {
    explicit CurveSet(int bits, std::uint16_t movedEntry = 0)
        : lightness(std::size_t(1) << bits), hue(lightness.size()), chroma(lightness.size(), std::uint16_t(1u << (bits - 1)))
    {
        for (std::size_t k = 0; k < lightness.size(); ++k) {
            lightness[k] = std::uint16_t(k);
            hue[k] = std::uint16_t(lightness.size() - 1 - k);
        }
        chroma[100] = movedEntry != 0 ? movedEntry : chroma[100];
    }
    const std::uint16_t* const* Pointers()
    {
        pointers = {lightness.data(), hue.data(), chroma.data()};
        return pointers.data();
    }
    Table lightness, hue, chroma;
    std::vector<const std::uint16_t*> pointers;
};

CurveSet& Curves16()
{
    static CurveSet curves(16);
    return curves;
}
CurveSet& MovedCurves16()
{
    static CurveSet curves(16, 12345);
    return curves;
}
CurveSet& Curves8()
{
    static CurveSet curves(8);
    return curves;
}

CFltLch& Lch(CTlFilter& f)
{
    return static_cast<CFltLch&>(f);
}
const CFltLch& Lch(const CTlFilter& f)
{
    return static_cast<const CFltLch&>(f);
}
CChromaBoosterFilter& Booster(CTlFilter& f)
{
    return static_cast<CChromaBoosterFilter&>(f);
}
const CChromaBoosterFilter& Booster(const CTlFilter& f)
{
    return static_cast<const CChromaBoosterFilter&>(f);
}
CColorNoiseReductionFilter& Noise(CTlFilter& f)
{
    return static_cast<CColorNoiseReductionFilter&>(f);
}
const CColorNoiseReductionFilter& Noise(const CTlFilter& f)
{
    return static_cast<const CColorNoiseReductionFilter&>(f);
}
CSaturationCompensationFilter& Saturation(CTlFilter& f)
{
    return static_cast<CSaturationCompensationFilter&>(f);
}
const CSaturationCompensationFilter& Saturation(const CTlFilter& f)
{
    return static_cast<const CSaturationCompensationFilter&>(f);
}

// Filters in the state the "same" setter call of their case repeats.
std::unique_ptr<CTlFilter> MakeLch(IKelvraManager* manager)
{
    auto filter = std::make_unique<CFltLch>(manager);
    ExpectOk(filter->SetLuts(Curves16().Pointers(), 16, 16, 3, false));
    return filter;
}
std::unique_ptr<CTlFilter> MakeLoadedBooster(IKelvraManager* manager)
{
    auto filter = std::make_unique<CChromaBoosterFilter>(manager);
    ExpectOk(filter->LoadCalibration(nullptr));
    ExpectOk(filter->SetLevel(10, false));
    return filter;
}
std::unique_ptr<CTlFilter> MakeNoise(IKelvraManager* manager)
{
    return std::make_unique<CColorNoiseReductionFilter>(manager);
}
std::unique_ptr<CTlFilter> MakeSaturation(IKelvraManager* manager)
{
    return std::make_unique<CSaturationCompensationFilter>(manager);
}

struct SetterCase {
    const char* name;
    FilterMaker make;
    KelvraPixelFormat format;
    IKelvraError* (*setSame)(CTlFilter&, bool notify);
    IKelvraError* (*setNew)(CTlFilter&, bool notify);
    bool (*holdsNew)(const CTlFilter&);
    long noticeCode; // what a change announces
};

constexpr KelvraPixelFormat kLch8 = 0x08060203;
constexpr KelvraPixelFormat kNoiseSpace = 0x10060204;

const SetterCase kSetters[] = {
    {"LCH curves: one chroma entry", MakeLch, kLch8,
     [](CTlFilter& f, bool n) { return Lch(f).SetLuts(Curves16().Pointers(), 16, 16, 3, n); },
     [](CTlFilter& f, bool n) { return Lch(f).SetLuts(MovedCurves16().Pointers(), 16, 16, 3, n); },
     [](const CTlFilter& f) { return Lch(f).GetSourceTable(CFltLch::kChromaByHueCurve) == MovedCurves16().chroma; },
     kKelvraNotifyData},
    {"LCH curves: 8-bit widths", MakeLch, kLch8,
     [](CTlFilter& f, bool n) { return Lch(f).SetLuts(Curves16().Pointers(), 16, 16, 3, n); },
     [](CTlFilter& f, bool n) { return Lch(f).SetLuts(Curves8().Pointers(), 8, 8, 3, n); },
     [](const CTlFilter& f) {
         return Lch(f).GetInBits() == 8 && Lch(f).GetOutBits() == 8 &&
                Lch(f).GetSourceTable(CFltLch::kHueCurve) == Curves8().hue;
     },
     kKelvraNotifyData},
    {"LCH curves: two tables only", MakeLch, kLch8,
     [](CTlFilter& f, bool n) { return Lch(f).SetLuts(Curves16().Pointers(), 16, 16, 3, n); },
     [](CTlFilter& f, bool n) { return Lch(f).SetLuts(Curves16().Pointers(), 16, 16, 2, n); },
     [](const CTlFilter& f) {
         return Lch(f).GetSourceTable(CFltLch::kChromaByHueCurve).empty() &&
                Lch(f).GetSourceTable(CFltLch::kHueCurve) == Curves16().hue;
     },
     kKelvraNotifyData},
    {"booster level", MakeLoadedBooster, kLch8, [](CTlFilter& f, bool n) { return Booster(f).SetLevel(10, n); },
     [](CTlFilter& f, bool n) { return Booster(f).SetLevel(60, n); },
     [](const CTlFilter& f) { return Booster(f).GetLevel() == 60; }, kKelvraNotifyData},
    {"booster default level", MakeLoadedBooster, kLch8, [](CTlFilter& f, bool n) { return Booster(f).SetLevel(10, n); },
     [](CTlFilter& f, bool n) { return Booster(f).SetLevel(1000, n); },
     [](const CTlFilter& f) { return Booster(f).GetLevel() == 25; }, kKelvraNotifyData},
    // Beyond +100 % the chroma factor leaves its range (4 at +100 %).
    {"booster level held at 100", MakeLoadedBooster, kLch8,
     [](CTlFilter& f, bool n) { return Booster(f).SetLevel(10, n); },
     [](CTlFilter& f, bool n) { return Booster(f).SetLevel(250, n); },
     [](const CTlFilter& f) { return Booster(f).GetLevel() == 100; }, kKelvraNotifyData},
    {"booster threshold", MakeLoadedBooster, kLch8,
     [](CTlFilter& f, bool n) { return Booster(f).SetThresholdEnabled(false, n); },
     [](CTlFilter& f, bool n) { return Booster(f).SetThresholdEnabled(true, n); },
     [](const CTlFilter& f) { return Booster(f).IsThresholdEnabled(); }, kKelvraNotifyData},
    {"noise strength", MakeNoise, kNoiseSpace, [](CTlFilter& f, bool n) { return Noise(f).SetStrength(0.5, n); },
     [](CTlFilter& f, bool n) { return Noise(f).SetStrength(0.75, n); },
     [](const CTlFilter& f) { return Noise(f).GetStrength() == 0.75; }, kKelvraNotifyData},
    {"noise strength by the least step", MakeNoise, kNoiseSpace,
     [](CTlFilter& f, bool n) { return Noise(f).SetStrength(0.5, n); },
     [](CTlFilter& f, bool n) { return Noise(f).SetStrength(std::nextafter(0.5, 1.0), n); },
     [](const CTlFilter& f) { return Noise(f).GetStrength() == std::nextafter(0.5, 1.0); }, kKelvraNotifyData},
    {"noise strength held at 0", MakeNoise, kNoiseSpace,
     [](CTlFilter& f, bool n) { return Noise(f).SetStrength(0.5, n); },
     [](CTlFilter& f, bool n) { return Noise(f).SetStrength(-20.0, n); },
     [](const CTlFilter& f) { return Noise(f).GetStrength() == 0.0; }, kKelvraNotifyData},
    {"noise strength held at 1", MakeNoise, kNoiseSpace,
     [](CTlFilter& f, bool n) { return Noise(f).SetStrength(0.5, n); },
     [](CTlFilter& f, bool n) { return Noise(f).SetStrength(7.0, n); },
     [](const CTlFilter& f) { return Noise(f).GetStrength() == 1.0; }, kKelvraNotifyData},
    {"saturation level", MakeSaturation, kLch8, [](CTlFilter& f, bool n) { return Saturation(f).SetLevel(1, n); },
     [](CTlFilter& f, bool n) { return Saturation(f).SetLevel(4, n); },
     [](const CTlFilter& f) { return Saturation(f).GetLevel() == 4; }, kKelvraNotifyUpdateAll},
    {"saturation level held at 9", MakeSaturation, kLch8,
     [](CTlFilter& f, bool n) { return Saturation(f).SetLevel(1, n); },
     [](CTlFilter& f, bool n) { return Saturation(f).SetLevel(42, n); },
     [](const CTlFilter& f) { return Saturation(f).GetLevel() == 9; }, kKelvraNotifyUpdateAll},
};

// The booster's setters act only once its calibration is loaded.
class ColourSetterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_calibrations.IsReady()); }

    ShippedCalibrations m_calibrations;
};

TEST_F(ColourSetterTest, SameValueSendsNothingAndLeavesStaleAsItWas)
{
    for (const SetterCase& c : kSetters) {
        SCOPED_TRACE(c.name);
        ChainRig rig(c.make, c.format);
        ExpectOk(c.setSame(*rig.filter, true));
        EXPECT_FALSE(IsStale(*rig.filter));
        EXPECT_TRUE(rig.sink.notices.empty());
    }
}

TEST_F(ColourSetterTest, ChangeIsStoredMarksStaleAndIsAnnouncedOnce)
{
    for (const SetterCase& c : kSetters) {
        SCOPED_TRACE(c.name);
        ChainRig rig(c.make, c.format);
        ExpectOk(c.setNew(*rig.filter, true));
        EXPECT_TRUE(c.holdsNew(*rig.filter));
        EXPECT_TRUE(IsStale(*rig.filter));
        ExpectOk(c.setNew(*rig.filter, true)); // now the stored value
        ASSERT_EQ(1u, rig.sink.notices.size());
        const frame_test::RecordedNotice& notice = rig.sink.notices[0];
        EXPECT_EQ(static_cast<IKelvraDataSource*>(rig.filter.get()), notice.sender);
        EXPECT_EQ(c.noticeCode, notice.code);
        if (c.noticeCode == kKelvraNotifyData) {
            EXPECT_EQ(KelvraRect(0, 0, 90, 70), notice.rect);
        }
    }
}

TEST_F(ColourSetterTest, ChangeThatNobodyMayHearIsStoredAndMarksStale)
{
    struct Situation {
        const char* name;
        bool notify;
        void (*prepare)(ChainRig&);
    };
    const Situation situations[] = {
        {"notify false", false, [](ChainRig&) {}},
        {"disabled", true, [](ChainRig& rig) { ExpectOk(rig.filter->Enable(false, false)); }},
        {"no source", true, [](ChainRig& rig) { ExpectOk(KelvraDataDisconnect(rig.image, rig.filter.get())); }},
    };
    for (const Situation& s : situations) {
        SCOPED_TRACE(s.name);
        for (const SetterCase& c : kSetters) {
            SCOPED_TRACE(c.name);
            ChainRig rig(c.make, c.format);
            s.prepare(rig);
            MarkFresh(*rig.filter);
            ExpectOk(c.setNew(*rig.filter, s.notify));
            EXPECT_TRUE(c.holdsNew(*rig.filter));
            EXPECT_TRUE(IsStale(*rig.filter));
            EXPECT_TRUE(rig.sink.notices.empty());
        }
    }
}

TEST_F(ColourSetterTest, RefusedNoticeComesBackTaggedAfterTheValueWasStored)
{
    for (const SetterCase& c : kSetters) {
        SCOPED_TRACE(c.name);
        ChainRig rig(c.make, c.format);
        rig.sink.refuse = true;
        ExpectError(c.setNew(*rig.filter, true), kKelvraNotReady, rig.filter->GetFilterTag());
        EXPECT_TRUE(c.holdsNew(*rig.filter));
        EXPECT_TRUE(IsStale(*rig.filter));
    }
}

} // namespace
