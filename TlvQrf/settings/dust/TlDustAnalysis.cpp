// The dust analysis: the reference data is read, adapted to the picture by
// the analyzer and turned into the picture's dust map, in steps that report
// progress and can be cancelled. The analysis takes 5 % of the progress, the
// map the other 95 %.
#include "settings/dust/TlDustState.h"

#include "settings/dust/TlDustEngineRegistry.h"

#include <cstdint>
#include <utility>

namespace {
constexpr KelvraTag kDustTag = KelvraFourCC('d', 'u', 's', 't');
constexpr int kStartPhase = 0;
constexpr int kWorkPhase = 1;
constexpr int kEndPhase = 2;
constexpr int kAnalyzerShare = 5;
constexpr int kMapShare = 95;

// `from` plus `done` out of `total` of `share` percent. A total of 0 (or
// done past it) counts as complete, so nothing divides by 0.
int Percent(long done, long total, int from, int share)
{
    if (total <= 0 || done >= total)
        return from + share;
    if (done <= 0)
        return from;
    return from + static_cast<int>(std::int64_t(done) * share / total);
}

class CDustAnalysisRun {
public:
    explicit CDustAnalysisRun(const TlDustAnalysisRequest& request) : m_request(request) {}
    CDustAnalysisRun(const CDustAnalysisRun&) = delete;
    CDustAnalysisRun& operator=(const CDustAnalysisRun&) = delete;

    // Reports the end and hands the error chain over.
    ~CDustAnalysisRun()
    {
        Report(kEndPhase, 100);
        if (m_request.error)
            *m_request.error = m_chain;
        else
            IKelvraError::Release(m_chain);
    }

    bool Report(int phase, int percent) const
    {
        return m_request.progress == nullptr || m_request.progress(phase, percent, m_request.context);
    }

    int Fail(int result, IKelvraError* inner, long line)
    {
        m_chain = IKelvraError::AddWorker(m_chain, kDustTag, line, inner);
        return result;
    }

    int OutOfMemory(long line)
    {
        m_chain = IKelvraError::Add(m_chain, kDustTag, line, kKelvraCategoryKelvra, kKelvraOutOfMemory);
        return CTlDustState::kAnalyzeOutOfMemory;
    }

    int Cancel(long line)
    {
        m_chain = IKelvraError::Add(m_chain, kDustTag, line, "Cancelled");
        return CTlDustState::kAnalyzeCancelled;
    }

    // Steps `engine` until done reaches total, reporting its share.
    template <typename Engine>
    int StepToEnd(Engine& engine, int from, int share)
    {
        long done = 0;
        long total = 0;
        do {
            if (IKelvraError* error = engine.Step(done, total))
                return Fail(CTlDustState::kAnalyzeEngineError, error, __LINE__);
            if (!Report(kWorkPhase, Percent(done, total, from, share))) {
                Fail(CTlDustState::kAnalyzeCancelled, engine.Abort(), __LINE__);
                return Cancel(__LINE__);
            }
        } while (done < total);
        return CTlDustState::kAnalyzeDone;
    }

private:
    const TlDustAnalysisRequest& m_request;
    IKelvraError* m_chain = nullptr;
};

// The engines of one analysis; the map is released before the analyzer it
// was begun with, and the analyzer before its reference.
struct DustEngines {
    std::unique_ptr<IDustReference> reference;
    std::unique_ptr<IDustAnalyzer> analyzer;
    std::unique_ptr<IDustMap> map;
};

int BuildMap(CDustAnalysisRun& run, const TlDustAnalysisRequest& request, const CTlBlob& data,
             IDustEngineFactory& factory, DustEngines& engines)
{
    engines.reference = factory.CreateReference(request.manager);
    if (!engines.reference)
        return run.OutOfMemory(__LINE__);
    if (IKelvraError* error = engines.reference->Load(data.Count(), data.Data()))
        return run.Fail(CTlDustState::kAnalyzeNoReference, error, __LINE__);

    engines.analyzer = factory.CreateAnalyzer(request.manager);
    if (!engines.analyzer)
        return run.OutOfMemory(__LINE__);
    if (IKelvraError* error = engines.analyzer->Begin(engines.reference.get(), request.tags))
        return run.Fail(CTlDustState::kAnalyzeEngineError, error, __LINE__);
    if (const int result = run.StepToEnd(*engines.analyzer, 0, kAnalyzerShare))
        return result;

    engines.map = factory.CreateMap(request.manager);
    if (!engines.map)
        return run.OutOfMemory(__LINE__);
    if (IKelvraError* error = engines.map->Begin(engines.analyzer.get(), request.picture, request.plainLuminance,
                                                 request.linearPicture))
        return run.Fail(CTlDustState::kAnalyzeEngineError, error, __LINE__);
    return run.StepToEnd(*engines.map, kAnalyzerShare, kMapShare);
}
} // namespace

int CTlDustState::Analyze(const TlDustAnalysisRequest& request)
{
    if (request.error)
        *request.error = nullptr;
    if (request.manager == nullptr || request.tags == nullptr)
        return kAnalyzeMissingArgument;
    TakeMap(nullptr, nullptr);
    if (!m_data.HasData())
        return kAnalyzeNoReference;

    DustEngines engines;
    CDustAnalysisRun run(request);
    if (!run.Report(kStartPhase, 0))
        return run.Cancel(__LINE__);
    IDustEngineFactory* factory = GetDustEngineFactory();
    if (factory == nullptr)
        return run.OutOfMemory(__LINE__);
    const int result = BuildMap(run, request, m_data, *factory, engines);
    if (result == kAnalyzeDone)
        TakeMap(std::move(engines.map), request.manager);
    return result;
}
