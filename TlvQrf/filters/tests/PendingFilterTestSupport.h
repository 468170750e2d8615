// What the tests of filters whose pixel work is still a pass-through share:
// a chain source -> filter -> recording destination, a view of the
// filter's stale and bypass flags, and the setter pattern checked over a
// table of setters.
#pragma once

#include "FrameTestSupport.h"

#include "FilterTestSupport.h"

#include <string>

namespace pending_test {

constexpr long kWidth = 120;
constexpr long kHeight = 80;

// A filter with its base flags in view.
template <typename Filter>
class Inspected : public Filter {
public:
    using Filter::Filter;
    bool IsStale() const { return this->m_stale; }
    bool IsBypassed() const { return this->m_bypass; }
    void MarkFresh() { this->m_stale = false; }
};

// Pattern image kWidth x kHeight -> filter -> sink.
template <typename Filter>
struct Chain {
    explicit Chain(KelvraPixelFormat format = kKelvraRGB16)
    {
        image = MakePatternImage(holder.manager, kWidth, kHeight, format);
        ExpectOk(KelvraDataConnect(image, &filter));
        ExpectOk(KelvraDataConnect(&filter, &sink));
        filter.MarkFresh();
    }
    ~Chain()
    {
        IKelvraError::Release(KelvraDataDisconnect(&filter, &sink));
        IKelvraError::Release(KelvraDataDisconnect(image, &filter));
        image->Release();
    }

    ManagerHolder holder;
    IKelvraImage* image = nullptr;
    Inspected<Filter> filter{holder.manager};
    frame_test::NoticeSink sink;
};

// One setting: set to the value a fresh filter holds, and to another.
template <typename Filter>
struct SetterCase {
    const char* name;
    IKelvraError* (*setStart)(Filter&, bool notify);
    IKelvraError* (*setNew)(Filter&, bool notify);
    bool (*holdsNew)(const Filter&);
};

// The start value again: nothing sent, stale untouched. A new value:
// stored, stale, one whole-output notice from the filter.
template <typename Filter, std::size_t N>
void ExpectSetterPattern(const SetterCase<Filter> (&cases)[N])
{
    for (const SetterCase<Filter>& c : cases) {
        SCOPED_TRACE(c.name);
        Chain<Filter> chain;
        auto& filter = chain.filter;
        ExpectOk(c.setStart(filter, true));
        EXPECT_FALSE(filter.IsStale());
        EXPECT_TRUE(chain.sink.notices.empty());

        ExpectOk(c.setNew(filter, true));
        EXPECT_TRUE(c.holdsNew(filter));
        EXPECT_TRUE(filter.IsStale());
        ASSERT_EQ(1u, chain.sink.notices.size());
        const frame_test::RecordedNotice& notice = chain.sink.notices[0];
        EXPECT_EQ(static_cast<IKelvraDataSource*>(&filter), notice.sender);
        EXPECT_EQ(kKelvraNotifyData, notice.code);
        EXPECT_EQ(KelvraRect(0, 0, kWidth, kHeight), notice.rect);

        filter.MarkFresh();
        ExpectOk(c.setNew(filter, true));
        EXPECT_FALSE(filter.IsStale());
        EXPECT_EQ(1u, chain.sink.notices.size());
    }
}

// A new value that nobody may hear (notify false, or the filter disabled):
// stored and stale, nothing sent.
template <typename Filter, std::size_t N>
void ExpectSilentChanges(const SetterCase<Filter> (&cases)[N])
{
    for (bool disabled : {false, true}) {
        for (const SetterCase<Filter>& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (disabled ? ", disabled" : ", notify false"));
            Chain<Filter> chain;
            if (disabled)
                ExpectOk(chain.filter.Enable(false, false));
            ExpectOk(c.setNew(chain.filter, disabled));
            EXPECT_TRUE(c.holdsNew(chain.filter));
            EXPECT_TRUE(chain.filter.IsStale());
            EXPECT_TRUE(chain.sink.notices.empty());
        }
    }
}

// The filter's output equals its source, sample for sample.
inline void ExpectPassesPixelsUnchanged(IKelvraDataSource* filter, IKelvraDataSource* source)
{
    const std::vector<unsigned> expected = ReadAllSamples(source);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(expected, ReadAllSamples(filter));
}

// Fills one tile of the filter's output by hand from its connected source
// and expects the source's format to be refused with the system's text: nothing written, tile not
// complete.
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

} // namespace pending_test
