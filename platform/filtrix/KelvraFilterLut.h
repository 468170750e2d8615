// The look-up-table filter ('LUT '): every sample goes through a table.
//
// Tables hold unsigned 16-bit entries of `outBits` significant bits and
// have 2^inBits entries. They need not match the sample depth:
// - a table narrower than the samples reads the sample's top bits (a 12-bit
//   table on 16-bit data reads entry sample >> 4);
// - a wider table reads the sample spread over its range (a 16-bit table on
//   8-bit data reads entry sample x 257).
// The output pixel format follows outBits: tables of at most 8 output bits
// make 8-bit samples, wider ones 16-bit samples (entries of other widths
// are rescaled to 8 or 16 bits, rounding); planes and colour model stay.
// One table serves every channel; with more, table i serves channel i and
// channels beyond the last table keep their values. Grey, RGB, LCh, Lab
// and CMYK data of 8 or 16 bits; any other format fails with 1010.
#pragma once

#include "filtrix/KelvraFilterBase.h"
#include "kelvra/KelvraLock.h"

#include <cstdint>
#include <memory>
#include <mutex>

struct LutTables;
struct LutPlan;

class CKelvraFilterLut : public CKelvraFilterBase {
public:
    static constexpr KelvraTag kTag = KelvraFourCC('L', 'U', 'T', ' ');
    static constexpr long kMaxTables = 4;

    explicit CKelvraFilterLut(IKelvraManager* manager);
    ~CKelvraFilterLut() override;

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;

    // Copies `count` tables (1 to kMaxTables), each of 2^inBits entries;
    // inBits and outBits from 1 to 16. Null tables or a count of 0 clear
    // the filter, which then passes its source through. Out-of-range
    // arguments give 1008 and a missing table 1014; nothing changes then.
    IKelvraError* SetLUT(const std::uint16_t* const* tables, long inBits, long outBits, long count, bool notify);

    bool HasTables() const;
    long GetInputBits() const;  // 0 without tables
    long GetOutputBits() const; // 0 without tables
    long GetTableCount() const;

    IKelvraError* GetFilteredColorSpace(IKelvraDataSource* const* sources, long count,
                                        KelvraPixelFormat* format) override;
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

private:
    IKelvraError* CopyTables(const std::uint16_t* const* tables, long inBits, long outBits, long count,
                             LutTables* copy) const;
    // Stores `next` unless equal; false when nothing changed.
    bool Adopt(LutTables&& next);
    // Lookups for sources of `format`, made once per change of the tables.
    std::shared_ptr<const LutPlan> PlanFor(KelvraPixelFormat format);

    mutable CKelvraLock m_lock; // tables are set on one thread while tiles are made on others
    std::unique_ptr<LutTables> m_tables;
    std::shared_ptr<const LutPlan> m_plan;
};
