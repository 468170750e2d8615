// The vignette filter: its name and defaults, its setters with the gain
// table they invalidate, the table it builds and the pixels it brightens.
#include "FilterRigs.h"
#include "PixelFilterTestSupport.h"

#include "filters/frame/TlPixelFormats.h"
#include "filters/vignette/TlVignetteFilter.h"
#include "filters/vignette/TlVignetteModel.h"

#include <algorithm>
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

// The gain code of cell (col, row) of the last table built.
std::uint16_t CodeAt(const CVignetteFilter& filter, int col, int row)
{
    return filter.GetGainTable()[std::size_t(row) * std::size_t(filter.GetGainTableCols()) + std::size_t(col)];
}

TEST(VignetteGainTableTest, GainRisesFromTheCentreAndWithTheAperture)
{
    ManagerHolder holder;
    std::uint16_t corner[2] = {};
    const double fNumbers[2] = {1.0, 8.0};
    for (int f = 0; f < 2; ++f) {
        SCOPED_TRACE(fNumbers[f]);
        CVignetteFilter filter(holder.manager);
        ExpectOk(filter.SetFNumber(fNumbers[f], false));
        ExpectOk(filter.BuildGainTable(101, 81));
        EXPECT_FALSE(filter.IsGainTableStale());
        ASSERT_EQ(51, filter.GetGainTableCols());
        ASSERT_EQ(41, filter.GetGainTableRows());
        EXPECT_EQ(0, CodeAt(filter, 0, 0));
        for (int i = 1; i < 41; ++i) {
            EXPECT_LE(CodeAt(filter, i - 1, 0), CodeAt(filter, i, 0));
            EXPECT_LE(CodeAt(filter, i - 1, i - 1), CodeAt(filter, i, i));
            EXPECT_LE(CodeAt(filter, 0, i - 1), CodeAt(filter, 0, i));
        }
        corner[f] = CodeAt(filter, 50, 40);
        EXPECT_GT(corner[f], CodeAt(filter, 25, 20));
    }
    EXPECT_GT(corner[0], corner[1]);
}

TEST(VignetteGainTableTest, TableSizesAndFarthestCorners)
{
    const struct {
        long width, height;
        int cols, rows;
    } cases[] = {{1, 1, 1, 1}, {2, 3, 1, 2}, {100, 20, 50, 10}, {601, 400, 301, 200}};
    ManagerHolder holder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        CVignetteFilter filter(holder.manager);
        ExpectOk(filter.SetFNumber(1.0, false));
        ExpectOk(filter.BuildGainTable(c.width, c.height));
        EXPECT_EQ(c.cols, filter.GetGainTableCols());
        EXPECT_EQ(c.rows, filter.GetGainTableRows());
        // The farthest cell reads the last code of the radius (for 100x20
        // and 601x400 its distance rounds onto one past the end).
        const TlShortfalls shortfalls =
            TlLightShortfalls(TlPupilsFromLensData(nullptr), 1.0, filter.GetSensorDiagonal());
        const std::vector<std::uint16_t> codes = TlRadialCodes(shortfalls, c.width, c.height, 1.0);
        EXPECT_EQ(codes.back(), CodeAt(filter, c.cols - 1, c.rows - 1));
    }
}

// A flat picture of `format` at `value`.
IKelvraImage* FlatImage(IKelvraManager* manager, long width, long height, KelvraPixelFormat format, unsigned value)
{
    const std::size_t samples = std::size_t(width * height) * KelvraPlaneCount(format);
    return pixel_test::MakeImageOf(manager, width, height, format, std::vector<unsigned>(samples, value));
}

// The filter's output for a flat 16-bit RGB picture of 21 x 15.
std::vector<unsigned> FlatOutput(CVignetteFilter& filter, IKelvraManager* manager, unsigned value)
{
    IKelvraImage* image = FlatImage(manager, 21, 15, kKelvraRGB16, value);
    std::vector<unsigned> output = pixel_test::OutputAsOneTile(filter, image);
    image->Release();
    return output;
}

constexpr std::size_t kCentreSample = (7 * 21 + 10) * 3;
constexpr std::size_t kCornerSample = 0;

