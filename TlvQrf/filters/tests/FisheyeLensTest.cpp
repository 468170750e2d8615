// The fisheye filter's lens data: found from the picture's tags, loaded from
// the lens data file of a temporary profiles folder, shared by every fisheye
// filter through the lens model cache and released with the last filter.
#include "FilterRigs.h"
#include "FisheyeTestSupport.h"

#include "MakeLensFile/TlLensFileMaker.h"
#include "filters/fisheye/TlFisheyeLensCache.h"
#include "support/CommonFilesSandbox.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using fisheye_test::kLensFileName;
using fisheye_test::LensTags;

std::string LensFileBytes()
{
    const std::vector<std::uint8_t> bytes = TlBuildLensFile();
    return std::string(bytes.begin(), bytes.end());
}

CFisheyeFilter::CliManager& Cache()
{
    return CFisheyeFilter::CliManager::Instance();
}

bool ChainHasText(const IKelvraError* error, const char* text)
{
    for (; error; error = error->GetNext()) {
        if (std::strcmp(error->GetText(), text) == 0 || ChainHasText(error->GetInner(), text))
            return true;
    }
    return false;
}

void ExpectTextError(IKelvraError* error, const char* text)
{
    ASSERT_NE(nullptr, error);
    EXPECT_EQ(TlFilterId("FEye"), error->GetTag());
    EXPECT_TRUE(ChainHasText(error, text));
    IKelvraError::Release(error);
}

void ExpectNoLens(const CFisheyeFilter& filter)
{
    EXPECT_FALSE(filter.HasLensModel());
    EXPECT_EQ(nullptr, filter.GetLensInformation());
}

// Every test starts and must end with an empty cache: the filters it makes
// are gone by then, and with them the lens objects.
class FisheyeLensTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_profiles.IsReady());
        ASSERT_EQ(0u, Cache().GetEntryCount());
    }
    void TearDown() override { EXPECT_EQ(0u, Cache().GetEntryCount()); }

    void InstallLensFile(const std::string& bytes = LensFileBytes()) { m_profiles.Write(kLensFileName, bytes); }
    void RemoveLensFile() { ASSERT_TRUE(DeleteFileA((m_profiles.Path() + kLensFileName).c_str())); }
    std::unique_ptr<CFisheyeFilter> NewFilter() { return std::make_unique<CFisheyeFilter>(m_holder.manager); }

    ManagerHolder m_holder;
    TempProfilesFolder m_profiles;
    LensTags m_fisheyeTags{CTlLensInformation::kSupportedLensCode};
};

TEST_F(FisheyeLensTest, LensFileGivesTheFilterItsFourCurves)
{
    InstallLensFile();
    auto filter = NewFilter();
    ExpectOk(filter->SetLens(m_fisheyeTags.Get()));
    ASSERT_TRUE(filter->HasLensModel());
    const CTlLensInformation* lens = filter->GetLensInformation();
    ASSERT_NE(nullptr, lens);
    EXPECT_EQ(CTlLensInformation::kSupportedLensCode, lens->GetLensCode());
    // The cache's reference and the filter's.
    EXPECT_EQ(2, lens->GetClientCount());
    EXPECT_EQ(1u, Cache().GetEntryCount());

    const std::vector<std::vector<double>> curves = TlBuildLensCurves();
    const double* tables[4] = {};
    lens->GetLensData(&tables[0], &tables[1], &tables[2], &tables[3]);
    for (int t = 0; t < 4; ++t) {
        ASSERT_NE(nullptr, tables[t]);
        for (int i : {0, 1, 2048, 4095})
            EXPECT_EQ(curves[t][i], tables[t][i]) << "curve " << t << " entry " << i;
    }
}

TEST_F(FisheyeLensTest, FiltersShareOneLensObjectWithoutReadingTheFileAgain)
{
    InstallLensFile();
    auto first = NewFilter();
    ExpectOk(first->SetLens(m_fisheyeTags.Get()));
    RemoveLensFile();
    auto second = NewFilter();
    ExpectOk(second->SetLens(m_fisheyeTags.Get()));
    ASSERT_TRUE(second->HasLensModel());
    EXPECT_EQ(first->GetLensInformation(), second->GetLensInformation());
    EXPECT_EQ(3, first->GetLensInformation()->GetClientCount());
    EXPECT_EQ(1u, Cache().GetEntryCount());

    first.reset();
    EXPECT_EQ(1u, Cache().GetEntryCount());
    EXPECT_EQ(2, second->GetLensInformation()->GetClientCount());
    ASSERT_TRUE(second->HasLensModel());
}

TEST_F(FisheyeLensTest, LastFilterLettingGoEmptiesTheCacheAndTheNextLoadsAgain)
{
    InstallLensFile();
    auto filter = NewFilter();
    ExpectOk(filter->SetLens(m_fisheyeTags.Get()));
    filter.reset();
    EXPECT_EQ(0u, Cache().GetEntryCount());

    // Loaded anew: without the file the load now fails.
    RemoveLensFile();
    filter = NewFilter();
    ExpectError(filter->SetLens(m_fisheyeTags.Get()), kTlFisheyeLensFileUnreadable, TlFilterId("FEye"));
    ExpectNoLens(*filter);
}

