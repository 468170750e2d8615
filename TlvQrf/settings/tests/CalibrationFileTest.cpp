// Calibration files: the parser's rules for short and odd files, and the
// loader's results for files in a temporary profiles folder.
#include "BumpCurveGoldens.h"
#include "BumpCurveTestSupport.h"

#include "settings/curves/TlBumpListForm.h"
#include "support/CommonFilesSandbox.h"

#include <gtest/gtest.h>

#include <string>

using namespace tlstate_test;

namespace {

const Points kOnePoint = {{0.25, 0.5, 0.125}};
const Points kOld = {{0.5, 0.1, 0.2}, {0.9, 0.3, 0.05}};

TEST(CalibrationFile, ComposedFileHasTheStoredLayout)
{
    EXPECT_EQ(Hex(kCalibrationFileV1), ComposeCalibrationFile({{0.25, 0.5, 0.125}, {0.75, -0.25, 0.0625}}, -0.5));
    EXPECT_EQ(13u, ComposeCalibrationFile({}, 0).size());
}

struct ParseCase {
    const char* name;
    Bytes file;
    int accounted;
    Points list;       // the calibration list afterwards
    double offset;     // the second offset afterwards
};

Bytes Cut(Bytes bytes, std::size_t size)
{
    bytes.resize(size);
    return bytes;
}

TEST(CalibrationFile, ParserFillsTheCalibrationListAndSecondOffset)
{
    const Bytes one = CalibrationBytes(kOnePoint, -0.75);
    Bytes otherVersion = one;
    PutU16(otherVersion, 0, 2);
    const ParseCase cases[] = {
        {"one point", one, 37, kOnePoint, -0.75},
        {"no points", CalibrationBytes({}, 0.5), 13, {}, 0.5},
        // A value that is not held with a byte to spare takes the one read last.
        {"one byte short", Cut(one, 36), 37, kOnePoint, 0.125},
        {"cut within y", Cut(one, 15), 37, {{0.25, 0.25, 0.25}}, 0.25},
        {"count but no values", Cut(one, 5), 37, {{0, 0, 0}}, 0},
        {"count not held with a byte to spare", Cut(one, 4), 13, {}, 0},
        {"version only", Cut(one, 3), 13, {}, 0},
        // Nothing is read: the list and offset stay.
        {"too short for a version", Cut(one, 2), 0, kOld, 0.375},
        {"empty", {}, 0, kOld, 0.375},
        {"another version", otherVersion, 0, kOld, 0.375},
    };
    for (const ParseCase& c : cases) {
        CTlLinearCurve curve = MakeLinearCurve(kOnePoint, 0.25, kOld, 0.375);
        EXPECT_EQ(c.accounted, curve.ParseCalibration(c.file.data(), c.file.size())) << c.name;
        EXPECT_TRUE(SamePoints(c.list, curve.GetSecondList())) << c.name;
        EXPECT_EQ(c.offset, curve.GetSecondOffset()) << c.name;
        EXPECT_TRUE(SamePoints(kOnePoint, curve.GetFirstList())) << c.name << ": the edited curve stays";
        EXPECT_EQ(0.25, curve.GetFirstOffset()) << c.name;
    }
}

TEST(CalibrationFile, ParserFillsAShortFileOfTheLargestCount)
{
    Bytes file = CalibrationBytes(kOnePoint, 0.875);
    PutU16(file, 2, 0xFFFF);
    CTlLinearCurve curve(nullptr, 1);
    EXPECT_EQ(13 + 24 * 65535, curve.ParseCalibration(file.data(), file.size()));
    ASSERT_EQ(65535u, curve.GetSecondList().size());
    EXPECT_EQ(0.875, curve.GetSecondList()[1].x) << "the last value read repeats";
    EXPECT_EQ(0.875, curve.GetSecondList().back().z);
    EXPECT_EQ(0.875, curve.GetSecondOffset());
}

// A profiles folder of its own: "CommonFilesDir" points at a temporary
// folder while the test runs.
class CalibrationLoadTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_folder.IsReady()); }

    void WriteFile(const char* name, const Bytes& bytes) { m_folder.Write(name, std::string(bytes.begin(), bytes.end())); }

    TempProfilesFolder m_folder;
    const std::string& m_profiles = m_folder.Path();
};

struct LoadCase {
    const char* name;
    Bytes file;
    int result;
};

