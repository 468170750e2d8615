// The LCH editor: on pixels whose channels hold lightness, chroma and hue,
// lightness and hue pass through curves and chroma is scaled by a per-hue
// factor, held back for weak colours by a per-hue threshold table that
// ships as a calibration file. The chroma booster derives from it.
#pragma once

#include "filters/frame/TlFilter.h"
#include "kelvra/KelvraLock.h"

#include <cstdint>
#include <mutex>
#include <vector>

class CTlChromaRule;

class CFltLch : public CTlFilter {
public:
    using Table = std::vector<std::uint16_t>;
    // The prepared chroma change per hue, in percent: -100..+100.
    using ChangeTable = std::vector<std::int16_t>;

    // The curve tables of SetLuts, in order; a fourth table is the threshold.
    enum : int { kLightnessCurve = 0, kHueCurve = 1, kChromaByHueCurve = 2, kCurveCount = 3, kCountWithThreshold = 4 };

    explicit CFltLch(IKelvraManager* manager);
    ~CFltLch() override;

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

    // The filter's own virtual operation: loads the threshold table from the
    // filter's calibration file. The argument is not used.
    virtual IKelvraError* LoadCalibration(void* unused);

    // `tables` holds `count` pointers to 2^inBits entries of outBits-bit
    // values: lightness curve, hue curve, chroma-by-hue curve and, when
    // count is 4, the threshold table. A null pointer stands for the
    // identity ramp; null tables or a count of 0 give three 2-entry ramps.
    IKelvraError* SetLuts(const std::uint16_t* const* tables, int inBits, int outBits, int count, bool notify);

    bool IsCalibrationLoaded() const { return m_calibrationLoaded; }
    // The curve tables as they were handed over (empty: none).
    const Table& GetSourceTable(int index) const { return m_sourceTables[index]; }
    int GetInBits() const { return m_inBits; }
    int GetOutBits() const { return m_outBits; }
    // The threshold table as it was handed over or loaded.
    const Table& GetThresholdSource() const { return m_thresholdSource; }
    int GetThresholdInBits() const { return m_thresholdInBits; }
    int GetThresholdOutBits() const { return m_thresholdOutBits; }
    // Whether the worker must rebuild its prepared tables before its next run.
    bool AreTablesStale() const { return m_tablesStale; }
    bool IsThresholdStale() const { return m_thresholdStale; }

    // The tables the worker prepared for the bit depth it last saw (empty:
    // none): the lightness and hue curves, the chroma change and the
    // threshold, each with 2^bits entries.
    int GetPreparedBits() const { return m_preparedBits; }
    const Table& GetPreparedCurve(int index) const { return m_preparedCurves[index]; }
    const ChangeTable& GetChromaChange() const { return m_chromaChange; }
    const Table& GetPreparedThreshold() const { return m_thresholdTable; }

    // The new chroma of an 8-bit or 16-bit pixel for a chroma `change` in
    // percent, weighted by the lightness ratio of `format` and held back by
    // the prepared threshold; `levels` is 256 or 65,536.
    unsigned AdjustChroma(std::uint8_t lightness, std::uint8_t chroma, std::uint8_t hue, int change,
                          KelvraPixelFormat format, unsigned levels) const;
    unsigned AdjustChroma(std::uint16_t lightness, std::uint16_t chroma, std::uint16_t hue, int change,
                          KelvraPixelFormat format, unsigned levels) const;

protected:
    // Loads calibration file `fileName` from the profiles folder as the
    // threshold table (16-bit hues, 16-bit values).
    IKelvraError* LoadThresholdFile(const char* fileName);
    // Stores a threshold table of 2^inBits entries (null: the identity ramp).
    IKelvraError* SetThresholdTable(const std::uint16_t* table, int inBits, int outBits);
    // The threshold table prepared for the image's bit depth (empty: none).
    Table& PreparedThreshold() { return m_thresholdTable; }

    // Rebuilds the prepared tables for `bits` (8 or 16) from the source
    // tables, into fresh storage when `reallocate`.
    IKelvraError* PrepareTables(int bits, bool reallocate);
    // `target` becomes 2^bits entries of bits-bit values resampled from
    // `source` (2^srcInBits entries of srcOutBits-bit values); 1005 when
    // memory ran out.
    IKelvraError* ResampleTable(int bits, bool reallocate, const Table& source, Table& target, int srcInBits,
                                int srcOutBits) const;

    // Whether the worker must run PrepareTables before making pixels of
    // `bits` bits.
    virtual bool NeedsPreparing(int bits) const;
    // What a tile needs before its pixels are made, once per change: the
    // prepared tables, built under the filter's own lock because tiles are
    // made on several threads at once.
    IKelvraError* PrepareOnce(int bits);
    // The chroma rule over the prepared threshold for pixels of `bits` bits.
    CTlChromaRule MakeChromaRule(int bits) const;

private:
    // Edits the part of one source tile that the target needs.
    IKelvraError* EditSourceTile(const CTlTileTarget& target, const CTlSourceTile& from);
    template <typename Sample>
    void EditPixels(const CTlTileTarget& target, const CTlSourceTile& from, int bits) const;
    template <typename Sample>
    unsigned AdjustChromaOf(Sample lightness, Sample chroma, Sample hue, int change, KelvraPixelFormat format,
                            unsigned levels) const;

    // Whether a table of 2^inBits entries with outBits-bit values can be held.
    static bool AreValidWidths(int inBits, int outBits);
    // The given table, or the identity ramp for a null one.
    static Table TableOrRamp(const std::uint16_t* table, int inBits, int outBits);
    // True when the widths and the first `count` stored tables equal the
    // given ones and no stored table lies beyond them; a null given table
    // never equals a stored one.
    bool SameCurveTables(const std::uint16_t* const* tables, int inBits, int outBits, int count) const;
    // Replaces the first `count` curve tables and their widths, dropping the
    // others; on failure nothing is replaced.
    IKelvraError* StoreCurveTables(const std::uint16_t* const* tables, int inBits, int outBits, int count);

    bool m_calibrationLoaded = false;
    Table m_thresholdSource;
    Table m_thresholdTable;
    bool m_thresholdStale = true;
    int m_preparedBits = 0;
    int m_thresholdInBits = 0;
    int m_thresholdOutBits = 0;
    Table m_sourceTables[kCurveCount];
    Table m_preparedCurves[kChromaByHueCurve]; // lightness, hue
    ChangeTable m_chromaChange;
    bool m_tablesStale = true;
    int m_inBits = 0;
    int m_outBits = 0;
    CKelvraLock m_prepareLock; // slim: taken for every tile
};
