// The dust-removal filter: its name, the dust map and tone mode setters, and
// pixels that pass through without a map to apply.
#include "FilterRigs.h"

#include "filters/dust/TlDustFilter.h"

#include <cstring>
#include <vector>

using namespace filter_test;

namespace {

using DustRig = ChainRig<CDustFilter>;

// A dust map as the filter sees it: finished when it has a record, with a
// correction mask when one is given, and able to refuse its record.
class FakeDustMap : public IDustMap {
public:
    explicit FakeDustMap(std::vector<unsigned char> stored = {}, IKelvraDataSource* mask = nullptr)
        : record(std::move(stored)), correctionMask(mask)
    {
    }

    IKelvraError* Begin(IDustAnalyzer*, IKelvraDataSource*, long, long) override { return nullptr; }
    IKelvraError* Step(long& done, long& total) override
    {
        done = total = 1;
        return nullptr;
    }
    IKelvraError* Abort() override { return nullptr; }
    std::size_t GetStoredSize() const override { return record.size(); }
    IKelvraError* Store(std::size_t capacity, unsigned char* buffer) const override
    {
        if (refuseStore || record.empty() || capacity < record.size())
            return KELVRA_ERROR(nullptr, KelvraFourCC('D', 'M', 'a', 'p'), kKelvraNotReady);
        std::memcpy(buffer, record.data(), record.size());
        return nullptr;
    }
    IKelvraError* Load(std::size_t, const unsigned char*) override { return nullptr; }
    IKelvraDataSource* GetCorrectionMask() const override { return correctionMask; }

