// Small filters for the tests of the filter base: real tile workers over
// 8- and 16-bit samples, so that pixels really flow through chains.
#pragma once

#include "filtrix/KelvraFilterBase.h"

#include <atomic>

// out = min(max, in * numerator / denominator), per sample.
class GainFilter : public CKelvraFilterBase {
public:
    // cacheMode 0 makes a filter that reads its whole input at once.
    explicit GainFilter(IKelvraManager* manager, int numerator = 2, int denominator = 1, long cacheMode = 1)
        : CKelvraFilterBase(manager, cacheMode), m_numerator(numerator), m_denominator(denominator)
    {
    }

    KelvraTag GetFilterTag() const override { return KelvraFourCC('G', 'a', 'i', 'n'); }
    const char* GetFilterName() const override { return "Gain"; }

    // The setter pattern every filter follows.
    IKelvraError* SetGain(int numerator, bool notify)
    {
        if (numerator == m_numerator)
            return nullptr;
        m_numerator = numerator;
        m_stale = true;
        return NotifyChanged(notify);
    }
    void SetBypass(bool bypass) { m_bypass = bypass; }
    bool IsStale() const { return m_stale; }

    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

    std::atomic<int> tilesMade{0};
    // The source the last tile made in a process run read from.
    std::atomic<IKelvraDataSource*> lastRunSource{nullptr};
    std::atomic<bool> lastRunReadImage{false};

private:
    int m_numerator;
    int m_denominator;
};

// out = max - in, per sample.
class InvertFilter : public CKelvraFilterBase {
public:
    explicit InvertFilter(IKelvraManager* manager) : CKelvraFilterBase(manager, 1) {}
    KelvraTag GetFilterTag() const override { return KelvraFourCC('I', 'n', 'v', 't'); }
    const char* GetFilterName() const override { return "Invert"; }
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;
};

// Reference of what the two do to one sample.
unsigned GainSample(unsigned value, unsigned max, int numerator, int denominator);
unsigned InvertSample(unsigned value, unsigned max);
