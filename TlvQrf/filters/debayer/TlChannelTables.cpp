#include "filters/debayer/TlChannelTables.h"

#include "filters/debayer/TlToneTables.h"

#include <algorithm>
#include <cstring>
#include <new>

CTlChannelTables::CTlChannelTables()
{
    GetSqrtTable(); // built before any tile needs it
}

bool CTlChannelTables::IsSame(int inBits, int outBits, const std::uint16_t* const (&luts)[3]) const
{
    if (inBits != m_inBits || outBits != m_outBits)
        return false;
    const std::size_t entries = std::size_t(1) << inBits;
    for (int c = 0; c < 3; ++c) {
        if (!luts[c] != !m_luts[c])
            return false;
        if (luts[c] && std::memcmp(luts[c], m_luts[c].get(), entries * sizeof(std::uint16_t)) != 0)
            return false;
    }
    return true;
}

CTlChannelTables::Result CTlChannelTables::SetLuts(int inBits, int outBits, const std::uint16_t* const (&luts)[3])
{
    if (inBits < 0 || inBits > 16 || outBits < 0 || outBits > 16)
        return Result::BadBits;
    if (!luts[0] && !luts[1] && !luts[2])
        inBits = outBits = 0;
    std::lock_guard<CKelvraLock> guard(m_lock);
    if (IsSame(inBits, outBits, luts))
        return Result::Unchanged;
    m_ready.store(false);
    const std::size_t entries = std::size_t(1) << inBits;
    const bool reuse = inBits != 0 && outBits != 0 && inBits == m_inBits;
    std::unique_ptr<std::uint16_t[]> fresh[3];
    for (int c = 0; c < 3; ++c) {
        if (!luts[c] || (reuse && m_luts[c]))
            continue;
        fresh[c].reset(new (std::nothrow) std::uint16_t[entries]);
        if (!fresh[c])
            return Result::OutOfMemory; // what this call allocated goes with `fresh`
    }
    for (int c = 0; c < 3; ++c) {
        if (!luts[c])
            m_luts[c].reset();
        else if (fresh[c])
            m_luts[c] = std::move(fresh[c]);
    }
    m_inBits = inBits;
    m_outBits = outBits;
    if (inBits != 0 && outBits != 0) {
        for (int c = 0; c < 3; ++c) {
            if (!luts[c])
                continue;
            std::memcpy(m_luts[c].get(), luts[c], entries * sizeof(std::uint16_t));
            if (m_state[c] == kBuilt)
                m_state[c] = kStale;
        }
    }
    return Result::Changed;
}

// Raw sample j goes through the channel's table (interpolated between its
// entries) and then through the square-root table (interpolated too).
void CTlChannelTables::Build(int channel)
{
    const std::int32_t* sqrtTable = GetSqrtTable();
    const std::uint16_t* lut = m_luts[channel].get();
    std::int32_t* out = m_own[channel].get();
    const std::int32_t lutMax = (std::int32_t(1) << m_inBits) - 1;
    const std::int32_t outMax = (std::int32_t(1) << m_outBits) - 1;
    // In floating point: as an integer quotient 4095 / outMax is 0 for
    // tables of more than 12 bits, and the image would be black.
    const double toTwelveBits = 4095.0 / double(outMax);
    auto lutValue = [&](std::int32_t k) { return double(std::min<std::int32_t>(lut[k], outMax)); };
    for (std::int32_t j = 0; j < kTlSqrtEntries; ++j) {
        const double x = lutMax * (1.0 / 4095) * j;
        const std::int32_t k = std::min(std::int32_t(x), lutMax);
        double value = lutValue(k);
        if (k < lutMax)
            value += (lutValue(k + 1) - lutValue(k)) * (x - k);
        const double y = std::min(toTwelveBits * value, 4095.0);
        const std::int32_t m = std::int32_t(y);
        std::int32_t t = sqrtTable[m];
        if (m < 4095)
            t = std::int32_t((y - m) * (sqrtTable[m + 1] - sqrtTable[m]) + sqrtTable[m]);
        out[j] = t;
    }
    m_state[channel] = kBuilt;
}

bool CTlChannelTables::Prepare(const std::int32_t* (&tables)[3])
{
    if (m_ready.load(std::memory_order_acquire)) {
        std::copy(std::begin(m_prepared), std::end(m_prepared), std::begin(tables));
        return true;
    }
    std::lock_guard<CKelvraLock> guard(m_lock);
    const bool haveLuts = m_inBits != 0 && m_outBits != 0;
    std::unique_ptr<std::int32_t[]> fresh[3];
    for (int c = 0; c < 3; ++c) {
        if (haveLuts && m_luts[c] && !m_own[c]) {
            fresh[c].reset(new (std::nothrow) std::int32_t[kTlSqrtEntries]);
            if (!fresh[c])
                return false;
        }
    }
    for (int c = 0; c < 3; ++c) {
        if (haveLuts && m_luts[c]) {
            if (fresh[c])
                m_own[c] = std::move(fresh[c]);
            if (m_state[c] != kBuilt)
                Build(c);
        } else if (m_state[c] != kShared || m_own[c]) {
            m_own[c].reset();
            m_state[c] = kShared;
        }
        tables[c] = m_prepared[c] = m_state[c] == kBuilt ? m_own[c].get() : GetSqrtTable();
    }
    m_ready.store(true, std::memory_order_release);
    return true;
}
