// The dust analysis that the record drives: the order of the engines, the
// progress it reports, cancelling, and the results and errors of each
// failure.
#include "DustEngineFakes.h"

#include "settings/dust/TlDustState.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace dust_test;

namespace {

struct ProgressCall {
    int phase;
    int percent;
    bool operator==(const ProgressCall& other) const { return phase == other.phase && percent == other.percent; }
};

void PrintTo(const ProgressCall& call, std::ostream* out)
{
    *out << "(" << call.phase << ", " << call.percent << "%)";
}

struct ProgressLog {
    std::vector<ProgressCall> calls;
    // The call answered with false; -1 answers every call with true.
    int cancelAt = -1;
};

bool LogProgress(int phase, int percent, void* context)
{
    auto* log = static_cast<ProgressLog*>(context);
    log->calls.push_back({phase, percent});
    return static_cast<int>(log->calls.size()) - 1 != log->cancelAt;
}

bool HasText(const IKelvraError* chain, const char* text)
{
    for (; chain; chain = chain->GetNext()) {
        if (std::strcmp(chain->GetText(), text) == 0 || HasText(chain->GetInner(), text))
            return true;
    }
    return false;
}

IKelvraManager* const kManager = Token<IKelvraManager>(0x1000);
IKelvraDataSource* const kPicture = Token<IKelvraDataSource>(0x2000);
IKelvraTagControl* const kTags = Token<IKelvraTagControl>(0x3000);

class DustAnalysis : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_errorsBefore = IKelvraError::LiveCount();
        ASSERT_TRUE(record.SetData(reference.data(), reference.size()));
    }

    void TearDown() override
    {
        IKelvraError::Release(chain);
        EXPECT_EQ(IKelvraError::LiveCount(), m_errorsBefore);
        EXPECT_EQ(script.liveEngines, record.GetDustMap() ? 1 : 0) << "only the map stays";
    }

    TlDustAnalysisRequest Request()
    {
        TlDustAnalysisRequest request;
        request.manager = kManager;
        request.picture = kPicture;
        request.tags = kTags;
        request.plainLuminance = 1;
        request.linearPicture = 0;
        request.progress = LogProgress;
        request.context = &progress;
        request.error = &chain;
        return request;
    }

    int Analyze() { return record.Analyze(Request()); }

    // Gives the record a map, as an earlier analysis would have.
    void GiveMap()
    {
        const unsigned char stored[] = {1, 2, 3};
        ASSERT_EQ(record.CreateEngine(kManager, stored, sizeof stored), CTlDustState::kEngineCreated);
        script.calls.clear();
    }

    DustScript script;
    FakeDustFactory factory{script};
    std::vector<unsigned char> reference{0x44, 0x73, 0x74, 0x52, 0x01};
    CTlDustState record;
    ProgressLog progress;
    IKelvraError* chain = nullptr;

private:
    long m_errorsBefore = 0;
};

TEST_F(DustAnalysis, BuildsTheMapFromReferenceAndPictureAndKeepsIt)
{
    EXPECT_EQ(Analyze(), CTlDustState::kAnalyzeDone);
    EXPECT_EQ(chain, nullptr);
    const std::vector<std::string> order{"reference.made", "reference.Load", "analyzer.made", "analyzer.Begin",
                                         "analyzer.Step",  "analyzer.Step",  "map.made",      "map.Begin",
                                         "map.Step",       "map.Step"};
    EXPECT_EQ(script.calls, order);
    EXPECT_EQ(script.referenceBytes, reference);
    EXPECT_NE(script.analyzerReference, nullptr);
    EXPECT_EQ(script.analyzerTags, kTags);
    EXPECT_NE(script.mapAnalyzer, nullptr);
    EXPECT_EQ(script.mapPicture, kPicture);
    EXPECT_EQ(script.mapFlags[0], 1);
    EXPECT_EQ(script.mapFlags[1], 0);
    for (IKelvraManager* manager : script.managers)
        EXPECT_EQ(manager, kManager);
    ASSERT_NE(record.GetDustMap(), nullptr);
    EXPECT_EQ(StoredMap(record.GetDustMap()), script.builtMap);
}

TEST_F(DustAnalysis, ReportsFivePercentForTheAnalysisAndTheRestForTheMap)
{
    script.analyzerSteps = {{1, 4}, {2, 4}, {4, 4}};
    script.mapSteps = {{1, 3}, {2, 3}, {3, 3}};
    EXPECT_EQ(Analyze(), CTlDustState::kAnalyzeDone);
    const std::vector<ProgressCall> expected{{0, 0}, {1, 1}, {1, 2}, {1, 5}, {1, 36}, {1, 68}, {1, 100}, {2, 100}};
    EXPECT_EQ(progress.calls, expected);
}

TEST_F(DustAnalysis, ProgressOfATotalOfZeroOrOfLargeCountsNeitherDividesByZeroNorOverflows)
{
    script.analyzerSteps = {{0, 0}};
    script.mapSteps = {{2000000000, 2100000000}, {2100000000, 2100000000}};
    EXPECT_EQ(Analyze(), CTlDustState::kAnalyzeDone);
    const std::vector<ProgressCall> expected{{0, 0}, {1, 5}, {1, 95}, {1, 100}, {2, 100}};
    EXPECT_EQ(progress.calls, expected);
}

TEST_F(DustAnalysis, WithoutReferenceDataItAnswers5BeforeAnyCallbackAndDropsTheOldMap)
{
    GiveMap();
    record.SetDataSize(0);
    EXPECT_EQ(Analyze(), CTlDustState::kAnalyzeNoReference);
    EXPECT_TRUE(progress.calls.empty());
    EXPECT_TRUE(script.calls.empty());
    EXPECT_EQ(record.GetDustMap(), nullptr);
}

