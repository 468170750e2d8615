// The vignette filter: brightens the corners of a picture by the light that
// a simple model of the lens (three circular pupils, the sensor size and the
// f-number) says they miss, times a user strength. The model is evaluated
// into a gain table whenever one of its inputs changes; the strength is
// applied per pixel and does not need a new table.
#pragma once

#include "filters/frame/TlFilter.h"
#include "kelvra/KelvraLock.h"

#include <cstdint>
#include <mutex>

class CVignetteFilter : public CTlFilter {
public:
    // Three pupil codes: byte 2i is the signed position code of pupil i,
    // byte 2i + 1 its unsigned aperture code.
    static constexpr int kLensDataSize = 6;
    // The sensor assumed when the camera does not tell its own (mm).
    static constexpr double kDefaultSensorWidth = 23.6;
    static constexpr double kDefaultSensorHeight = 15.48;

    explicit CVignetteFilter(IKelvraManager* manager);
    ~CVignetteFilter() override;

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;
    // A new source size or a change everywhere needs a new gain table.
    IKelvraError* FilterSize(IKelvraDataSource* source, KelvraSizeChange* change) override;
    IKelvraError* FilterUpdateAll(IKelvraDataSource* source) override;

    // Every setter but SetStrength asks for a new gain table.
    // `lensData` is kLensDataSize bytes, or null for none.
    IKelvraError* SetLensData(const std::uint8_t* lensData, bool notify);
    // Stores the diagonal (mm); width and height become unknown (0).
    IKelvraError* SetSensorDiagonal(double diagonal, bool notify);
    // Stores width and height (mm) and the diagonal they make.
    IKelvraError* SetSensorSize(double width, double height, bool notify);
    IKelvraError* SetDefaultSensorSize(bool notify);
    IKelvraError* SetFNumber(double fNumber, bool notify);
    // 1.0 corrects fully, 0 not at all.
    IKelvraError* SetStrength(double strength, bool notify);
    // Factor on vertical pixel distances, for pixels that are not square.
    IKelvraError* SetAspectScale(double aspectScale, bool notify);

    // Copies the pupil codes into `lensData` (kLensDataSize bytes) when the
    // filter has them; false, copying nothing, when it has none.
    bool GetLensData(std::uint8_t* lensData) const;
    double GetSensorDiagonal() const { return m_sensorDiagonal; }
    double GetSensorWidth() const { return m_sensorWidth; }
    double GetSensorHeight() const { return m_sensorHeight; }
    double GetFNumber() const { return m_fNumber; }
    double GetStrength() const { return m_strength; }
    double GetAspectScale() const { return m_aspectScale; }
    // The gain table must be rebuilt before the next pixels are made.
    bool IsGainTableStale() const { return m_tableStale; }

    // Evaluates the lens model into the table of gain codes for a source of
    // `width` x `height`: one code per cell of the image's quarter, the
    // centre in cell (0, 0). 1005 when the table cannot be allocated.
    IKelvraError* BuildGainTable(long width, long height);
    // The table of the last build (rows x cols, row-major), null before.
    const std::uint16_t* GetGainTable() const { return m_gainTable; }
    int GetGainTableCols() const { return m_cols; }
    int GetGainTableRows() const { return m_rows; }

protected:
    // The last step of a gain table build.
    void GainTableBuilt() { m_tableStale = false; }

private:
    // The pupil codes with their presence; codes kept while absent do not
    // count in the comparison.
    struct LensData {
        std::uint8_t codes[kLensDataSize];
        bool present;
        bool operator==(const LensData& other) const;
    };

    // Builds the table once for all tiles made at the same time.
    IKelvraError* PrepareGainTable(long width, long height);
    IKelvraError* CorrectSourceTile(const CTlTileTarget& target, const CTlSourceTile& from) const;
    template <typename Sample>
    void CorrectPixels(const CTlTileTarget& target, const CTlSourceTile& from, int channels) const;

    template <typename Stored, typename Value>
    IKelvraError* ApplyModelSetting(Stored&& stored, const Value& value, bool notify)
    {
        return ApplySetting(stored, value, notify, [this] { m_tableStale = true; });
    }

    LensData m_lens;
    double m_sensorDiagonal;
    double m_sensorWidth = kDefaultSensorWidth;
    double m_sensorHeight = kDefaultSensorHeight;
    double m_fNumber = 0.0;
    double m_strength = 0.5;
    double m_aspectScale = 1.0;
    bool m_tableStale = true;
    // Written by the table build: the f-number limit of the lens (1.0
    // without lens data), the table of rows x cols gain codes (C heap) and
    // its size, half the image's each way.
    double m_lensMinFNumber = 1.0;
    std::uint16_t* m_gainTable = nullptr;
    int m_cols = 0;
    int m_rows = 0;
    // The source size the table was built for.
    long m_tableWidth = 0;
    long m_tableHeight = 0;
    CKelvraLock m_tableLock; // slim: taken for every tile
};