TEST(VignettePixelsTest, StrengthScalesTheCorrection)
{
    ManagerHolder holder;
    const unsigned flat = 30000;
    const struct {
        const char* name;
        double strength;
        bool brighter;
        bool darker;
    } cases[] = {
        {"none", 0.0, false, false},
        {"half", 0.5, true, false},
        {"full", 1.0, true, false},
        {"negative darkens", -1.0, false, true},
        {"the largest saturates", 327.0, true, false},
    };
    unsigned halfCorner = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CVignetteFilter filter(holder.manager);
        ExpectOk(filter.SetFNumber(1.0, false));
        ExpectOk(filter.SetStrength(c.strength, false));
        const std::vector<unsigned> output = FlatOutput(filter, holder.manager, flat);
        // An odd size puts the centre pixel on gain code 0.
        EXPECT_EQ(flat, output[kCentreSample]);
        const unsigned corner = output[kCornerSample];
        EXPECT_EQ(c.brighter, corner > flat);
        EXPECT_EQ(c.darker, corner < flat);
        for (std::size_t i = 0; i < output.size(); i += 3) {
            EXPECT_EQ(output[i], output[i + 1]);
            EXPECT_EQ(output[i], output[i + 2]);
            if (c.strength > 100.0) {
                // Every corrected sample saturates; nothing wraps round.
                ASSERT_TRUE(output[i] == flat || output[i] == 65535) << i;
            }
        }
        if (c.strength == 0.5)
            halfCorner = corner;
        if (c.strength == 1.0) {
            EXPECT_NEAR(double(corner - flat), 2.0 * (halfCorner - flat), 1.0);
        }
        if (c.strength > 100.0) {
            EXPECT_EQ(65535u, corner);
        }
    }
}

TEST(VignettePixelsTest, StrengthChangeKeepsTheTable)
{
    ManagerHolder holder;
    CVignetteFilter filter(holder.manager);
    ExpectOk(filter.SetFNumber(1.0, false));
    const std::vector<unsigned> half = FlatOutput(filter, holder.manager, 20000);
    const std::uint16_t* table = filter.GetGainTable();
    const std::vector<std::uint16_t> codes(table, table + 11 * 8);
    ExpectOk(filter.SetStrength(1.0, false));
    EXPECT_FALSE(filter.IsGainTableStale());
    const std::vector<unsigned> full = FlatOutput(filter, holder.manager, 20000);
    EXPECT_NE(half, full);
    EXPECT_EQ(table, filter.GetGainTable());
    EXPECT_TRUE(std::equal(codes.begin(), codes.end(), filter.GetGainTable()));
}

TEST(VignettePixelsTest, ListedFormatsAreCorrectedOthersRefused)
{
    ManagerHolder holder;
    const KelvraPixelFormat accepted[] = {kKelvraGrey8,  kKelvraRGB8,  0x08060206,   kKelvraCMYK8,        kKelvraGrey16,
                                          kKelvraRGB16, kKelvraLCh16, kKelvraLab16, kTlThreeSample16Last};
    for (KelvraPixelFormat format : accepted) {
        SCOPED_TRACE(format);
        const unsigned flat = KelvraIs16Bit(format) ? 30000 : 120;
        IKelvraImage* image = FlatImage(holder.manager, 9, 7, format, flat);
        CVignetteFilter filter(holder.manager);
        ExpectOk(filter.SetFNumber(1.0, false));
        ExpectOk(filter.SetStrength(1.0, false));
        const std::vector<unsigned> output = pixel_test::OutputAsOneTile(filter, image);
        const std::size_t planes = KelvraPlaneCount(format);
        for (std::size_t p = 0; p < planes; ++p) {
            EXPECT_GT(output[p], flat) << "corner plane " << p;
            EXPECT_EQ(flat, output[(3 * 9 + 4) * planes + p]) << "centre plane " << p;
        }
        image->Release();
    }
    const KelvraPixelFormat refused[] = {kKelvraLCh8, 0x08060204, kKelvraRawMosaic, kKelvraBitmap};
    for (KelvraPixelFormat format : refused) {
        CVignetteFilter filter(holder.manager);
        pixel_test::ExpectTileRefused(filter, holder.manager, format, kKelvraTextError);
    }
}

TEST(VignettePixelsTest, TilesMadeOnSeveralThreadsAtOnceMatchOneThread)
{
    ManagerHolder holder;
    IKelvraImage* image = MakePatternImage(holder.manager, 160, 120, kKelvraRGB16);
    CVignetteFilter reference(holder.manager);
    CVignetteFilter shared(holder.manager);
    for (CVignetteFilter* filter : {&reference, &shared}) {
        ExpectOk(filter->SetFNumber(1.4, false));
        ExpectOk(filter->SetStrength(1.0, false));
    }
    pixel_test::ExpectSameTilesOnThreads(reference, shared, image);
    image->Release();
}

} // namespace
