// The moire filter: its name, its strength setter, and the pixels it passes
// while its moire removal is not there.
#include "FilterRigs.h"

#include "filters/moire/TlMoireFilter.h"

using namespace filter_test;

namespace {

TEST(MoireFilterTest, NamesItselfAndStartsAtStrengthFifty)
{
    ChainRig<CMoireFilter> chain(kKelvraRGB16);
    EXPECT_EQ(0x6D6F6972u, chain.filter.GetFilterTag());
    EXPECT_STREQ("Moire", chain.filter.GetFilterName());
    EXPECT_EQ(50, chain.filter.GetStrength());
    EXPECT_FALSE(chain.filter.IsBypassed());
}

const SetterCase<CMoireFilter> kMoireSetters[] = {
    {"strength", [](CMoireFilter& f, bool n) { return f.SetStrength(50, n); },
     [](CMoireFilter& f, bool n) { return f.SetStrength(80, n); },
     [](const CMoireFilter& f) { return f.GetStrength() == 80; }},
    {"strength zero", [](CMoireFilter& f, bool n) { return f.SetStrength(50, n); },
     [](CMoireFilter& f, bool n) { return f.SetStrength(0, n); },
     [](const CMoireFilter& f) { return f.GetStrength() == 0; }},
};

TEST(MoireFilterTest, StrengthFollowsTheSetterPattern)
{
    ExpectSetterPattern(kMoireSetters);
}

TEST(MoireFilterTest, StrengthNeverBypassesTheFilter)
{
    ChainRig<CMoireFilter> chain(kKelvraRGB16);
    for (int strength : {0, 100, 50}) {
        ExpectOk(chain.filter.SetStrength(strength, true));
        EXPECT_FALSE(chain.filter.IsBypassed());
    }
}

TEST(MoireFilterTest, SixteenBitRgbPassesUnchanged)
{
    ChainRig<CMoireFilter> chain(kKelvraRGB16);
    ExpectOk(chain.filter.SetStrength(90, true));
    ExpectOutputEqualsSource(&chain.filter, chain.image);
}

TEST(MoireFilterTest, OtherFormatsAreRefusedWithTheSystemText)
{
    for (KelvraPixelFormat format : {kKelvraRGB8, kKelvraGrey16}) {
        SCOPED_TRACE(format);
        ChainRig<CMoireFilter> chain(format);
        ExpectRefusedWithText(chain.filter, format);
    }
}

} // namespace
