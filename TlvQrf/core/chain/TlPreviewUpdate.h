// One run of the preview update: brings the filters of a built preview chain
// in line with a parameter set, step by step. The values worked out at the
// start and those one step hands the next travel in the update context; each
// group of steps lives in a file of its own. A step answers false when a
// filter call failed, which ends the run with the code it set.
#pragma once

#include "chain/TlCadraFilterChain.h"
#include "control/TlvQrfData.h"

#include "kelvra/KelvraTypes.h"
#include "settings/geometry/TlDblRect.h"

#include <cstdint>
#include <vector>

class CKelvraFilterCML;
class CTlvParamSet;

// The change bits of an update, by what the update does with them: the
// control's bits, and the sharpening list's, which the control does not name.
namespace TlChange {
enum : std::uint32_t {
    kFirstCurves = ITlvQrfData::eToneCurves,
    kSecondCurves = ITlvQrfData::eToneCurves2,
    kSharpeningList = 0x4,
    kGrid = ITlvQrfData::eGrid,
    kScale = ITlvQrfData::eOutputSize,
    kRotation = ITlvQrfData::eRotation,
    kWhiteBalance = ITlvQrfData::eWhiteBalance,
    kAdjust = ITlvQrfData::eAdjustment,
    kDetail = ITlvQrfData::eDetail,
    kVignette = ITlvQrfData::eVignette,
    kGeometry = ITlvQrfData::eGeometry,
    kRedEye = ITlvQrfData::eRedEye,
    kPreviewMode = ITlvQrfData::ePreviewMode,
    kOutputColour = ITlvQrfData::eOutputColour,
    kMixer = ITlvQrfData::eChannelMixer,
    kSaturation = ITlvQrfData::eColourManagement,
    kLostDetail = ITlvQrfData::eLostDetail,
    kDust = ITlvQrfData::eDust,
    kRevelation = ITlvQrfData::eRevelation,
    kFisheye = ITlvQrfData::eFisheye,
    kLchCurves = ITlvQrfData::eLch,
    kPlugins = ITlvQrfData::ePlugins,
    kChromaBoost = ITlvQrfData::eChromaBoost,
    kAutoBrightness = ITlvQrfData::eAutoBrightness,
    kAll = ITlvQrfData::eAll,
};
} // namespace TlChange

// Result codes of the update.
namespace TlUpdateCode {
enum : int {
    kDone = 0,
    kFilterFailed = 1,
    kNoParams = 2,
    kNotBuilt = 5,
    kNoColourSpace = 6,
    kNoEngine = 9,
    kNoDustMap = 10,
    kLensFailed = 11,  // the lens cannot be set up
    kLensUnknown = 12, // its lens file was rejected (3000)
    kLchCalibration = 13,
    kLchCalibrationMalformed = 14,
    kBoostTable = 15,
    kBoostTableMalformed = 16,
    kBusy = 17,
};
} // namespace TlUpdateCode

struct STlUpdateContext {
    CTlvParamSet* params = nullptr;
    std::uint32_t changes = 0;
    double viewScale = 1.0;

    // Worked out at the start.
    bool twoSource = false;
    bool rawTone = false;
    double aspect = 1.0; // pixel aspect factor still to apply
    int reduction = 1;
    KelvraPixelFormat format = 0;
    bool mosaic = false;       // raw colour-filter-array data
    bool stretchedModel = false; // raw data of the camera with wide pixels
    long imageWidth = 0;
    long imageHeight = 0;
    bool haveImageSize = false;
    double workingScale = 1.0;
    bool labNeeded = false;
    bool lchNeeded = false;
    bool cropped = false;
    CTlDblRect crop; // the geometry frame's crop rectangle

    // Handed from step to step.
    double sharpenScale = 1.0;
    bool lchChanged = false;
    int code = TlUpdateCode::kDone;
    // The filters changed without a notice; the first in the chain tells
    // everything after it to recompute.
    std::vector<IKelvraFilter*> silent;
};

