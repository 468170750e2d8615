// The stretch the auto-brightness tile worker applies: the two levels it
// maps onto black and white, found from the filter's levels and exposure
// compensation, and the mappings of 8- and 16-bit samples between them.
// Made once per tile and read-only afterwards, so tiles made at the same
// time share nothing.
#pragma once

#include <cstdint>

struct TlStretchSettings {
    long low;             // combined black level, or 0 when it is not used; -1 unset
    long high;            // combined white level; -1 unset
    bool applyLevels;     // the white level is applied, the exposure is not
    long exposure;        // 1/256 EV
};

class CTlBrightnessStretch {
public:
    explicit CTlBrightnessStretch(const TlStretchSettings& settings);

    long Low() const { return m_low; }
    long High() const { return m_high; }

    std::uint8_t Map(std::uint8_t sample) const { return m_table[sample]; }
    std::uint16_t Map(std::uint16_t sample) const
    {
        if (sample <= m_low)
            return 0;
        if (sample > m_high)
            return 65535;
        return std::uint16_t((std::uint32_t(sample - m_low) * m_scale) >> 16);
    }

private:
    long m_low;
    long m_high;
    std::uint32_t m_scale; // 0xFFFF0000 / (high - low)
    std::uint8_t m_table[256];
};
