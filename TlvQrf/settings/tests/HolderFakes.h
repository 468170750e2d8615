// Recording fakes of what the settings holders ask of the library core:
// the object registry, the parameter-set maker and the control's engine,
// registered for the life of a FakeCore.
#pragma once

#include "settings/holders/TlvCoreHooks.h"

#include <map>
#include <new>
#include <string>
#include <vector>

namespace holder_test {

// Stand-ins for image objects: the holders only pass them on.
inline IKelvraImage* FakeImage(int n)
{
    static unsigned char tokens[8];
    return reinterpret_cast<IKelvraImage*>(&tokens[n]);
}

inline IKelvraTagControl* FakeTags()
{
    static unsigned char token;
    return reinterpret_cast<IKelvraTagControl*>(&token);
}

inline CTlvParamSet* FakeParamSet(TlvParamSetKind kind)
{
    static unsigned char tokens[2];
    return reinterpret_cast<CTlvParamSet*>(&tokens[kind == TlvParamSetKind::kPlain ? 0 : 1]);
}

struct Release {
    const void* object;
    std::string temporaryFile; // "" when none was given
    bool owned;
};

class FakeEngine : public ITlvSettingsEngine {
public:
    explicit FakeEngine(std::vector<std::string>& log) : m_log(log) {}
    ~FakeEngine() override { m_log.push_back("engine deleted"); }
    void Shutdown() override { m_log.push_back("engine shut down"); }

private:
    std::vector<std::string>& m_log;
};

class FakeCore : public ITlvParamSetMaker, public ITlvObjectRegistry, public ITlvEngineMaker {
public:
    FakeCore() : m_previous(SetTlvCoreHooks({this, this, this})) {}
    ~FakeCore() { SetTlvCoreHooks(m_previous); }
    FakeCore(const FakeCore&) = delete;
    FakeCore& operator=(const FakeCore&) = delete;

    CTlvParamSet* MakeParamSet(CTlvSettingsHolder& holder, TlvParamSetKind kind) override
    {
        paramSetRequests.push_back({&holder, kind});
        if (paramSetsThrow)
            throw std::bad_alloc();
        return FakeParamSet(kind);
    }

    long ReleaseImage(IKelvraImage* image, const char* temporaryFile, bool owned) override
    {
        releases.push_back({image, temporaryFile ? temporaryFile : "", owned});
        log.push_back("release image");
        return Drop(image, temporaryFile, owned);
    }

    long ReleaseObject(IKelvraTagControl* object, bool owned) override
    {
        releases.push_back({object, "", owned});
        log.push_back("release tags");
        return Drop(object, nullptr, owned);
    }

    ITlvSettingsEngine* MakeEngine() override
    {
        if (enginesThrow)
            throw std::bad_alloc();
        ++enginesMade;
        return new FakeEngine(log);
    }

    struct ParamSetRequest {
        CTlvSettingsHolder* holder;
        TlvParamSetKind kind;
    };

    // Uses of each registered object; an object not listed is not
    // registered. The last use of an owned image deletes its file.
    std::map<const void*, long> uses;
    std::vector<Release> releases;
    std::vector<std::string> deletedFiles;
    std::vector<std::string> log;
    std::vector<ParamSetRequest> paramSetRequests;
    bool paramSetsThrow = false;
    bool enginesThrow = false;
    int enginesMade = 0;

private:
    long Drop(const void* object, const char* temporaryFile, bool owned)
    {
        const auto found = uses.find(object);
        if (found == uses.end())
            return 0;
        if (--found->second > 0)
            return found->second;
        uses.erase(found);
        if (owned && temporaryFile != nullptr)
            deletedFiles.push_back(temporaryFile);
        return 0;
    }

    TlvCoreHooks m_previous;
};

} // namespace holder_test