class CTlPreviewUpdate {
public:
    CTlPreviewUpdate(CTlCadraFilterChain& chain, STlUpdateContext& context) : m_chain(chain), m_ctx(context) {}

    // The steps of the chain's mode, then the exit notices; the code.
    int Run();

private:
    // Step helpers (entry, exit and dispatch).
    bool Has(std::uint32_t bits) const { return (m_ctx.changes & bits) != 0; }
    bool IsFull() const { return m_ctx.changes == TlChange::kAll; }
    std::uint32_t Mode() const { return m_chain.m_mode; }
    CKelvraFilterBase* Slot(int slot) const { return m_chain.GetSlot(slot); }
    template <typename Filter>
    Filter* SlotAs(int slot) const
    {
        return dynamic_cast<Filter*>(Slot(slot));
    }
    // False, with the error released and the code set (1 when none was set
    // so far), when `error` is not null.
    bool Check(IKelvraError* error, int code = TlUpdateCode::kFilterFailed);
    bool Fail(int code, const char* text = nullptr, IKelvraError* error = nullptr);
    // Slots that the mode did not create are left alone.
    bool Enable(int slot, bool enabled);
    bool EnableSilently(int slot, bool enabled);
    bool IsEnabled(int slot) const;
    bool PrepareRun();
    void FinishRun();

    // Mode 1.
    bool RunReducedMode();
    // Modes 0 and 2+.
    bool RunFullMode();

    // De-Bayer and source choice.
    bool ChooseDeBayer();
    bool SetUpDeBayer(int slot, long factor);
    bool ChooseSource();
    bool ReadImageSize();
    void WorkOutScales();
    bool NeedsLch() const;

    // Geometry and the full preview's overlays.
    bool UpdateScaling();
    bool SetFirstScales(double t, double e);
    bool ReduceDeBayer(double first, bool fisheye, long* developed);
    bool SetEnlargement(double b, double e);
    bool SetAreaScale(double e);
    bool UpdateCrop();
    bool UpdateFisheye();
    bool UpdateRotation();
    bool UpdateVisualCrop();
    bool UpdateGrid();
    bool SetScaleStage(int slot, double x, double y, bool userSize = false, bool exchange = false);

    // Tone and curves.
    bool UpdateInitialTables();
    bool UpdateToneTables();
    bool UpdateCurves();

    // Colour stages.
    bool UpdateLabStage();
    bool UpdateLchStage();
    bool UpdateOutputProfile(char* path);
    bool UpdateOutputStage(const char* path);
    bool UpdateMonitorStage(const char* path);
    bool UpdateOutputColourSpace();
    bool SetColourStage(int slot, int engine, long outputBits, long inputBits, bool silently);

    // Detail.
    bool UpdateDust();
    bool UpdateVignette();
    bool UpdateMoire();
    bool UpdateRevelation();
    bool RefreshRevelation();
    bool UpdateRedEye();
    bool UpdateFineEdge();
    bool UpdateNoise();
    bool UpdateSaturation();
    bool UpdateChromaBoost();
    bool UpdateLchCurves();
    bool UpdateAutoBrightness();
    bool UpdateMixer();
    bool UpdateLostDetail();
    bool DetailAllowed() const;

    // Sharpening and plug-ins.
    bool UpdateSharpening();
    bool UpdatePlugins();

    // Approximation flags and histogram crop.
    bool UpdateApproximations();
    bool UpdateHistograms();
    KelvraRect HistogramCrop() const;

    CTlCadraFilterChain& m_chain;
    STlUpdateContext& m_ctx;
};

// The process-wide guard of the busy flag and the pending masks: answers
// true and marks the process busy, or records `changes` in `pending`.
bool TlBeginPreviewUpdate(std::uint32_t changes, std::uint32_t& pending, std::uint32_t& merged);
void TlEndPreviewUpdate();
// True while an update runs on the calling thread.
bool TlIsPreviewUpdateRunningHere();
