// Scripted fakes of the dust engines: each test sets what the engines
// answer and reads back what they were asked.
#pragma once

#include "settings/dust/TlDustEngineRegistry.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dust_test {

constexpr KelvraTag kFakeTag = KelvraFourCC('F', 'a', 'k', 'e');

struct StepReport {
    long done;
    long total;
};

struct DustScript {
    // Error codes the operations fail with; 0 succeeds.
    long referenceLoadError = 0;
    long analyzerBeginError = 0;
    long analyzerStepError = 0;
    long mapBeginError = 0;
    long mapStepError = 0;
    long mapStoreError = 0;
    long mapLoadError = 0;
    // Engines that cannot be made.
    bool noReference = false;
    bool noAnalyzer = false;
    bool noMap = false;
    // What each step reports; the last repeats.
    std::vector<StepReport> analyzerSteps{{1, 2}, {2, 2}};
    std::vector<StepReport> mapSteps{{1, 2}, {2, 2}};
    // The stored record of a map built by stepping.
    std::vector<unsigned char> builtMap{'D', 's', 't', 'L', 0x01, 0x02, 0x03};

    // What the engines were asked, in order: "reference.Load",
    // "analyzer.Begin", "analyzer.Step", "analyzer.Abort", "map.Begin",
    // "map.Step", "map.Abort", "map.Load", "map.Store", and "<kind>.made".
    std::vector<std::string> calls;
    std::vector<unsigned char> referenceBytes;
    IDustReference* analyzerReference = nullptr;
    IKelvraTagControl* analyzerTags = nullptr;
    IDustAnalyzer* mapAnalyzer = nullptr;
    IKelvraDataSource* mapPicture = nullptr;
    long mapFlags[2] = {0, 0};
    std::vector<IKelvraManager*> managers;
    int liveEngines = 0;

    std::size_t Count(const std::string& call) const
    {
        std::size_t n = 0;
        for (const std::string& c : calls)
            n += c == call ? 1 : 0;
        return n;
    }
};

// Stand-ins for the framework objects that the record only passes on to the
// engines; the fakes never use them.
template <typename T>
T* Token(std::uintptr_t value)
{
    return reinterpret_cast<T*>(value);
}

inline IKelvraError* FailWith(long code)
{
    return code ? IKelvraError::Add(nullptr, kFakeTag, 1, kKelvraCategoryKelvra, code) : nullptr;
}

class FakeEngine {
protected:
    explicit FakeEngine(DustScript& script) : m_script(script) { ++m_script.liveEngines; }
    ~FakeEngine() { --m_script.liveEngines; }
    IKelvraError* Log(const char* call, long error = 0)
    {
        m_script.calls.push_back(call);
        return FailWith(error);
    }
    IKelvraError* NextStep(const std::vector<StepReport>& steps, std::size_t& next, long& done, long& total)
    {
        const StepReport& report = steps[next < steps.size() ? next : steps.size() - 1];
        ++next;
        done = report.done;
        total = report.total;
        return nullptr;
    }
    DustScript& m_script;
};

class FakeReference : public IDustReference, FakeEngine {
public:
    explicit FakeReference(DustScript& script) : FakeEngine(script) {}
    IKelvraError* Load(std::size_t size, const unsigned char* bytes) override
    {
        m_script.referenceBytes.assign(bytes, bytes + size);
        return Log("reference.Load", m_script.referenceLoadError);
    }
};

class FakeAnalyzer : public IDustAnalyzer, FakeEngine {
public:
    explicit FakeAnalyzer(DustScript& script) : FakeEngine(script) {}
    IKelvraError* Begin(IDustReference* reference, IKelvraTagControl* tags) override
    {
        m_script.analyzerReference = reference;
        m_script.analyzerTags = tags;
        return Log("analyzer.Begin", m_script.analyzerBeginError);
    }
    IKelvraError* Step(long& done, long& total) override
    {
        if (IKelvraError* error = Log("analyzer.Step", m_script.analyzerStepError))
            return error;
        return NextStep(m_script.analyzerSteps, m_next, done, total);
    }
    IKelvraError* Abort() override { return Log("analyzer.Abort"); }

private:
    std::size_t m_next = 0;
};

class FakeMap : public IDustMap, FakeEngine {
public:
    explicit FakeMap(DustScript& script) : FakeEngine(script) {}
    IKelvraError* Begin(IDustAnalyzer* analyzer, IKelvraDataSource* picture, long plainLuminance,
                        long linearPicture) override
    {
        m_script.mapAnalyzer = analyzer;
        m_script.mapPicture = picture;
        m_script.mapFlags[0] = plainLuminance;
        m_script.mapFlags[1] = linearPicture;
        return Log("map.Begin", m_script.mapBeginError);
    }
    IKelvraError* Step(long& done, long& total) override
    {
        if (IKelvraError* error = Log("map.Step", m_script.mapStepError))
            return error;
        NextStep(m_script.mapSteps, m_next, done, total);
        if (done >= total)
            stored = m_script.builtMap;
        return nullptr;
    }
    IKelvraError* Abort() override { return Log("map.Abort"); }
    std::size_t GetStoredSize() const override { return stored.size(); }
    IKelvraError* Store(std::size_t capacity, unsigned char* buffer) const override
    {
        m_script.calls.push_back("map.Store");
        if (m_script.mapStoreError || capacity < stored.size())
            return FailWith(m_script.mapStoreError ? m_script.mapStoreError : 1004);
        std::copy(stored.begin(), stored.end(), buffer);
        return nullptr;
    }
    IKelvraError* Load(std::size_t size, const unsigned char* bytes) override
    {
        if (IKelvraError* error = Log("map.Load", m_script.mapLoadError))
            return error;
        stored.assign(bytes, bytes + size);
        return nullptr;
    }

    std::vector<unsigned char> stored;

private:
    std::size_t m_next = 0;
};

class FakeDustFactory : public IDustEngineFactory {
public:
    explicit FakeDustFactory(DustScript& script) : m_script(script), m_previous(SetDustEngineFactory(this)) {}
    ~FakeDustFactory() { SetDustEngineFactory(m_previous); }
    FakeDustFactory(const FakeDustFactory&) = delete;
    FakeDustFactory& operator=(const FakeDustFactory&) = delete;

    std::unique_ptr<IDustReference> CreateReference(IKelvraManager* manager) override
    {
        return Made<FakeReference, IDustReference>("reference.made", m_script.noReference, manager);
    }
    std::unique_ptr<IDustAnalyzer> CreateAnalyzer(IKelvraManager* manager) override
    {
        return Made<FakeAnalyzer, IDustAnalyzer>("analyzer.made", m_script.noAnalyzer, manager);
    }
    std::unique_ptr<IDustMap> CreateMap(IKelvraManager* manager) override
    {
        return Made<FakeMap, IDustMap>("map.made", m_script.noMap, manager);
    }

private:
    template <typename Fake, typename Interface>
    std::unique_ptr<Interface> Made(const char* call, bool missing, IKelvraManager* manager)
    {
        if (missing)
            return nullptr;
        m_script.calls.push_back(call);
        m_script.managers.push_back(manager);
        return std::make_unique<Fake>(m_script);
    }

    DustScript& m_script;
    IDustEngineFactory* m_previous;
};

// The stored record a record's map holds (empty without a map).
inline std::vector<unsigned char> StoredMap(const IDustMap* map)
{
    const auto* fake = dynamic_cast<const FakeMap*>(map);
    return fake ? fake->stored : std::vector<unsigned char>();
}

} // namespace dust_test
