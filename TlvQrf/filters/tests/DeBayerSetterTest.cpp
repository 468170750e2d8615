// The demosaicing filters' setters: a value already held changes nothing;
// a new one is stored, marks the output stale and is announced with the
// notice its kind of change needs. Also the filters' names, layouts, sizes
// and coordinate mappings.
#include "DeBayerTestSupport.h"

using namespace debayer_test;

namespace {

using Filter = Exposed<CDeBayerHQFilter>;

const std::vector<std::uint16_t> kDoubled = [] {
    std::vector<std::uint16_t> ramp(4096);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = std::uint16_t(i * 2 > 4095 ? 4095 : i * 2);
    return ramp;
}();
const std::int32_t kDefaultTuning[9] = {3, 3, 3, 6, 15, 1, 14, 1, 1};
const std::int32_t kStrongTuning[9] = {15, 15, 15, 6, 15, 1, 14, 1, 1};

// One setting: the call that repeats what the rig set up, the call that
// changes it, the notice code the change sends and how to see it stored.
struct SetterCase {
    const char* name;
    IKelvraError* (*setSame)(Filter&, bool notify);
    IKelvraError* (*setNew)(Filter&, bool notify);
    long code;
    bool (*holdsNew)(const Filter&);
};

const SetterCase kSetters[] = {
    {"pattern",
     [](Filter& f, bool n) { return f.SetPixelMap(BayerLayouts()[0].bytes.data(), 8, n); },
     [](Filter& f, bool n) { return f.SetPixelMap(BayerLayouts()[3].bytes.data(), 8, n); }, kKelvraNotifyData,
     [](const Filter& f) { return f.GetPhases().greenPhase == 1 && f.GetPhases().redRowPhase == 0; }},
    {"channel tables",
     [](Filter& f, bool n) { return f.SetChannelLuts(0, 0, nullptr, nullptr, nullptr, n); },
     [](Filter& f, bool n) { return f.SetChannelLuts(12, 12, kDoubled.data(), nullptr, nullptr, n); },
     kKelvraNotifyData, [](const Filter& f) { return f.GetChannelTables().Lut(0) != nullptr; }},
    {"tuning", [](Filter& f, bool n) { return f.SetTuning(kDefaultTuning, n); },
     [](Filter& f, bool n) { return f.SetTuning(kStrongTuning, n); }, kKelvraNotifyData,
     [](const Filter& f) { return f.GetTuning()[0] == 15; }},
    {"output rectangle",
     [](Filter& f, bool n) { return f.SetSourceRect(KelvraRect(), nullptr, n); },
     [](Filter& f, bool n) { return f.SetSourceRect(KelvraRect(2, 2, 50, 40), nullptr, n); }, kKelvraNotifySize,
     [](const Filter& f) { return f.GetOutputRect() == KelvraRect(2, 2, 50, 40); }},
    {"pixel aspect",
     [](Filter& f, bool n) { return f.SetPixelAspectMode(false, nullptr, n); },
     [](Filter& f, bool n) { return f.SetPixelAspectMode(true, nullptr, n); }, kKelvraNotifySize,
     [](const Filter& f) { return f.GetPixelAspectMode(); }},
    {"reduction", [](Filter& f, bool n) { return f.SetReduction(1, n); },
     [](Filter& f, bool n) { return f.SetReduction(2, n); }, kKelvraNotifySize,
     [](const Filter& f) { return f.GetReduction() == 2; }},
    {"processing switch",
     [](Filter& f, bool n) { return f.SetDeBayerMode(CDeBayerFilterBase::kModeDemosaic, n); },
     [](Filter& f, bool n) { return f.SetDeBayerMode(CDeBayerFilterBase::kModeOff, n); }, kKelvraNotifyUpdateAll,
     [](const Filter& f) { return f.GetDeBayerMode() == 0 && f.IsBypassed(); }},
};

// Mosaic 100 x 80 -> filter -> recorder, with a pattern and the whole area.
struct Rig {
    Rig()
    {
        image = MakeMosaic(holder.manager, 100, 80, [](long x, long y) { return std::uint16_t(x * 30 + y); });
        ExpectOk(KelvraDataConnect(image, &filter));
        ExpectOk(filter.SetPixelMap(BayerLayouts()[0].bytes.data(), 8, false));
        ExpectOk(filter.SetSourceRect(KelvraRect(), nullptr, false));
        ExpectOk(KelvraDataConnect(&filter, &recorder));
        filter.MarkFresh();
    }
    ~Rig() { image->Release(); }

