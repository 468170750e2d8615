// The setter pattern shared by every filter: exact comparison, store, stale
// flag, bypass, and who hears of the change.
#include "FrameTestSupport.h"

#include "ExampleFilters.h"
#include "FilterTestSupport.h"

using namespace frame_test;

namespace {

// One setting, set to the value it holds and to a new one that differs in
// a single component.
struct SetterCase {
    const char* name;
    IKelvraError* (*setSame)(SettingTestFilter&, bool notify);
    IKelvraError* (*setNew)(SettingTestFilter&, bool notify);
    bool (*holdsNew)(const SettingTestFilter&);
};

const SetterCase kWholeOutputSetters[] = {
    {"strength", [](SettingTestFilter& f, bool n) { return f.SetStrength(1.0, n); },
     [](SettingTestFilter& f, bool n) { return f.SetStrength(0.25, n); },
     [](const SettingTestFilter& f) { return f.Strength() == 0.25; }},
    {"strength by the least step", [](SettingTestFilter& f, bool n) { return f.SetStrength(1.0, n); },
     [](SettingTestFilter& f, bool n) { return f.SetStrength(1.0000000000000002, n); },
     [](const SettingTestFilter& f) { return f.Strength() == 1.0000000000000002; }},
    {"window centre", [](SettingTestFilter& f, bool n) { return f.SetWindow({0.5, 10}, n); },
     [](SettingTestFilter& f, bool n) { return f.SetWindow({0.5000001, 10}, n); },
     [](const SettingTestFilter& f) { return f.GetWindow().centre == 0.5000001; }},
    {"window width", [](SettingTestFilter& f, bool n) { return f.SetWindow({0.5, 10}, n); },
     [](SettingTestFilter& f, bool n) { return f.SetWindow({0.5, 11}, n); },
     [](const SettingTestFilter& f) { return f.GetWindow().width == 11; }},
    {"low level", [](SettingTestFilter& f, bool n) { return f.SetLevels(0.0, 1.0, n); },
     [](SettingTestFilter& f, bool n) { return f.SetLevels(0.125, 1.0, n); },
     [](const SettingTestFilter& f) { return f.Levels() == std::make_pair(0.125, 1.0); }},
    {"high level", [](SettingTestFilter& f, bool n) { return f.SetLevels(0.0, 1.0, n); },
     [](SettingTestFilter& f, bool n) { return f.SetLevels(0.0, 0.875, n); },
     [](const SettingTestFilter& f) { return f.Levels() == std::make_pair(0.0, 0.875); }},
    {"last weight",
     [](SettingTestFilter& f, bool n) {
         const double same[3] = {1.0, 1.0, 1.0};
         return f.SetWeights(same, n);
     },
     [](SettingTestFilter& f, bool n) {
         const double changed[3] = {1.0, 1.0, 0.5};
         return f.SetWeights(changed, n);
     },
     [](const SettingTestFilter& f) { return f.Weights()[0] == 1.0 && f.Weights()[2] == 0.5; }},
};

// Source 120 x 80 -> the test filter (output half of it) -> sink.
struct SetterRig {
    SetterRig()
    {
        image = MakePatternImage(holder.manager, 120, 80, kKelvraRGB8);
        ExpectOk(KelvraDataConnect(image, &filter));
        ExpectOk(KelvraDataConnect(&filter, &sink));
        filter.MarkFresh();
    }
    ~SetterRig() { image->Release(); }

