// Shows clipped highlights or clipped shadows as a black-and-white map:
// every sample beyond the level turns white, every sample short of it black.
#pragma once

#include "filters/frame/TlFilter.h"

#include <cstdint>

class CShowLostDetailFilter : public CTlFilter {
public:
    static constexpr std::uint8_t kHighlights = 255;
    static constexpr std::uint8_t kShadows = 0;

    explicit CShowLostDetailFilter(IKelvraManager* manager);

    KelvraTag GetFilterTag() const override { return TlFilterId("Thre"); }
    const char* GetFilterName() const override { return "Show Lost Detail"; }
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

    IKelvraError* ShowHighlights(bool notify) { return SetLevel(kHighlights, notify); }
    IKelvraError* ShowShadows(bool notify) { return SetLevel(kShadows, notify); }
    // On the 8-bit scale: kHighlights or kShadows.
    std::uint8_t GetLevel() const { return m_level; }

private:
    IKelvraError* SetLevel(std::uint8_t level, bool notify) { return ApplySetting(m_level, level, notify); }
    IKelvraError* MapSourceTile(const CTlTileTarget& target, const CTlSourceTile& from) const;

    std::uint8_t m_level = kHighlights;
};