TEST_F(CalibrationLoadTest, ResultsByFileLength)
{
    const Bytes one = CalibrationBytes(kOnePoint, 0.25);
    ASSERT_EQ(37u, one.size());
    Bytes tooLong(TlBumpListFormLayout::kMaxSize + 1, 0);
    tooLong[0] = 1;
    const LoadCase cases[] = {
        {"one point", one, kTlCalibrationOk},
        {"no points", CalibrationBytes({}, 0), kTlCalibrationOk},
        {"empty", {}, kTlCalibrationOk},
        {"one byte short", Cut(one, 36), kTlCalibrationBadLength},
        {"one byte over", [&] { Bytes b = one; b.push_back(0); return b; }(), kTlCalibrationBadLength},
        {"two bytes", Cut(one, 2), kTlCalibrationBadLength},
        {"longer than any calibration file", tooLong, kTlCalibrationBadLength},
    };
    for (const LoadCase& c : cases) {
        WriteFile("TlCBoost.nlc", c.file);
        CTlLinearCurve curve(nullptr, 1);
        EXPECT_EQ(c.result, curve.LoadCalibration(kTlChromaBoostCalibrationFile)) << c.name;
    }
}

TEST_F(CalibrationLoadTest, LoadedCurveIsTheCalibrationCurve)
{
    WriteFile("TlCBoost.nlc", CalibrationBytes(kOld, -0.25));
    CTlLinearCurve curve(nullptr, 1);
    ASSERT_EQ(kTlCalibrationOk, curve.LoadCalibration("TlCBoost.nlc"));
    EXPECT_TRUE(SamePoints(kOld, curve.GetSecondList()));
    EXPECT_EQ(-0.25, curve.GetSecondOffset());
    EXPECT_EQ(0, curve.GetCount()) << "the edited curve stays empty";
}

TEST_F(CalibrationLoadTest, NoNameMeansTheLchEditorsFile)
{
    WriteFile("TlLchCal.nlc", CalibrationBytes(kOnePoint, 0.5));
    CTlLinearCurve curve(nullptr, 1);
    EXPECT_EQ(kTlCalibrationOk, curve.LoadCalibration(nullptr));
    EXPECT_TRUE(SamePoints(kOnePoint, curve.GetSecondList()));
}

TEST_F(CalibrationLoadTest, EmptyFileLeavesAFlatMiddleTable)
{
    WriteFile("TlLchCal.nlc", {});
    CTlLinearCurve curve(nullptr, 1);
    ASSERT_EQ(kTlCalibrationOk, curve.LoadCalibration(kTlLchCalibrationFile));
    EXPECT_TRUE(curve.GetSecondList().empty());
    std::vector<std::uint16_t> table(65536);
    EXPECT_EQ(65536, curve.GetTable(0, table.data(), 2, 65536, 65536, 60));
    EXPECT_EQ(std::vector<std::uint16_t>(65536, 32768), table);
}

TEST_F(CalibrationLoadTest, FilesThatCannotBeReadGiveUnreadable)
{
    CTlLinearCurve curve(nullptr, 1);
    EXPECT_EQ(kTlCalibrationUnreadable, curve.LoadCalibration("TlMissing.nlc"));
    m_folder.Common().MakeFolder("Talvo\\Profiles\\Folder.nlc");
    EXPECT_EQ(kTlCalibrationUnreadable, curve.LoadCalibration("Folder.nlc"));
}

TEST_F(CalibrationLoadTest, PathBeyondThePathBufferGivesUnreadable)
{
    // Paths of 259 characters, the most a path buffer of 260 holds, and of 260.
    ASSERT_LT(m_profiles.size(), 200u);
    const std::string longest = std::string(259 - m_profiles.size() - 4, 'n') + ".nlc";
    const std::string tooLong = "n" + longest;
    for (const std::string& name : {longest, tooLong})
        WriteFile(name.c_str(), CalibrationBytes(kOnePoint, 0));
    ASSERT_TRUE(TempFolder::Exists(m_profiles + tooLong));

    CTlLinearCurve curve(nullptr, 1);
    EXPECT_EQ(kTlCalibrationOk, curve.LoadCalibration(longest.c_str()));
    EXPECT_EQ(kTlCalibrationUnreadable, curve.LoadCalibration(tooLong.c_str()));
}

} // namespace
