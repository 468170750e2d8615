// The vignette filter: its name and defaults, its setters with the gain
// table they invalidate, and pixels that pass through while the correction
// is not there.
#include "FilterRigs.h"

#include "filters/vignette/TlVignetteFilter.h"

#include <cstring>

using namespace filter_test;

namespace {

// The vignette filter with its gain table marked as built.
class BuiltVignette : public CVignetteFilter {
public:
    using CVignetteFilter::CVignetteFilter;
    void MarkTableBuilt() { GainTableBuilt(); }
};

using VignetteProbe = Probe<BuiltVignette>;
using VignetteRig = ChainRig<BuiltVignette>;

const std::uint8_t kLensA[6] = {0x1A, 0x30, 0xF0, 0x40, 0x22, 0x50};
const std::uint8_t kLensB[6] = {0x1A, 0x30, 0xF0, 0x40, 0x22, 0x51};
const double kDefaultDiagonal = 28.223933106496695;

bool HoldsLens(const BuiltVignette& f, const std::uint8_t (&expected)[6])
{
    std::uint8_t codes[6] = {};
    return f.GetLensData(codes) && std::memcmp(codes, expected, sizeof codes) == 0;
}

TEST(VignetteFilterTest, NamesItselfInAChainWithTheDefaultModel)
{
    VignetteRig rig;
    EXPECT_EQ(TlFilterId("vgnt"), rig.filter.GetFilterTag());
    EXPECT_STREQ("Vignette", rig.filter.GetFilterName());
    std::uint8_t codes[6] = {};
    EXPECT_FALSE(rig.filter.GetLensData(codes));
    EXPECT_EQ(kDefaultDiagonal, rig.filter.GetSensorDiagonal());
    EXPECT_EQ(23.6, rig.filter.GetSensorWidth());
    EXPECT_EQ(15.48, rig.filter.GetSensorHeight());
    EXPECT_EQ(0.0, rig.filter.GetFNumber());
    EXPECT_EQ(0.5, rig.filter.GetStrength());
    EXPECT_EQ(1.0, rig.filter.GetAspectScale());
    EXPECT_TRUE(rig.filter.IsGainTableStale());
}

struct VignetteSetter {
    SetterCase<BuiltVignette> setter;
    bool needsNewTable;
};

const VignetteSetter kVignetteSetters[] = {
    {{"lens data", [](BuiltVignette& f, bool n) { return f.SetLensData(nullptr, n); },
      [](BuiltVignette& f, bool n) { return f.SetLensData(kLensA, n); },
      [](const BuiltVignette& f) { return HoldsLens(f, kLensA); }},
     true},
    {{"sensor diagonal", [](BuiltVignette& f, bool n) { return f.SetSensorDiagonal(kDefaultDiagonal, n); },
      [](BuiltVignette& f, bool n) { return f.SetSensorDiagonal(43.3, n); },
      [](const BuiltVignette& f) {
          return f.GetSensorDiagonal() == 43.3 && f.GetSensorWidth() == 0.0 && f.GetSensorHeight() == 0.0;
      }},
     true},
    {{"sensor width", [](BuiltVignette& f, bool n) { return f.SetSensorSize(23.6, 15.48, n); },
      [](BuiltVignette& f, bool n) { return f.SetSensorSize(36.0, 15.48, n); },
      [](const BuiltVignette& f) {
          return f.GetSensorWidth() == 36.0 && f.GetSensorDiagonal() == 39.187120333089034;
      }},
     true},
    {{"sensor height", [](BuiltVignette& f, bool n) { return f.SetSensorSize(23.6, 15.48, n); },
      [](BuiltVignette& f, bool n) { return f.SetSensorSize(23.6, 24.0, n); },
      [](const BuiltVignette& f) { return f.GetSensorHeight() == 24.0 && f.GetSensorWidth() == 23.6; }},
     true},
    {{"f-number", [](BuiltVignette& f, bool n) { return f.SetFNumber(0.0, n); },
      [](BuiltVignette& f, bool n) { return f.SetFNumber(5.65685, n); },
      [](const BuiltVignette& f) { return f.GetFNumber() == 5.65685; }},
     true},
    {{"strength", [](BuiltVignette& f, bool n) { return f.SetStrength(0.5, n); },
      [](BuiltVignette& f, bool n) { return f.SetStrength(0.75, n); },
      [](const BuiltVignette& f) { return f.GetStrength() == 0.75; }},
     false},
    {{"aspect scale", [](BuiltVignette& f, bool n) { return f.SetAspectScale(1.0, n); },
      [](BuiltVignette& f, bool n) { return f.SetAspectScale(1.9939024390243902, n); },
      [](const BuiltVignette& f) { return f.GetAspectScale() == 1.9939024390243902; }},
     true},
};

TEST(VignetteFilterTest, SettersFollowTheSetterPattern)
{
    SetterCase<BuiltVignette> cases[std::size(kVignetteSetters)];
    for (std::size_t i = 0; i < std::size(kVignetteSetters); ++i)
        cases[i] = kVignetteSetters[i].setter;
    ExpectSetterPattern(cases);
}

TEST(VignetteFilterTest, EverySetterButStrengthAsksForANewGainTable)
{
    for (const VignetteSetter& c : kVignetteSetters) {
        SCOPED_TRACE(c.setter.name);
        VignetteRig rig;
        rig.filter.MarkTableBuilt();
        ExpectOk(c.setter.setSame(rig.filter, true));
        EXPECT_FALSE(rig.filter.IsGainTableStale());
        ExpectOk(c.setter.setNew(rig.filter, true));
        EXPECT_EQ(c.needsNewTable, rig.filter.IsGainTableStale());
    }
}

TEST(VignetteFilterTest, DefaultSensorSizeIsTheSensorSizeOfTheDefaultSensor)
{
    VignetteRig rig;
    ExpectOk(rig.filter.SetDefaultSensorSize(true));
    EXPECT_FALSE(rig.filter.IsStale());
    ExpectOk(rig.filter.SetSensorDiagonal(43.3, false));
    rig.filter.MarkFresh();
    ExpectOk(rig.filter.SetDefaultSensorSize(true));
    EXPECT_EQ(23.6, rig.filter.GetSensorWidth());
    EXPECT_EQ(15.48, rig.filter.GetSensorHeight());
    EXPECT_EQ(kDefaultDiagonal, rig.filter.GetSensorDiagonal());
    EXPECT_TRUE(rig.filter.IsStale());
    EXPECT_EQ(1u, rig.sink.notices.size());
}

TEST(VignetteFilterTest, SensorSizeComparesTheDiagonalItWouldMake)
{
    VignetteRig rig;
    // The diagonal alone, equal to the one held: nothing changes, and the
    // width and height stay known.
    ExpectOk(rig.filter.SetSensorDiagonal(kDefaultDiagonal, true));
    EXPECT_EQ(23.6, rig.filter.GetSensorWidth());
    EXPECT_TRUE(rig.sink.notices.empty());
    // Width and height equal to the held ones (unknown after a diagonal)
    // still change the size: their diagonal is not the one held.
    ExpectOk(rig.filter.SetSensorDiagonal(30.0, true));
    ExpectOk(rig.filter.SetSensorSize(0.0, 0.0, true));
    EXPECT_EQ(0.0, rig.filter.GetSensorDiagonal());
    EXPECT_EQ(2u, rig.sink.notices.size());
}

TEST(VignetteFilterTest, AbsentLensDataCompareEqualWhateverCodesWereHeld)
{
    VignetteRig rig;
    ExpectOk(rig.filter.SetLensData(kLensA, true));
    ExpectOk(rig.filter.SetLensData(kLensA, true));
    ExpectOk(rig.filter.SetLensData(nullptr, true));
    ExpectOk(rig.filter.SetLensData(nullptr, true));
    std::uint8_t codes[6] = {};
    EXPECT_FALSE(rig.filter.GetLensData(codes));
    ExpectOk(rig.filter.SetLensData(kLensA, true));
    ExpectOk(rig.filter.SetLensData(kLensB, true));
    EXPECT_TRUE(HoldsLens(rig.filter, kLensB));
    EXPECT_EQ(4u, rig.sink.notices.size());
}

TEST(VignetteFilterTest, SourceChangesAskForANewGainTableAndArePassedOn)
{
    const struct {
        const char* name;
        IKelvraError* (*notice)(VignetteRig&);
        long code;
    } cases[] = {
        {"update all", [](VignetteRig& rig) { return rig.filter.FilterUpdateAll(rig.image); }, kKelvraNotifyUpdateAll},
        {"size",
         [](VignetteRig& rig) {
             KelvraSizeChange change{};
             return rig.filter.FilterSize(rig.image, &change);
         },
         kKelvraNotifySize},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VignetteRig rig;
        rig.filter.MarkTableBuilt();
        ExpectOk(c.notice(rig));
        EXPECT_TRUE(rig.filter.IsGainTableStale());
        ASSERT_EQ(1u, rig.sink.notices.size());
        EXPECT_EQ(c.code, rig.sink.notices[0].code);
    }
}

TEST(VignetteFilterTest, PixelsPassThroughUnchanged)
{
    for (KelvraPixelFormat format : {kKelvraRGB8, kKelvraRGB16, kKelvraGrey16}) {
        SCOPED_TRACE(format);
        VignetteRig rig(format);
        ExpectOk(rig.filter.SetLensData(kLensA, true));
        ExpectOk(rig.filter.SetFNumber(2.8, true));
        ExpectOk(rig.filter.SetStrength(1.0, true));
        ExpectPixelsPassUnchanged(rig);
    }
}

} // namespace
