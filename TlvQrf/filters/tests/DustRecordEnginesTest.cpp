// The dust record on the library's own engines: what its analysis reports
// and keeps, its copies and stored maps, and every way an analysis or a
// stored map is refused or cancelled.
#include "DustTestSupport.h"
#include "FilterRigs.h"
#include "PixelFilterTestSupport.h"

#include "dustsynth/DustSynth.h"
#include "filters/dust/TlDustEngineFactory.h"
#include "settings/dust/TlDustEngineRegistry.h"
#include "settings/dust/TlDustState.h"

#include <string>

using namespace dust_test;

namespace {

struct ProgressLog {
    std::vector<std::pair<int, int>> calls;
    int cancelAt = -1; // the call answered with false
};

bool LogProgress(int phase, int percent, void* context)
{
    auto* log = static_cast<ProgressLog*>(context);
    log->calls.push_back({phase, percent});
    return int(log->calls.size()) - 1 != log->cancelAt;
}

Bytes StoredMap(const IDustMap* map)
{
    Bytes stored(map->GetStoredSize());
    ExpectOk(map->Store(stored.size(), stored.data()));
    return stored;
}

// A record, a picture and its tags on the library's engines.
class DustRecordEngines : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previous = SetDustEngineFactory(GetLibraryDustEngines());
        picture = pixel_test::MakeImageOf(holder.manager, scene.width, scene.height, kKelvraRGB8,
                                          dust_synth::PictureSamples(scene, true, [](double light) {
                                              return unsigned(light * 200.0);
                                          }));
        PutPictureTags(tags, 1025, 11, 50);
    }
    void TearDown() override
    {
        IKelvraError::Release(chain);
        picture->Release();
        SetDustEngineFactory(m_previous);
    }

    int Analyze(CTlDustState& record, const Bytes& reference, IKelvraDataSource* source = nullptr)
    {
        EXPECT_TRUE(record.SetData(reference.data(), reference.size()));
        TlDustAnalysisRequest request;
        request.manager = holder.manager;
        request.picture = source ? source : picture;
        request.tags = tags.tags;
        request.progress = LogProgress;
        request.context = &progress;
        IKelvraError::Release(chain);
        chain = nullptr;
        request.error = &chain;
        return record.Analyze(request);
    }

    ManagerHolder holder;
    const dust_synth::Scene scene = dust_synth::GridScene(200, 150, 50, 2.5);
    const Bytes reference = dust_synth::ReferenceRecord(scene, {});
    IKelvraImage* picture = nullptr;
    TagsHolder tags;
    ProgressLog progress;
    IKelvraError* chain = nullptr;

private:
    IDustEngineFactory* m_previous = nullptr;
};

TEST_F(DustRecordEngines, AnalysisReportsRisingProgressAndKeepsAMapThatCopiesAndRestores)
{
    CTlDustState record;
    ASSERT_EQ(Analyze(record, reference), CTlDustState::kAnalyzeDone);
    EXPECT_EQ(chain, nullptr);
    ASSERT_GE(progress.calls.size(), 4u);
    EXPECT_EQ(progress.calls.front(), std::make_pair(0, 0));
    EXPECT_EQ(progress.calls.back(), std::make_pair(2, 100));
    for (std::size_t i = 1; i < progress.calls.size(); ++i)
        EXPECT_LE(progress.calls[i - 1].second, progress.calls[i].second) << "call " << i;
    ASSERT_NE(record.GetDustMap(), nullptr);
    ASSERT_NE(record.GetDustMap()->GetCorrectionMask(), nullptr);
    const Bytes stored = StoredMap(record.GetDustMap());

    CTlDustState copy(record);
    ASSERT_NE(copy.GetDustMap(), nullptr);
    EXPECT_NE(copy.GetDustMap(), record.GetDustMap());
    EXPECT_EQ(StoredMap(copy.GetDustMap()), stored);

    CTlDustState restored;
    ASSERT_EQ(restored.CreateEngine(holder.manager, stored.data(), stored.size()), CTlDustState::kEngineCreated);
    EXPECT_EQ(StoredMap(restored.GetDustMap()), stored);
    EXPECT_EQ(ReadAllSamples(restored.GetDustMap()->GetCorrectionMask()),
              ReadAllSamples(record.GetDustMap()->GetCorrectionMask()));

    record.Reset();
    EXPECT_EQ(record.GetDustMap(), nullptr);
    EXPECT_EQ(KelvraDestinationCount(picture), 0) << "the engines let go of the picture";
}

