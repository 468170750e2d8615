// The colour filter: converts its source's pixels through a colour engine
// (CKelvraFilterCMLEngine), with optional per-channel look-up tables on
// either side of the conversion. It holds its engine through a
// TReferencedObjectPointer, so an engine manager's cache never destroys an
// engine that a filter still uses.
//
// Output: the pixel format of the engine's destination profile (RGB, grey,
// CMYK, Lab 0x10060204, LCh 0x?60203) at the output side's bits per
// component. Without an engine nothing is converted: the output has the
// source's colour space at the output side's depth, and only the tables act.
#pragma once

#include "filtrix/KelvraFilterBase.h"
#include "filtrix/KelvraFilterCMLEngine.h"
#include "kelvra/KelvraLock.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

class CKelvraFilterCML : public CKelvraFilterBase {
public:
    static constexpr long kMaxTableChannels = 4;

    explicit CKelvraFilterCML(IKelvraManager* manager);
    ~CKelvraFilterCML() override;

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;

    // The engine, or null. Setting one registers the filter's reference on
    // it and leaves the old one.
    CKelvraFilterCMLEngine* GetCMLEngine() const;
    IKelvraError* SetCMLEngine(CKelvraFilterCMLEngine* engine, bool notify);

    // Bits per component of the input side (false) or the output side
    // (true): 8 or 16, 16 at first. Pixels are read as the source delivers
    // them; the input side's value is what the chain declares.
    long GetBitsPerComponent(bool outputSide) const;
    IKelvraError* SetBitsPerComponent(bool outputSide, long bits, bool notify);

    // Installs per-channel tables on the input side (before the conversion,
    // `outputSide` false) or the output side (after it). `enabled` false
    // keeps the tables without applying them. tables[c] (c < channels,
    // at most 4; a null one leaves channel c alone) holds 2^inputBits
    // entries of outputBits-bit values; the filter copies them. A sample
    // indexes its table by its top inputBits bits (a narrower sample is
    // scaled up), and the value found is scaled to the sample's depth.
    // No tables (null or 0 channels) clears that side.
    IKelvraError* SetLUT(bool outputSide, bool enabled, const std::uint16_t* const* tables, long inputBits,
                         long outputBits, long channels, bool notify);
    // About one side's tables (a null output is skipped): whether they are
    // applied, the input bits of channel `channel`'s table (0 when it has
    // none) and how many channel tables act on the pixels (0 when the side
    // has none or they are not applied). 1008 for a channel outside 0..3.
    IKelvraError* GetLUTInfo(bool outputSide, long channel, bool* enabled, long* inputBits, long* count) const;

    IKelvraError* GetFilteredColorSpace(IKelvraDataSource* const* sources, long count,
                                        KelvraPixelFormat* format) override;
    // Also drops the cached tiles when the engine's settings changed.
    IKelvraError* CheckCache() override;
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

    struct CTables; // one side's tables, in the sources
    struct CSettings;

private:
    CSettings TakeSettings() const;
    IKelvraError* OutputFormat(const CSettings& settings, KelvraPixelFormat sourceFormat,
                               KelvraPixelFormat* format) const;
    KelvraPixelFormat CurrentOutputFormat();
    // After a setting changed: the tiles are stale; destinations hear of a
    // new pixel format (code 2) and of new pixels (code 0) when `notify`.
    IKelvraError* SettingChanged(KelvraPixelFormat formatBefore, bool notify);

    mutable CKelvraLock m_settingsLock;
    CKelvraFilterCMLEngine::CReference m_engine;
    long m_bits[2] = {16, 16};
    std::shared_ptr<const CTables> m_tables[2];
    std::atomic<unsigned long> m_seenGeneration{0};
};
