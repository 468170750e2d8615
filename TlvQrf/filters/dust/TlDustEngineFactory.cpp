#include "filters/dust/TlDustEngineFactory.h"

#include "filters/dust/TlDustAnalyzer.h"
#include "filters/dust/TlDustMap.h"
#include "filters/dust/TlDustReference.h"

#include <new>

namespace {
class CDustEngineFactory : public IDustEngineFactory {
public:
    std::unique_ptr<IDustReference> CreateReference(IKelvraManager* manager) override
    {
        return std::unique_ptr<IDustReference>(new (std::nothrow) CDustReference(manager));
    }
    std::unique_ptr<IDustAnalyzer> CreateAnalyzer(IKelvraManager* manager) override
    {
        return std::unique_ptr<IDustAnalyzer>(new (std::nothrow) CDustAnalyzer(manager));
    }
    std::unique_ptr<IDustMap> CreateMap(IKelvraManager* manager) override
    {
        return std::unique_ptr<IDustMap>(new (std::nothrow) CDustMap(manager));
    }
};
} // namespace

IDustEngineFactory* GetLibraryDustEngines()
{
    static CDustEngineFactory factory;
    return &factory;
}
