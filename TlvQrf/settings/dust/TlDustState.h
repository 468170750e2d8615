// The dust reference a user attached to a picture, the capture time of that
// reference, and the dust map built from it for the picture. The record
// also runs the analysis that builds the map, through the dust engines
// registered with it (settings/dust/TlDustEngineRegistry.h).
#pragma once

#include "filters/dust/TlDustEngines.h"
#include "settings/record/TlBlob.h"
#include "settings/record/TlState.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// Progress of a dust analysis: phase 0 at the start, 1 while the engines
// work and 2 at the end, with a percentage. An answer of false cancels.
using TlDustProgressProc = bool (*)(int phase, int percent, void* context);

struct TlDustAnalysisRequest {
    IKelvraManager* manager = nullptr;
    IKelvraDataSource* picture = nullptr;
    // The picture's capture tags, from which the analyzer takes the
    // picture's shooting values.
    IKelvraTagControl* tags = nullptr;
    // Passed on to the map.
    long plainLuminance = 0;
    long linearPicture = 0;
    TlDustProgressProc progress = nullptr;
    void* context = nullptr;
    // When given, receives the analysis' error chain (null on success),
    // which the caller releases; otherwise the chain is released.
    IKelvraError** error = nullptr;
};

struct TlDustCaptureTime {
    std::uint16_t year = 1900;
    std::uint8_t month = 1;
    std::uint8_t day = 1;
    std::uint8_t hour = 0;
    std::uint8_t minute = 0;
    std::uint8_t second = 0;

    bool operator==(const TlDustCaptureTime& other) const;
    bool operator!=(const TlDustCaptureTime& other) const { return !(*this == other); }
};

class CTlDustState : public ITlState {
public:
    enum AnalyzeResult : int {
        kAnalyzeDone = 0,
        kAnalyzeEngineError = 1,
        kAnalyzeMissingArgument = 2,
        kAnalyzeOutOfMemory = 3,
        kAnalyzeCancelled = 4,
        kAnalyzeNoReference = 5,
    };
    enum CreateEngineResult : int {
        kEngineCreated = 0,
        kEngineMissingArgument = 2,
        kEngineOutOfMemory = 3,
        kEngineUnreadable = 7,
    };

    CTlDustState() = default;
    CTlDustState(const CTlDustState& other);
    // Resets, then takes the other's reference data with its capture time
    // and further values, and a dust map of its own filled from the other's
    // stored map. What cannot be allocated is left out; copying a record
    // onto itself changes nothing.
    CTlDustState& operator=(const CTlDustState& other);
    ~CTlDustState();

    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    // Replaces the reference data by `n` zero bytes; false, and no data,
    // when they cannot be allocated.
    bool SetDataSize(std::size_t n);
    // The same with a copy of `bytes`.
    bool SetData(const void* bytes, std::size_t n);
    const unsigned char* GetData() const { return m_data.Data(); }
    std::size_t GetDataSize() const { return m_data.Count(); }

    bool IsDefault() const { return !m_data.HasData(); }
    // Compares capture time and further values, not the data.
    bool IsEqual(const CTlDustState& other) const;
    // Drops data and dust map; capture time and further values to defaults.
    void Reset();

    // Replaces the dust map by one read from a stored map.
    int CreateEngine(IKelvraManager* manager, const unsigned char* mapData, std::size_t size);
    // Builds the dust map of a picture from the reference data (see the
    // results above). The record keeps the map only when the analysis
    // succeeds.
    int Analyze(const TlDustAnalysisRequest& request);
    // The finished dust map, or null.
    IDustMap* GetDustMap() const { return m_map.get(); }

    TlDustCaptureTime captureTime;
    std::uint16_t firstFurther = 0;
    std::uint16_t secondFurther = 0;

private:
    void TakeMap(std::unique_ptr<IDustMap> map, IKelvraManager* manager);
    void CopyMapFrom(const CTlDustState& other);
    // Takes what a Load read, by the copy rule, without copying the data.
    void TakeLoaded(CTlDustState& loaded);

    CTlBlob m_data;
    std::unique_ptr<IDustMap> m_map;
    // The manager the map was made for; a copy's map is made for it too.
    IKelvraManager* m_mapManager = nullptr;
};
