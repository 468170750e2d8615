// The three channel look-up tables of a demosaicing filter (white balance
// in the raw domain) and the per-channel tone tables made from them: each
// maps a 12-bit raw sample through its channel's table and then into the
// 18-bit square-root domain. A channel without a table uses the shared
// square-root table.
#pragma once

#include "kelvra/KelvraLock.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

class CTlChannelTables {
public:
    enum class Result { Unchanged, Changed, BadBits, OutOfMemory };

    CTlChannelTables();

    // Each table is null or 2^inBits values of outBits bits; both bit
    // counts are 0..16. All three null clears them (both counts become 0).
    Result SetLuts(int inBits, int outBits, const std::uint16_t* const (&luts)[3]);

    // Builds the tone tables that are missing or stale and drops those of
    // channels whose table went away; answers the three tables to use
    // (4096 entries each), or false when memory ran out. Tiles are made on
    // several threads at once: once built, the tables are answered without
    // taking the lock, which every tile would otherwise wait for.
    bool Prepare(const std::int32_t* (&tables)[3]);

    int InBits() const { return m_inBits; }
    int OutBits() const { return m_outBits; }
    const std::uint16_t* Lut(int channel) const { return m_luts[channel].get(); }

private:
    enum State { kShared = 0, kBuilt = 1, kStale = 2 };

    bool IsSame(int inBits, int outBits, const std::uint16_t* const (&luts)[3]) const;
    void Build(int channel);

    int m_inBits = 0;
    int m_outBits = 0;
    std::unique_ptr<std::uint16_t[]> m_luts[3];
    int m_state[3] = {kShared, kShared, kShared};
    std::unique_ptr<std::int32_t[]> m_own[3];
    const std::int32_t* m_prepared[3] = {};
    std::atomic<bool> m_ready{false}; // m_prepared answers until the tables change
    CKelvraLock m_lock;
};
