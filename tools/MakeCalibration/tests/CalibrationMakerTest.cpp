#include "MakeCalibration/TlCalibrationMaker.h"

#include "settings/curves/TlLinearCurve.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// The threshold table a filter takes from the file's bytes.
std::vector<std::uint16_t> ThresholdTable(const std::string& bytes, int* accounted)
{
    CTlLinearCurve curve(nullptr, 1);
    *accounted = curve.ParseCalibration(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    std::vector<std::uint16_t> table(65536);
    curve.GetTable(0, table.data(), 2, 65536, 65536, 60);
    return table;
}

TEST(CalibrationMaker, WritesBothFilesAsWholeCalibrationCurves)
{
    TempFolder temp;
    const std::string folder = temp.Path() + "Talvo\\Profiles";
    ASSERT_TRUE(TlWriteCalibrations(folder));
    for (const char* name : {"TlLchCal.nlc", "TlCBoost.nlc"}) {
        const std::string bytes = TempFolder::Read(folder + "\\" + name);
        int accounted = 0;
        const std::vector<std::uint16_t> table = ThresholdTable(bytes, &accounted);
        EXPECT_EQ(int(bytes.size()), accounted) << name;
        EXPECT_GT(bytes.size(), 13u) << name << " has points";

        // A low floor under every hue, raised well above it in places, never
        // beyond the middle (no hue gets more than a moderate threshold).
        const auto [low, high] = std::minmax_element(table.begin(), table.end());
        EXPECT_GT(*low, 0) << name;
        EXPECT_LT(*low, 16384) << name;
        EXPECT_GT(*high, 2 * *low) << name;
        EXPECT_LT(*high, 32768) << name;
    }
}

TEST(CalibrationMaker, ShippedCurvesAreValidBumpLists)
{
    ASSERT_EQ(2u, TlShippedCalibrations().size());
    for (const TlCalibrationCurve& curve : TlShippedCalibrations()) {
        EXPECT_TRUE(std::is_sorted(curve.points.begin(), curve.points.end(),
                                   [](const TlBumpPoint& a, const TlBumpPoint& b) { return a.x < b.x; }))
            << curve.fileName;
        for (const TlBumpPoint& p : curve.points) {
            EXPECT_TRUE(p.x >= 0 && p.x < 1 && p.y >= -1 && p.y <= 1 && p.z >= 0 && p.z <= 0.5) << curve.fileName;
        }
    }
    EXPECT_EQ(TlFindCalibration("TlCBoost.nlc"), TlFindCalibration("TLCBOOST.NLC"));
    EXPECT_EQ(nullptr, TlFindCalibration("Tl0080.lns"));
}

TEST(CalibrationMaker, NeutralFileGivesTheMiddleForEveryHue)
{
    TempFolder temp;
    ASSERT_TRUE(TlWriteCalibrationFile(temp.File("neutral.nlc"), TlNeutralCalibration()));
    int accounted = 0;
    const std::string bytes = TempFolder::Read(temp.File("neutral.nlc"));
    EXPECT_EQ(std::vector<std::uint16_t>(65536, 32768), ThresholdTable(bytes, &accounted));
    EXPECT_EQ(13, accounted);
}

TEST(CalibrationMaker, UnwritablePlacesFail)
{
    TempFolder temp;
    EXPECT_FALSE(TlWriteCalibrationFile(temp.File("missing\\x.nlc"), TlNeutralCalibration()));
    EXPECT_FALSE(TlWriteCalibrations(""));
}

} // namespace