TEST_F(FisheyeLensTest, SettingTheLensAgainDropsTheFilterOwnReferenceFirst)
{
    InstallLensFile();
    auto filter = NewFilter();
    auto other = NewFilter();
    ExpectOk(filter->SetLens(m_fisheyeTags.Get()));
    ExpectOk(other->SetLens(m_fisheyeTags.Get()));
    const CTlLensInformation* shared = filter->GetLensInformation();
    // Another filter holds the object: it stays and is taken again.
    ExpectOk(filter->SetLens(m_fisheyeTags.Get()));
    EXPECT_EQ(shared, filter->GetLensInformation());
    EXPECT_EQ(3, shared->GetClientCount());
    // Alone, the filter lets the object go and loads the file again.
    other.reset();
    RemoveLensFile();
    ExpectError(filter->SetLens(m_fisheyeTags.Get()), kTlFisheyeLensFileUnreadable, TlFilterId("FEye"));
    ExpectNoLens(*filter);
}

TEST_F(FisheyeLensTest, UnusableLensFilesAreReportedByKind)
{
    const std::string good = LensFileBytes();
    const struct {
        const char* name;
        bool install;
        std::string bytes;
        long code;
    } cases[] = {
        {"missing file", false, "", kTlFisheyeLensFileUnreadable},
        {"empty file", true, "", kTlFisheyeLensFileRejected},
        {"not a lens record", true, std::string(200, 'x'), kTlFisheyeLensFileRejected},
        {"one byte short", true, good.substr(0, good.size() - 1), kTlFisheyeLensFileRejected},
        {"one byte too many", true, good + '\0', kTlFisheyeLensFileRejected},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.install)
            InstallLensFile(c.bytes);
        auto filter = NewFilter();
        ExpectError(filter->SetLens(m_fisheyeTags.Get()), c.code, TlFilterId("FEye"));
        ExpectNoLens(*filter);
        EXPECT_EQ(0u, Cache().GetEntryCount());
        if (c.install)
            RemoveLensFile();
    }
}

TEST_F(FisheyeLensTest, PictureOfAnotherLensIsRefusedAndDropsTheLensHeld)
{
    InstallLensFile();
    LensTags otherLens(77);
    const struct {
        const char* name;
        const IKelvraTagControl* tags;
    } cases[] = {{"another lens", otherLens.Get()}, {"no tags", nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto filter = NewFilter();
        ExpectOk(filter->SetLens(m_fisheyeTags.Get()));
        ExpectTextError(filter->SetLens(c.tags), kTlFisheyeLensNotSupported);
        EXPECT_STREQ("Error: fisheye lens model is not supported.", kTlFisheyeLensNotSupported);
        ExpectNoLens(*filter);
        EXPECT_EQ(0u, Cache().GetEntryCount());
    }
}

TEST_F(FisheyeLensTest, ReleaseHookLeavesObjectsWithFurtherReferencesAndStrangers)
{
    InstallLensFile();
    auto filter = NewFilter();
    ExpectOk(filter->SetLens(m_fisheyeTags.Get()));
    CTlLensInformation* cached = const_cast<CTlLensInformation*>(filter->GetLensInformation());
    Cache().OnClientsChanged(cached, 2);
    EXPECT_EQ(1u, Cache().GetEntryCount());
    CTlLensInformation stranger;
    Cache().OnClientsChanged(&stranger, 0);
    EXPECT_EQ(1u, Cache().GetEntryCount());
    EXPECT_EQ(1, CTlLensInformation::GetKeepCount());
}

TEST_F(FisheyeLensTest, FiltersComingAndGoingOnTwoThreadsKeepTheCacheWhole)
{
    InstallLensFile();
    // One filter holds the lens throughout on this thread, while two others
    // take it and let it go, so that the cache both shares and releases.
    auto holder = NewFilter();
    ExpectOk(holder->SetLens(m_fisheyeTags.Get()));
    const CTlLensInformation* held = holder->GetLensInformation();
    auto churn = [this](bool* allLoaded) {
        for (int i = 0; i < 100; ++i) {
            CFisheyeFilter filter(m_holder.manager);
            IKelvraError* error = filter.SetLens(m_fisheyeTags.Get());
            *allLoaded = *allLoaded && error == nullptr && filter.HasLensModel();
            IKelvraError::Release(error);
        }
    };
    bool firstLoaded = true, secondLoaded = true;
    std::thread first(churn, &firstLoaded);
    std::thread second(churn, &secondLoaded);
    first.join();
    second.join();
    EXPECT_TRUE(firstLoaded);
    EXPECT_TRUE(secondLoaded);
    EXPECT_EQ(held, holder->GetLensInformation());
    EXPECT_EQ(2, held->GetClientCount());
    holder.reset();
    // Nobody holds the lens now: the threads load and release it in turn.
    std::thread third(churn, &firstLoaded);
    std::thread fourth(churn, &secondLoaded);
    third.join();
    fourth.join();
    EXPECT_TRUE(firstLoaded);
    EXPECT_TRUE(secondLoaded);
}

TEST(FisheyeLensPathTest, ProfilesFolderTooLongForAPathIsAMappingError)
{
    ManagerHolder holder;
    CommonFilesSandbox sandbox;
    ASSERT_TRUE(sandbox.PointAt("C:\\" + std::string(300, 'a')));
    LensTags tags(CTlLensInformation::kSupportedLensCode);
    CFisheyeFilter filter(holder.manager);
    ExpectTextError(filter.SetLens(tags.Get()), kTlFisheyeLensFileUnmapped);
    EXPECT_STREQ("Error: eronate lensmodel-to-file mapping.", kTlFisheyeLensFileUnmapped);
    ExpectNoLens(filter);
}

} // namespace
