// What the tests of the library's filters share: a filter of any class in a
// small chain (pattern image -> filter -> notice sink), a view of the base
// flags the filter keeps, and the checks that every parameter setter must
// pass.
#pragma once

#include "FrameTestSupport.h"

#include "FilterTestSupport.h"

#include <vector>

namespace filter_test {

// A filter with its stale and bypass flags in view.
template <typename Filter>
class Probe : public Filter {
public:
    using Filter::Filter;
    bool IsStale() const { return this->m_stale; }
    bool IsBypassed() const { return this->m_bypass; }
    void MarkFresh() { this->m_stale = false; }
};

constexpr long kRigWidth = 40;
constexpr long kRigHeight = 30;

template <typename Filter>
struct ChainRig {
    explicit ChainRig(KelvraPixelFormat format = kKelvraRGB8)
    {
        image = MakePatternImage(holder.manager, kRigWidth, kRigHeight, format);
        ExpectOk(KelvraDataConnect(image, &filter));
        ExpectOk(KelvraDataConnect(&filter, &sink));
        filter.MarkFresh();
    }
    ~ChainRig()
    {
        KelvraDataDisconnect(&filter, &sink);
        KelvraDataDisconnect(image, &filter);
        image->Release();
    }
    ChainRig(const ChainRig&) = delete;
    ChainRig& operator=(const ChainRig&) = delete;

    ManagerHolder holder;
    IKelvraImage* image = nullptr;
    Probe<Filter> filter{holder.manager};
    frame_test::NoticeSink sink;
};

// One setting: `setSame` sets the value a new filter holds, `setNew` one
// that differs, `holdsNew` tells that the new value was stored.
template <typename Filter>
struct SetterCase {
    const char* name;
    IKelvraError* (*setSame)(Filter&, bool notify);
    IKelvraError* (*setNew)(Filter&, bool notify);
    bool (*holdsNew)(const Filter&);
};

// The setter pattern, case by case on a new chain each: the value already
// held changes nothing; a new one is stored, marks the output stale and is
// announced once, for the whole output; with notify false, a disabled
// filter or no source it is stored and marks stale but nobody hears of it.
template <typename Filter, std::size_t N>
void ExpectSetterPattern(const SetterCase<Filter> (&cases)[N])
{
    for (const SetterCase<Filter>& c : cases) {
        SCOPED_TRACE(c.name);
        {
            ChainRig<Filter> rig;
            ExpectOk(c.setSame(rig.filter, true));
            EXPECT_FALSE(rig.filter.IsStale());
            EXPECT_TRUE(rig.sink.notices.empty());

            ExpectOk(c.setNew(rig.filter, true));
            EXPECT_TRUE(c.holdsNew(rig.filter));
            EXPECT_TRUE(rig.filter.IsStale());
            ASSERT_EQ(1u, rig.sink.notices.size());
            EXPECT_EQ(static_cast<IKelvraDataSource*>(&rig.filter), rig.sink.notices[0].sender);
            EXPECT_EQ(kKelvraNotifyData, rig.sink.notices[0].code);
            EXPECT_EQ(KelvraRect(0, 0, kRigWidth, kRigHeight), rig.sink.notices[0].rect);

            rig.filter.MarkFresh();
            ExpectOk(c.setNew(rig.filter, true));
            EXPECT_FALSE(rig.filter.IsStale());
            EXPECT_EQ(1u, rig.sink.notices.size());
        }
        const struct {
            const char* name;
            bool notify;
            void (*prepare)(ChainRig<Filter>&);
        } silent[] = {
            {"notify false", false, [](ChainRig<Filter>&) {}},
            {"disabled", true, [](ChainRig<Filter>& rig) { ExpectOk(rig.filter.Enable(false, false)); }},
            {"no source", true,
             [](ChainRig<Filter>& rig) { ExpectOk(KelvraDataDisconnect(rig.image, &rig.filter)); }},
        };
        for (const auto& s : silent) {
            SCOPED_TRACE(s.name);
            ChainRig<Filter> rig;
            s.prepare(rig);
            rig.filter.MarkFresh();
            ExpectOk(c.setNew(rig.filter, s.notify));
            EXPECT_TRUE(c.holdsNew(rig.filter));
            EXPECT_TRUE(rig.filter.IsStale());
            EXPECT_TRUE(rig.sink.notices.empty());
        }
    }
}

// The filter's output, read through the chain, is its source's.
template <typename Filter>
void ExpectPixelsPassUnchanged(ChainRig<Filter>& rig)
{
    EXPECT_TRUE(rig.filter.PassesThrough());
    EXPECT_EQ(ReadAllSamples(rig.image), ReadAllSamples(&rig.filter));
}

// The filter's output equals its source, sample for sample.
inline void ExpectOutputEqualsSource(IKelvraDataSource* filter, IKelvraDataSource* source)
{
    const std::vector<unsigned> expected = ReadAllSamples(source);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(expected, ReadAllSamples(filter));
}

// Fills one tile of the filter's output by hand from its connected source
// and expects the source's format to be refused with the system's text:
// nothing written, tile not complete.
template <typename Filter>
void ExpectRefusedWithText(Filter& filter, KelvraPixelFormat format)
{
    frame_test::FakeTile tile(KelvraRect(0, 0, 64, 64), KelvraRect(0, 0, 64, 64), format);
    IKelvraError* error = filter.DoGenerateTile(&tile, nullptr);
    ASSERT_NE(nullptr, error);
    EXPECT_EQ(filter.GetFilterTag(), error->GetTag());
    EXPECT_STREQ(kTlBadSourceColorSpace, error->GetText());
    IKelvraError::Release(error);
    EXPECT_TRUE(tile.IsUntouched());
    EXPECT_FALSE(tile.IsComplete());
}

} // namespace filter_test
