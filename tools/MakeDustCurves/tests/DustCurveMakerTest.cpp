// The synthetic tone-curve blocks of the dust map: the given blocks kept in
// their places, every block joined and rising, and the library's source
// file exactly what the tool writes.
#include "MakeDustCurves/TlDustCurveMaker.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(DustCurveMaker, KeepsTheGivenBlocksWhereTheyAreSelected)
{
    const TlDustCurveSet set = MakeDustCurveSet();
    EXPECT_EQ(set.a1025[3].c0, -16.413954);
    EXPECT_EQ(set.a1025[3].e, 0.303118);
    EXPECT_EQ(set.a1025[3].y2, 0.4575);
    EXPECT_EQ(set.b[0].k[7], 0.323672);
    EXPECT_EQ(set.b[0].o, 187);
    EXPECT_EQ(set.b[0].p, 538);
}

TEST(DustCurveMaker, EveryBlockIsJoinedAndRises)
{
    const TlDustCurveSet set = MakeDustCurveSet();
    for (int n = 0; n < kDustCurveBlocksA; ++n) {
        EXPECT_EQ(CheckDustCurve(set.a1025[n]), "") << "1025 block " << n;
        EXPECT_EQ(CheckDustCurve(set.aShared[n]), "") << "shared block " << n;
    }
    for (int n = 0; n < kDustCurveBlocksB; ++n)
        EXPECT_EQ(CheckDustCurve(set.b[n]), "") << "block " << n;
}

TEST(DustCurveMaker, FindsPartedAndFallingCurves)
{
    TlDustCurveA parted = MakeDustCurveSet().a1025[1];
    parted.b += 0.01;
    EXPECT_NE(CheckDustCurve(parted), "");
    TlDustCurveB falling = MakeDustCurveSet().b[2];
    falling.k[1] = -falling.k[1];
    EXPECT_NE(CheckDustCurve(falling), "");
}

TEST(DustCurveMaker, TheLibraryHoldsTheBlocksTheToolMakes)
{
    const TlDustCurveSet set = MakeDustCurveSet();
    EXPECT_EQ(std::memcmp(set.a1025, kDustCurvesA1025, sizeof set.a1025), 0);
    EXPECT_EQ(std::memcmp(set.aShared, kDustCurvesAShared, sizeof set.aShared), 0);
    for (int n = 0; n < kDustCurveBlocksB; ++n) {
        EXPECT_EQ(std::memcmp(set.b[n].k, kDustCurvesB[n].k, sizeof set.b[n].k), 0) << n;
        EXPECT_EQ(set.b[n].s, kDustCurvesB[n].s) << n;
    }
}

TEST(DustCurveMaker, WritesTheLibrarySourceFile)
{
    TempFolder folder;
    std::string failure;
    ASSERT_TRUE(TlWriteDustCurveBlocks(folder.Path().c_str(), &failure)) << failure;
    const std::string written = TempFolder::Read(folder.File("TlDustCurveBlocks.cpp"));
    EXPECT_EQ(written, FormatDustCurveSet(MakeDustCurveSet()));
    EXPECT_EQ(written, TempFolder::Read(TL_DUST_CURVE_SOURCE)) << "run TlMakeDustCurves TlvQrf/filters/dust";
}

} // namespace