TEST_F(DustAnalysis, AMissingManagerOrPictureDescriptionAnswers2AndKeepsTheOldMap)
{
    GiveMap();
    TlDustAnalysisRequest request = Request();
    request.manager = nullptr;
    EXPECT_EQ(record.Analyze(request), CTlDustState::kAnalyzeMissingArgument);
    request = Request();
    request.tags = nullptr;
    EXPECT_EQ(record.Analyze(request), CTlDustState::kAnalyzeMissingArgument);
    EXPECT_TRUE(progress.calls.empty());
    EXPECT_NE(record.GetDustMap(), nullptr);
}

TEST_F(DustAnalysis, CancelAtTheStartBuildsNothing)
{
    progress.cancelAt = 0;
    EXPECT_EQ(Analyze(), CTlDustState::kAnalyzeCancelled);
    EXPECT_TRUE(script.calls.empty());
    EXPECT_TRUE(HasText(chain, "Cancelled"));
    const std::vector<ProgressCall> expected{{0, 0}, {2, 100}};
    EXPECT_EQ(progress.calls, expected);
}

TEST_F(DustAnalysis, CancelWhileAnalysingAbortsTheAnalyzer)
{
    progress.cancelAt = 1;
    EXPECT_EQ(Analyze(), CTlDustState::kAnalyzeCancelled);
    EXPECT_EQ(script.Count("analyzer.Abort"), 1u);
    EXPECT_EQ(script.Count("map.made"), 0u);
    EXPECT_TRUE(HasText(chain, "Cancelled"));
    EXPECT_EQ(progress.calls.back(), (ProgressCall{2, 100}));
    EXPECT_EQ(record.GetDustMap(), nullptr);
}

TEST_F(DustAnalysis, CancelWhileBuildingTheMapAbortsTheMapAndKeepsNone)
{
    progress.cancelAt = 3;
    EXPECT_EQ(Analyze(), CTlDustState::kAnalyzeCancelled);
    EXPECT_EQ(script.Count("map.Abort"), 1u);
    EXPECT_EQ(script.Count("analyzer.Abort"), 0u);
    EXPECT_TRUE(HasText(chain, "Cancelled"));
    EXPECT_EQ(progress.calls.back(), (ProgressCall{2, 100}));
    EXPECT_EQ(record.GetDustMap(), nullptr);
}

TEST_F(DustAnalysis, WithoutAnErrorOutTheChainIsReleased)
{
    progress.cancelAt = 1;
    TlDustAnalysisRequest request = Request();
    request.error = nullptr;
    EXPECT_EQ(record.Analyze(request), CTlDustState::kAnalyzeCancelled);
}

struct EngineFailure {
    const char* name;
    void (*arrange)(DustScript&);
    int result;
    // The code the chain carries.
    long code;
};

const EngineFailure kEngineFailures[] = {
    {"ReferenceUnreadable", [](DustScript& s) { s.referenceLoadError = 1003; }, CTlDustState::kAnalyzeNoReference, 1003},
    {"AnalyzerRefusesToBegin", [](DustScript& s) { s.analyzerBeginError = 1014; }, CTlDustState::kAnalyzeEngineError, 1014},
    {"AnalyzerStepFails", [](DustScript& s) { s.analyzerStepError = 1007; }, CTlDustState::kAnalyzeEngineError, 1007},
    {"MapRefusesToBegin", [](DustScript& s) { s.mapBeginError = 1013; }, CTlDustState::kAnalyzeEngineError, 1013},
    {"MapStepFails", [](DustScript& s) { s.mapStepError = 1007; }, CTlDustState::kAnalyzeEngineError, 1007},
    {"NoMemoryForTheMap", [](DustScript& s) { s.noMap = true; }, CTlDustState::kAnalyzeOutOfMemory, 1005},
    {"NoMemoryForTheReference", [](DustScript& s) { s.noReference = true; }, CTlDustState::kAnalyzeOutOfMemory, 1005},
    {"NoMemoryForTheAnalyzer", [](DustScript& s) { s.noAnalyzer = true; }, CTlDustState::kAnalyzeOutOfMemory, 1005},
};

class DustAnalysisFailure : public DustAnalysis, public ::testing::WithParamInterface<EngineFailure> {};

TEST_P(DustAnalysisFailure, AnswersItsResultWithTheErrorAndKeepsNoMap)
{
    GetParam().arrange(script);
    EXPECT_EQ(Analyze(), GetParam().result);
    ASSERT_NE(chain, nullptr);
    EXPECT_TRUE(chain->HasCode(GetParam().code));
    EXPECT_EQ(progress.calls.back(), (ProgressCall{2, 100}));
    EXPECT_EQ(record.GetDustMap(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Engines, DustAnalysisFailure, ::testing::ValuesIn(kEngineFailures),
                         [](const ::testing::TestParamInfo<EngineFailure>& info) { return std::string(info.param.name); });

TEST(DustAnalysisWithoutEngines, NoRegisteredEnginesCountsAsNoMemory)
{
    CTlDustState record;
    const unsigned char reference[] = {1};
    ASSERT_TRUE(record.SetData(reference, sizeof reference));
    TlDustAnalysisRequest request;
    request.manager = kManager;
    request.tags = kTags;
    IKelvraError* chain = nullptr;
    request.error = &chain;
    ASSERT_EQ(GetDustEngineFactory(), nullptr);
    EXPECT_EQ(record.Analyze(request), CTlDustState::kAnalyzeOutOfMemory);
    ASSERT_NE(chain, nullptr);
    EXPECT_TRUE(chain->HasCode(kKelvraOutOfMemory));
    IKelvraError::Release(chain);
}

} // namespace