    std::vector<unsigned char> record;
    IKelvraDataSource* correctionMask;
    bool refuseStore = false;
};

const std::vector<unsigned char> kRecordA = {'D', 's', 't', 'L', 1, 2, 3};
const std::vector<unsigned char> kRecordB = {'D', 's', 't', 'L', 1, 2, 4};

// A mask that only needs to be there.
IKelvraDataSource* SomeMask()
{
    static frame_test::RecordingSource mask(nullptr);
    return &mask;
}

FakeDustMap g_finishedMap(kRecordA, SomeMask());

TEST(DustFilterTest, NamesItselfInAChain)
{
    DustRig rig;
    EXPECT_EQ(TlFilterId("dust"), rig.filter.GetFilterTag());
    EXPECT_EQ(0x64757374u, rig.filter.GetFilterTag());
    EXPECT_STREQ("Image Motefree", rig.filter.GetFilterName());
    EXPECT_EQ(nullptr, rig.filter.GetDustMap());
    EXPECT_FALSE(rig.filter.GetToneMode());
    EXPECT_FALSE(rig.filter.HasUsableMap());
}

const SetterCase<CDustFilter> kDustSetters[] = {
    {"finished dust map", [](CDustFilter& f, bool n) { return f.SetDustMap(nullptr, n); },
     [](CDustFilter& f, bool n) { return f.SetDustMap(&g_finishedMap, n); },
     [](const CDustFilter& f) { return f.GetDustMap() == &g_finishedMap && f.HasUsableMap(); }},
    {"tone mode", [](CDustFilter& f, bool n) { return f.SetToneMode(false, n); },
     [](CDustFilter& f, bool n) { return f.SetToneMode(true, n); },
     [](const CDustFilter& f) { return f.GetToneMode(); }},
};

TEST(DustFilterTest, SettersFollowTheSetterPattern)
{
    ExpectSetterPattern(kDustSetters);
}

TEST(DustFilterTest, MapWithTheSameRecordIsNoChangeButIsTheOneUsed)
{
    DustRig rig;
    ExpectOk(rig.filter.SetDustMap(&g_finishedMap, true));
    rig.filter.MarkFresh();
    FakeDustMap twin(kRecordA, SomeMask());
    ExpectOk(rig.filter.SetDustMap(&twin, true));
    EXPECT_EQ(&twin, rig.filter.GetDustMap());
    EXPECT_FALSE(rig.filter.IsStale());
    EXPECT_EQ(1u, rig.sink.notices.size());

    FakeDustMap other(kRecordB, SomeMask());
    ExpectOk(rig.filter.SetDustMap(&other, true));
    EXPECT_TRUE(rig.filter.IsStale());
    EXPECT_EQ(2u, rig.sink.notices.size());
}

TEST(DustFilterTest, OnlyAFinishedMapWithAMaskIsUsed)
{
    struct MapCase {
        const char* name;
        std::vector<unsigned char> record;
        IKelvraDataSource* mask;
        bool usable;
    };
    const MapCase cases[] = {
        {"finished, with a mask", kRecordA, SomeMask(), true},
        {"finished, nothing to correct", kRecordA, nullptr, false},
        {"not finished", {}, nullptr, false},
        {"not finished, mask under way", {}, SomeMask(), false},
    };
    for (const MapCase& c : cases) {
        SCOPED_TRACE(c.name);
        DustRig rig;
        FakeDustMap map(c.record, c.mask);
        ExpectOk(rig.filter.SetDustMap(&map, true));
        EXPECT_EQ(&map, rig.filter.GetDustMap());
        EXPECT_EQ(c.usable, rig.filter.HasUsableMap());
        EXPECT_EQ(!c.usable, rig.filter.IsBypassed());
        ExpectOk(rig.filter.SetToneMode(true, false));
        EXPECT_EQ(c.usable, rig.filter.HasUsableMap());
    }
}

TEST(DustFilterTest, ClearingTheMapIsAChangeAndForgetsItsRecord)
{
    DustRig rig;
    ExpectOk(rig.filter.SetDustMap(&g_finishedMap, true));
    rig.filter.MarkFresh();
    ExpectOk(rig.filter.SetDustMap(nullptr, true));
    EXPECT_EQ(nullptr, rig.filter.GetDustMap());
    EXPECT_FALSE(rig.filter.HasUsableMap());
    EXPECT_TRUE(rig.filter.IsStale());
    EXPECT_EQ(2u, rig.sink.notices.size());
    // The same map again is new to the filter now.
    ExpectOk(rig.filter.SetDustMap(&g_finishedMap, true));
    EXPECT_TRUE(rig.filter.HasUsableMap());
    EXPECT_EQ(3u, rig.sink.notices.size());
}

TEST(DustFilterTest, MapThatRefusesItsRecordLeavesTheFilterWithoutAMap)
{
    DustRig rig;
    ExpectOk(rig.filter.SetDustMap(&g_finishedMap, true));
    rig.filter.MarkFresh();
    FakeDustMap refusing(kRecordB, SomeMask());
    refusing.refuseStore = true;
    ExpectError(rig.filter.SetDustMap(&refusing, true), kKelvraNotReady, TlFilterId("dust"));
    // Neither the new map nor the old one (which the settings may have
    // freed already) stays in use.
    EXPECT_EQ(nullptr, rig.filter.GetDustMap());
    EXPECT_FALSE(rig.filter.HasUsableMap());
    EXPECT_TRUE(rig.filter.IsStale());
    EXPECT_EQ(2u, rig.sink.notices.size());
    ExpectOk(rig.filter.SetDustMap(&g_finishedMap, true));
    EXPECT_TRUE(rig.filter.HasUsableMap());
}

TEST(DustFilterTest, PixelsPassThroughWithoutAUsableMap)
{
    for (KelvraPixelFormat format : {kKelvraRGB8, kKelvraRGB16, kKelvraGrey8, kKelvraGrey16}) {
        SCOPED_TRACE(format);
        DustRig rig(format);
        ExpectPixelsPassUnchanged(rig);
        FakeDustMap nothingToCorrect(kRecordA, nullptr);
        ExpectOk(rig.filter.SetDustMap(&nothingToCorrect, true));
        ExpectOk(rig.filter.SetToneMode(true, true));
        ExpectPixelsPassUnchanged(rig);
        ExpectOk(rig.filter.SetDustMap(nullptr, true));
    }
}

} // namespace
