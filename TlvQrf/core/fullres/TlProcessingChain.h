// Builds the chain that develops a whole source image for a save: one stage
// per setting that asks for work, in a fixed order, into FullResState().
// The build only makes, sets up and connects filters; it processes nothing.
#pragma once

class CTlvParamSet;
class IKelvraError;
class IKelvraManager;

// Build results.
enum : int {
    kTlChainComplete = 0,
    kTlChainError = 1,             // an error without a code of its own
    kTlChainCannotAllocate = 3,    // chain, image or a filter
    kTlChainNoFixedSize = 9,       // the saver could not give the output size
    kTlChainNoSourceFormat = 10,   // or the source size is unknown
    kTlChainCannotConfigure = 12,  // a filter could not be set up or appended
    kTlChainColourFailed = 20,     // no engine, engine or bits refused, tone table
    kTlChainDustFailed = 21,
    kTlChainLensFailed = 22,
    kTlChainLensUnknown = 23,
};

// `reducedMode` makes a small rendition whose longer side is `longSide`;
// `scale` multiplies every size and radius (1.0 for an export). Stages
// come from `manager`; the state must have been released before. A failed
// build leaves in `failure`, when given, the chain of its first failure:
// the stage it failed at, with that filter's error inside (the caller
// releases it); null when nothing failed.
int BuildProcessingChain(IKelvraManager* manager, const CTlvParamSet& params, bool reducedMode, double scale,
                         long longSide, IKelvraError** failure = nullptr);

// Whether the chain built for `params` converts to the output profile at its
// end: the settings ask for it, or the data would otherwise stay in Lab,
// LCh or the camera's raw tones. The profile a save embeds follows it.
bool EndsInOutputProfile(const CTlvParamSet& params, bool reducedMode);