TEST_F(DustRecordEngines, RefusedAnalysesAnswerTheirResultAndKeepNoMap)
{
    dust_synth::ReferenceValues otherCamera;
    otherCamera.curveId = 1026;
    const Bytes grey(std::size_t(scene.width * scene.height), 100);
    IKelvraImage* greyPicture = pixel_test::MakeImageOf(holder.manager, scene.width, scene.height, kKelvraGrey8,
                                                        std::vector<unsigned>(grey.begin(), grey.end()));
    const struct {
        const char* name;
        Bytes reference;
        IKelvraDataSource* picture;
        int result;
        long code;
    } cases[] = {
        {"NotAReference", Bytes{'D', 's', 't', 'X', 0, 0, 0, 0}, nullptr, CTlDustState::kAnalyzeNoReference, 1003},
        {"TruncatedReference", Bytes(reference.begin(), reference.end() - 20), nullptr,
         CTlDustState::kAnalyzeNoReference, 1003},
        {"ReferenceOfAnotherCamera", dust_synth::ReferenceRecord(scene, otherCamera), nullptr,
         CTlDustState::kAnalyzeEngineError, 1014},
        {"GreyPicture", reference, greyPicture, CTlDustState::kAnalyzeEngineError, 1013},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTlDustState record;
        EXPECT_EQ(Analyze(record, c.reference, c.picture), c.result);
        ASSERT_NE(chain, nullptr);
        EXPECT_TRUE(chain->HasCode(c.code));
        EXPECT_EQ(record.GetDustMap(), nullptr);
        EXPECT_EQ(progress.calls.back(), std::make_pair(2, 100));
    }
    EXPECT_EQ(KelvraDestinationCount(greyPicture), 0);
    greyPicture->Release();
}

TEST_F(DustRecordEngines, CancellingAtAnyCallLeavesNoMap)
{
    CTlDustState whole;
    ASSERT_EQ(Analyze(whole, reference), CTlDustState::kAnalyzeDone);
    const int calls = int(progress.calls.size()) - 1; // the last call only reports the end
    for (int at = 0; at < calls; ++at) {
        SCOPED_TRACE("cancelled at call " + std::to_string(at));
        progress = ProgressLog();
        progress.cancelAt = at;
        CTlDustState record;
        EXPECT_EQ(Analyze(record, reference), CTlDustState::kAnalyzeCancelled);
        EXPECT_EQ(record.GetDustMap(), nullptr);
        EXPECT_EQ(progress.calls.back(), std::make_pair(2, 100));
        EXPECT_EQ(KelvraDestinationCount(picture), 0);
    }
}

TEST_F(DustRecordEngines, StoredMapsThatDoNotReadAreRefused)
{
    CTlDustState analysed;
    ASSERT_EQ(Analyze(analysed, reference), CTlDustState::kAnalyzeDone);
    const Bytes stored = StoredMap(analysed.GetDustMap());
    const struct {
        const char* name;
        Bytes bytes;
        int result;
    } cases[] = {
        {"Whole", stored, CTlDustState::kEngineCreated},
        {"CutShort", Bytes(stored.begin(), stored.end() - 1), CTlDustState::kEngineUnreadable},
        {"WrongMagic", WithWord(stored, 0, 0x4C747344u ^ 0xFF), CTlDustState::kEngineUnreadable},
        {"TableTooShort", WithWord(stored, 24, 65791), CTlDustState::kEngineUnreadable},
        {"MaskOfTheWrongSize", WithWord(stored, 12, 201), CTlDustState::kEngineUnreadable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTlDustState record;
        EXPECT_EQ(record.CreateEngine(holder.manager, c.bytes.data(), c.bytes.size()), c.result);
        EXPECT_EQ(record.GetDustMap() != nullptr, c.result == CTlDustState::kEngineCreated);
    }
}

} // namespace