    ManagerHolder holder;
    IKelvraImage* image = nullptr;
    Filter filter{holder.manager};
    RecordingDestination recorder;
};

TEST(DeBayerSetters, SameValueChangesNothing)
{
    for (const SetterCase& c : kSetters) {
        SCOPED_TRACE(c.name);
        Rig rig;
        ExpectOk(c.setSame(rig.filter, true));
        EXPECT_FALSE(rig.filter.IsStale());
        EXPECT_TRUE(rig.recorder.notices.empty());
    }
}

TEST(DeBayerSetters, NewValueIsStoredMarkedStaleAndAnnounced)
{
    for (const SetterCase& c : kSetters) {
        SCOPED_TRACE(c.name);
        Rig rig;
        ExpectOk(c.setNew(rig.filter, true));
        EXPECT_TRUE(c.holdsNew(rig.filter));
        EXPECT_TRUE(rig.filter.IsStale());
        ASSERT_EQ(1u, rig.recorder.notices.size());
        EXPECT_EQ(c.code, rig.recorder.notices[0].code);
        EXPECT_EQ(&rig.filter, rig.recorder.notices[0].sender);
    }
}

TEST(DeBayerSetters, NewValueWithoutNotifyIsStoredSilently)
{
    for (const SetterCase& c : kSetters) {
        SCOPED_TRACE(c.name);
        Rig rig;
        ExpectOk(c.setNew(rig.filter, false));
        EXPECT_TRUE(c.holdsNew(rig.filter));
        EXPECT_TRUE(rig.filter.IsStale());
        EXPECT_TRUE(rig.recorder.notices.empty());
    }
}

TEST(DeBayerSetters, SizeNoticesCarryOldAndNewSize)
{
    Rig rig;
    ExpectOk(rig.filter.SetSourceRect(KelvraRect(2, 2, 50, 40), nullptr, true));
    ExpectOk(rig.filter.SetPixelAspectMode(true, nullptr, true));
    ASSERT_EQ(2u, rig.recorder.notices.size());
    ExpectSizeChange(rig.recorder.notices[0], 88, 68, 48, 38);
    ExpectSizeChange(rig.recorder.notices[1], 48, 38, 66, 102);
}

TEST(DeBayerSetters, ChangedContentIsAnnouncedOverTheWholeOutput)
{
    Rig rig;
    ExpectOk(rig.filter.SetPixelMap(BayerLayouts()[2].bytes.data(), 8, true));
    ASSERT_EQ(1u, rig.recorder.notices.size());
    EXPECT_EQ(KelvraRect(0, 0, 88, 68), rig.recorder.notices[0].rect);
}

TEST(DeBayerSetters, RefusedPatternStaysStoredAndKeepsThePhases)
{
    const std::vector<std::vector<std::uint8_t>> refused = {
        {0, 2, 0, 2, 5, 3, 1, 4}, // complementary colours
        {0, 3, 0, 2, 0, 1, 2, 1, 2, 0},
        {0, 2, 0, 2, 1, 1, 0, 2}, // green along a row
        {0, 2, 0, 2, 0, 1, 1, 0}, // red on both rows
        {0, 2, 0},
    };
    for (const auto& bytes : refused) {
        Rig rig;
        ExpectError(rig.filter.SetPixelMap(bytes.data(), bytes.size(), true), kKelvraOperationFailed,
                    kTlDeBayerBaseTag);
        EXPECT_EQ(bytes, rig.filter.GetPixelMap());
        EXPECT_EQ(0, rig.filter.GetPhases().greenPhase);
        EXPECT_EQ(1, rig.filter.GetPhases().redRowPhase);
    }
}

TEST(DeBayerSetters, BitCountsOutOfRangeAreRefusedWithNothingChanged)
{
    Rig rig;
    ExpectError(rig.filter.SetChannelLuts(17, 12, kDoubled.data(), nullptr, nullptr, true), kKelvraNotReady,
                kTlDeBayerBaseTag);
    EXPECT_FALSE(rig.filter.IsStale());
    EXPECT_EQ(nullptr, rig.filter.GetChannelTables().Lut(0));
}

TEST(DeBayerFilters, IdsAndNames)
{
    ManagerHolder holder;
    CDeBayerStdFilter standard(holder.manager);
    CDeBayerHQFilter high(holder.manager);
    EXPECT_EQ(TlFilterId("db1s"), standard.GetFilterTag());
    EXPECT_STREQ("De-Bayer single resolution standard quality interpolation filter", standard.GetFilterName());
    EXPECT_EQ(TlFilterId("db1g"), high.GetFilterTag());
    EXPECT_STREQ("De-Bayer single resolution high quality interpolation filter V4", high.GetFilterName());
}

struct AreaCase {
    KelvraRect requested;
    KelvraRect chosen;
};

TEST(DeBayerFilters, OutputRectangleStaysInsideTheSensorArea)
{
    const KelvraRect sensor(0, 0, 3000, 2000);
    const AreaCase cases[] = {
        {KelvraRect(), KelvraRect(0, 0, 2988, 1988)},
        {KelvraRect(10, 20, 110, 220), KelvraRect(10, 20, 110, 220)},
        {KelvraRect(-5, -5, 5000, 5000), KelvraRect(0, 0, 2988, 1988)},
        {KelvraRect(2900, 1900, 3100, 2000), KelvraRect(2788, 1888, 2988, 1988)},
    };
    ManagerHolder holder;
    CDeBayerStdFilter filter(holder.manager);
    for (const AreaCase& c : cases) {
        ExpectOk(filter.SetSourceRect(c.requested, &sensor, false));
        EXPECT_EQ(c.chosen, filter.GetOutputRect());
    }
    ExpectOk(filter.SetPixelAspectMode(true, &sensor, false));
    EXPECT_EQ(KelvraRect(0, 0, 2241, 2982), filter.GetOutputRect());
}

TEST(DeBayerFilters, SizeInPixelAspectMode)
{
    ManagerHolder holder;
    IKelvraImage* image = MakeBlankImage(holder.manager, 3000, 2000, kKelvraRawMosaic);
    CDeBayerHQFilter filter(holder.manager);
    ExpectOk(KelvraDataConnect(image, &filter));
    ExpectOk(filter.SetPixelAspectMode(true, nullptr, false));
    long width = 0, height = 0;
    ExpectOk(filter.GetSize(&width, &height));
    EXPECT_EQ(2241, width);
    EXPECT_EQ(2982, height);
    KelvraPixelFormat format = 0;
    ExpectOk(filter.GetColorSpace(&format));
    EXPECT_EQ(kKelvraRGB16, format);
    image->Release();
}

TEST(DeBayerFilters, PointsMapBetweenSourceAndOutput)
{
    ManagerHolder holder;
    CDeBayerStdFilter filter(holder.manager);
    const KelvraRect sensor(0, 0, 400, 300);
    ExpectOk(filter.SetSourceRect(KelvraRect(10, 4, 200, 100), &sensor, false));
    long x = 16, y = 10;
    ExpectOk(filter.FilterPoint(&x, &y));
    EXPECT_EQ(0, x);
    EXPECT_EQ(0, y);
    double dx = 20, dy = 30;
    ExpectOk(filter.DefilterPoint(&dx, &dy));
    EXPECT_EQ(36.0, dx);
    EXPECT_EQ(40.0, dy);
    ExpectOk(filter.SetPixelAspectMode(true, &sensor, false));
    dx = 10;
    dy = 10;
    ExpectOk(filter.FilterPoint(&dx, &dy));
    EXPECT_EQ(3.0, dx);
    EXPECT_EQ(6.0, dy);
    ExpectOk(filter.Enable(false, false));
    x = 16;
    ExpectOk(filter.FilterPoint(&x, &y));
    EXPECT_EQ(16, x);
}

} // namespace