    ManagerHolder holder;
    IKelvraImage* image = nullptr;
    SettingTestFilter filter{holder.manager};
    NoticeSink sink;
};

class SetterTest : public ::testing::Test {
protected:
    SetterRig rig;
    SettingTestFilter& filter = rig.filter;
    NoticeSink& sink = rig.sink;
};

TEST_F(SetterTest, SameValueSendsNothingAndLeavesStaleAsItWas)
{
    for (const SetterCase& c : kWholeOutputSetters) {
        SCOPED_TRACE(c.name);
        for (bool staleBefore : {false, true}) {
            filter.MarkFresh();
            if (staleBefore)
                ExpectOk(filter.SetSpot(KelvraRect(0, 0, 1, 1), filter.SpotLevel() + 1, false));
            ExpectOk(c.setSame(filter, true));
            EXPECT_EQ(staleBefore, filter.IsStale());
        }
        EXPECT_TRUE(sink.notices.empty());
    }
}

TEST_F(SetterTest, ChangeAnnouncesTheFilterOwnWholeOutput)
{
    for (const SetterCase& c : kWholeOutputSetters) {
        SCOPED_TRACE(c.name);
        ExpectOk(c.setSame(filter, false)); // back to the starting value
        filter.MarkFresh();
        sink.notices.clear();
        ExpectOk(c.setNew(filter, true));
        EXPECT_TRUE(c.holdsNew(filter));
        EXPECT_TRUE(filter.IsStale());
        ASSERT_EQ(1u, sink.notices.size());
        EXPECT_EQ(static_cast<IKelvraDataSource*>(&filter), sink.notices[0].sender);
        EXPECT_EQ(kKelvraNotifyData, sink.notices[0].code);
        EXPECT_EQ(KelvraRect(0, 0, 60, 40), sink.notices[0].rect);
        ExpectOk(c.setSame(filter, false));
    }
}

TEST(SetterSilenceTest, ChangeThatNobodyMayHearIsStoredAndMarksStale)
{
    struct Situation {
        const char* name;
        bool notify;
        void (*prepare)(SetterRig&);
    };
    const Situation situations[] = {
        {"notify false", false, [](SetterRig&) {}},
        {"disabled", true, [](SetterRig& rig) { ExpectOk(rig.filter.Enable(false, false)); }},
        {"no source", true, [](SetterRig& rig) { ExpectOk(KelvraDataDisconnect(rig.image, &rig.filter)); }},
    };
    for (const Situation& s : situations) {
        SCOPED_TRACE(s.name);
        SetterRig rig;
        s.prepare(rig);
        for (const SetterCase& c : kWholeOutputSetters) {
            SCOPED_TRACE(c.name);
            ExpectOk(c.setSame(rig.filter, false));
            rig.filter.MarkFresh();
            ExpectOk(c.setNew(rig.filter, s.notify));
            EXPECT_TRUE(c.holdsNew(rig.filter));
            EXPECT_TRUE(rig.filter.IsStale());
        }
        ExpectOk(rig.filter.SetSpot(KelvraRect(1, 1, 5, 5), 7, s.notify));
        ExpectOk(rig.filter.SetDpi(240.0, s.notify));
        EXPECT_EQ(7, rig.filter.SpotLevel());
        EXPECT_EQ(240.0, rig.filter.Dpi());
        EXPECT_TRUE(rig.sink.notices.empty());
    }
}

TEST_F(SetterTest, BypassIsRecomputedOnlyByTheSetterThatAsksForIt)
{
    ExpectOk(filter.SetStrength(0.0, false));
    EXPECT_TRUE(filter.IsBypassed());
    ExpectOk(filter.SetWindow({0.25, 3}, true));
    EXPECT_TRUE(filter.IsBypassed());
    ExpectOk(filter.SetStrength(0.5, true));
    EXPECT_FALSE(filter.IsBypassed());
}

TEST_F(SetterTest, ChangeReachesDestinationsFurtherDownTheChain)
{
    ExpectOk(KelvraDataDisconnect(&filter, &sink));
    GainFilter next(rig.holder.manager);
    ExpectOk(KelvraDataConnect(&filter, &next));
    ExpectOk(KelvraDataConnect(&next, &sink));
    ExpectOk(filter.SetStrength(2.0, true));
    ASSERT_EQ(1u, sink.notices.size());
    EXPECT_EQ(static_cast<IKelvraDataSource*>(&filter), sink.notices[0].sender);
    EXPECT_EQ(KelvraRect(0, 0, 60, 40), sink.notices[0].rect);
}

TEST_F(SetterTest, PartialChangeAnnouncesOnlyItsRectangle)
{
    ExpectOk(filter.SetSpot(KelvraRect(10, 5, 30, 25), 3, true));
    ExpectOk(filter.SetSpot(KelvraRect(0, 0, 60, 40), 3, true)); // same level: nothing
    EXPECT_TRUE(filter.IsStale());
    ASSERT_EQ(1u, sink.notices.size());
    EXPECT_EQ(kKelvraNotifyData, sink.notices[0].code);
    EXPECT_EQ(KelvraRect(10, 5, 30, 25), sink.notices[0].rect);
}

TEST_F(SetterTest, ResolutionChangeAnnouncesOldAndNewResolution)
{
    ExpectOk(filter.SetDpi(300.0, true));
    ExpectOk(filter.SetDpi(300.0, true));
    ASSERT_EQ(1u, sink.notices.size());
    EXPECT_EQ(kKelvraNotifyResolution, sink.notices[0].code);
    EXPECT_EQ(72.0, sink.notices[0].resolution.oldResolution);
    EXPECT_EQ(300.0, sink.notices[0].resolution.newResolution);
    EXPECT_TRUE(filter.IsStale());
}

TEST_F(SetterTest, RefusedNoticeComesBackTaggedAfterTheValueWasStored)
{
    sink.refuse = true;
    IKelvraError* (*const setters[])(SettingTestFilter&) = {
        [](SettingTestFilter& f) { return f.SetStrength(3.0, true); },
        [](SettingTestFilter& f) { return f.SetSpot(KelvraRect(0, 0, 4, 4), 9, true); },
        [](SettingTestFilter& f) { return f.SetDpi(150.0, true); },
    };
    for (auto set : setters) {
        filter.MarkFresh();
        ExpectError(set(filter), kKelvraNotReady, TlFilterId("Tst1"));
        EXPECT_TRUE(filter.IsStale());
    }
    EXPECT_EQ(3.0, filter.Strength());
    EXPECT_EQ(9, filter.SpotLevel());
    EXPECT_EQ(150.0, filter.Dpi());
}

TEST_F(SetterTest, UnreadableOutputSizeComesBackTaggedAfterTheValueWasStored)
{
    filter.failSize = true;
    ExpectError(filter.SetStrength(4.0, true), kKelvraNotReady, TlFilterId("Tst1"));
    EXPECT_EQ(4.0, filter.Strength());
    EXPECT_TRUE(filter.IsStale());
    EXPECT_TRUE(sink.notices.empty());
}

} // namespace
