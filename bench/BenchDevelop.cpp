#include "BenchDevelop.h"

#include "fullres/TlFullResState.h"
#include "fullres/TlProcessingChain.h"
#include "filtrix/VentraChrono.h"
#include "kelvra/KelvraFilterChain.h"
#include "params/TlvParamSet.h"

#include <cstdint>
#include <cstdio>

namespace {

constexpr std::uint32_t kEightBitColour = 0;

} // namespace

bool DevelopInMemory(IKelvraManager* manager, CTlvParamSet& params, SDevelopTimes* times)
{
    CVentraChrono chrono;
    ReleaseFullResState();
    FullResState().channelLayout = kEightBitColour;
    params.ReadImageTags();
    const int built = BuildProcessingChain(manager, params, false, 1.0, 0);
    STlFullResState& state = FullResState();
    if (built != kTlChainComplete || state.chain == nullptr || state.destination == nullptr) {
        std::printf("the development chain could not be built (%d)\n", built);
        return false;
    }
    const double builtAt = chrono.Elapsed();
    IKelvraDataSource* sources[] = {params.image};
    void* handle = nullptr;
    IKelvraError* error = state.chain->BeginProcess(&handle, sources, 1, state.destination);
    long done = 0, total = 1;
    while (error == nullptr && total != 0)
        error = state.chain->ExecuteProcess(handle, &done, &total);
    if (handle != nullptr)
        IKelvraError::Release(state.chain->EndProcess(handle));
    if (error != nullptr) {
        const IKelvraError* cause = error->FindCause();
        std::printf("the development failed (code %ld)\n", cause ? cause->GetCode() : error->GetCode());
    }
    if (times) {
        times->build = builtAt;
        times->run = chrono.Elapsed() - builtAt;
    }
    const bool ok = error == nullptr;
    IKelvraError::Release(error);
    ReleaseFullResState();
    return ok;
}
