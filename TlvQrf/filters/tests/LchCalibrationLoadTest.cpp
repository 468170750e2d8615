// The calibration loads of the LCH editor and the chroma booster: each
// reads its own file from the profiles folder and takes the sampled
// calibration curve as its threshold table; a file that is missing or of
// the wrong size gives its code and loads nothing.
#include "ColourFilterTestSupport.h"

#include "filters/chromabooster/TlChromaBoosterFilter.h"
#include "filters/lch/TlFltLch.h"
#include "settings/curves/TlLinearCurve.h"

#include <string>
#include <vector>

using namespace colour_test;

namespace {

using Table = std::vector<std::uint16_t>;

std::unique_ptr<CFltLch> MakeLch(IKelvraManager* manager)
{
    return std::make_unique<CFltLch>(manager);
}
std::unique_ptr<CFltLch> MakeBooster(IKelvraManager* manager)
{
    return std::make_unique<CChromaBoosterFilter>(manager);
}

struct LoaderCase {
    const char* name;
    std::unique_ptr<CFltLch> (*make)(IKelvraManager*);
    const char* ownFile;
    const char* otherFile;
    KelvraTag tag;
};

const LoaderCase kLoaders[] = {
    {"LCH editor", MakeLch, "TlLchCal.nlc", "TlCBoost.nlc", TlFilterId("LCH ")},
    {"chroma booster", MakeBooster, "TlCBoost.nlc", "TlLchCal.nlc", TlFilterId("ChrB")},
};

// The threshold table that the curve classes sample from a file's bytes.
Table SampledCalibration(const std::string& bytes)
{
    CTlLinearCurve curve(nullptr, 1);
    curve.ParseCalibration(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    Table table(65536);
    curve.GetTable(0, table.data(), 2, 65536, 65536, 60);
    return table;
}

// An empty profiles folder of its own for each case.
class Profiles {
public:
    bool IsReady() const { return m_folder.IsReady(); }
    void WriteCurve(const char* name, const TlCalibrationCurve& curve) const
    {
        ASSERT_TRUE(TlWriteCalibrationFile(m_folder.Path() + name, curve));
    }
    void WriteBytes(const char* name, const std::string& bytes) const { m_folder.Write(name, bytes); }
    std::string Read(const char* name) const { return TempFolder::Read(m_folder.Path() + name); }
    void MakeFolderNamed(const char* name) const { m_folder.Common().MakeFolder(std::string("Talvo\\Profiles\\") + name); }

private:
    TempProfilesFolder m_folder;
};

// The bytes of the shipped file `name`, written into `profiles` first.
std::string ShippedBytes(const Profiles& profiles, const char* name)
{
    profiles.WriteCurve(name, *TlFindCalibration(name));
    return profiles.Read(name);
}

class CalibrationLoadTest : public ::testing::Test {
protected:
    ManagerHolder m_holder;
};

TEST_F(CalibrationLoadTest, NeutralCurveGivesTheMiddleForEveryHue)
{
    for (const LoaderCase& c : kLoaders) {
        SCOPED_TRACE(c.name);
        Profiles profiles;
        ASSERT_TRUE(profiles.IsReady());
        profiles.WriteCurve(c.ownFile, TlNeutralCalibration());
        std::unique_ptr<CFltLch> filter = c.make(m_holder.manager);
        MarkFresh(*filter);
        ExpectOk(filter->LoadCalibration(nullptr));
        EXPECT_TRUE(filter->IsCalibrationLoaded());
        EXPECT_EQ(Table(65536, 32768), filter->GetThresholdSource());
        EXPECT_EQ(16, filter->GetThresholdInBits());
        EXPECT_EQ(16, filter->GetThresholdOutBits());
        EXPECT_TRUE(filter->IsThresholdStale());
        EXPECT_TRUE(IsStale(*filter));
    }
}

TEST_F(CalibrationLoadTest, EachFilterTakesTheSampledCurveOfItsOwnFile)
{
    Profiles profiles;
    ASSERT_TRUE(profiles.IsReady());
    for (const LoaderCase& c : kLoaders)
        profiles.WriteCurve(c.ownFile, *TlFindCalibration(c.ownFile));
    for (const LoaderCase& c : kLoaders) {
        SCOPED_TRACE(c.name);
        const Table own = SampledCalibration(profiles.Read(c.ownFile));
        ASSERT_NE(own, SampledCalibration(profiles.Read(c.otherFile))) << "the two files differ";
        std::unique_ptr<CFltLch> filter = c.make(m_holder.manager);
        ExpectOk(filter->LoadCalibration(nullptr));
        EXPECT_EQ(own, filter->GetThresholdSource());
    }
}

TEST_F(CalibrationLoadTest, FilesThatCannotBeLoadedGiveTheirCodesAndLoadNothing)
{
    struct FailureCase {
        const char* name;
        void (*prepare)(const Profiles&, const char* file);
        long code;
    };
    const FailureCase failures[] = {
        {"missing", [](const Profiles&, const char*) {}, 3501},
        {"a folder of that name", [](const Profiles& p, const char* file) { p.MakeFolderNamed(file); }, 3501},
        {"one byte over", [](const Profiles& p, const char* file) { p.WriteBytes(file, ShippedBytes(p, file) + '\0'); },
         3500},
        {"one byte short",
         [](const Profiles& p, const char* file) {
             const std::string bytes = ShippedBytes(p, file);
             p.WriteBytes(file, bytes.substr(0, bytes.size() - 1));
         },
         3500},
        {"another filter's file only",
         [](const Profiles& p, const char* file) {
             const char* other = std::string(file) == "TlLchCal.nlc" ? "TlCBoost.nlc" : "TlLchCal.nlc";
             p.WriteCurve(other, TlNeutralCalibration());
         },
         3501},
    };
    for (const LoaderCase& c : kLoaders) {
        for (const FailureCase& f : failures) {
            SCOPED_TRACE(testing::Message() << c.name << ", " << f.name);
            Profiles profiles;
            ASSERT_TRUE(profiles.IsReady());
            f.prepare(profiles, c.ownFile);
            std::unique_ptr<CFltLch> filter = c.make(m_holder.manager);
            MarkFresh(*filter);
            ExpectError(filter->LoadCalibration(nullptr), f.code, c.tag);
            EXPECT_FALSE(filter->IsCalibrationLoaded());
            EXPECT_TRUE(filter->GetThresholdSource().empty());
            EXPECT_FALSE(IsStale(*filter));
        }
    }
}

TEST_F(CalibrationLoadTest, FailedReloadKeepsTheTableLoadedBefore)
{
    for (const LoaderCase& c : kLoaders) {
        SCOPED_TRACE(c.name);
        Profiles profiles;
        ASSERT_TRUE(profiles.IsReady());
        std::unique_ptr<CFltLch> filter = c.make(m_holder.manager);
        const std::string wrongSize = ShippedBytes(profiles, c.ownFile) + "xx";
        profiles.WriteCurve(c.ownFile, TlNeutralCalibration());
        ExpectOk(filter->LoadCalibration(nullptr));
        profiles.WriteBytes(c.ownFile, wrongSize);
        ExpectError(filter->LoadCalibration(nullptr), 3500, c.tag);
        EXPECT_TRUE(filter->IsCalibrationLoaded());
        EXPECT_EQ(Table(65536, 32768), filter->GetThresholdSource());
    }
}

TEST_F(CalibrationLoadTest, BoosterTakesItsDefaultLevelEvenWhenItsFileIsMissing)
{
    Profiles profiles;
    ASSERT_TRUE(profiles.IsReady());
    CChromaBoosterFilter booster(m_holder.manager);
    ExpectError(booster.LoadCalibration(nullptr), 3501, TlFilterId("ChrB"));
    EXPECT_EQ(25, booster.GetDefaultLevel());
    ExpectOk(booster.SetLevel(1000, false));
    EXPECT_EQ(0, booster.GetLevel()) << "still silent without a calibration";
}

} // namespace
