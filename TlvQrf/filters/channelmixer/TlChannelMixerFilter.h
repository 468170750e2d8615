// Replaces every channel of a pixel by one weighted sum of its channels; its
// fixed weights turn colour into grey that keeps its three channels.
#pragma once

#include "filters/channelmixer/TlChannelMix.h"
#include "filters/frame/TlFilter.h"

class CChannelMixerFilter : public CTlFilter {
public:
    explicit CChannelMixerFilter(IKelvraManager* manager);

    KelvraTag GetFilterTag() const override { return TlFilterId("Mixr"); }
    const char* GetFilterName() const override { return "Channel Mixer"; }
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

private:
    IKelvraError* MixSourceTile(const CTlTileTarget& target, const CTlSourceTile& from) const;

    const TlMixWeights m_weights{{0.299, 0.587, 0.114, 0.0}};
    const int m_channelCount = 3; // the sources it accepts
};
