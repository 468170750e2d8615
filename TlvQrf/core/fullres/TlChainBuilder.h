// The state of one full-resolution build while it appends its stages.
#pragma once

#include "fullres/TlFullResSize.h"
#include "fullres/TlFullResState.h"

#include "order/TlStageOrder.h"

#include "kelvra/KelvraTypes.h"

#include <cstdint>
#include <memory>
#include <new>

class CCropFilter;
class CKelvraFilterLut;
class CKelvraFilterHistogram;
class CKelvraFilterScale;
class CTlUsmState;
class CUnsharpMaskFilter;
class CTlvParamSet;
class IKelvraManager;

class CTlChainBuilder {
public:
    CTlChainBuilder(IKelvraManager* manager, const CTlvParamSet& params, bool reduced, double scale, long longSide);
    ~CTlChainBuilder();
    CTlChainBuilder(const CTlChainBuilder&) = delete;
    CTlChainBuilder& operator=(const CTlChainBuilder&) = delete;

    int Build();
    // The chain of the build's first failure: what the build was doing, with
    // the error that made it fail inside; null when nothing failed. The
    // caller takes it over.
    IKelvraError* TakeFailure();

private:
    // What the settings ask for.
    void WorkOutSwitches();
    void WorkOutProgressShares();
    void HandSourceSizeToGeometry();

    // One stage of the stage order; false when the build ends.
    bool AppendStage(TlStageOrder::TlStage stage);
    bool AppendStages();

    // The stages; each returns false when the build ends.
    bool AppendResolution();
    bool AppendDeBayer();
    bool AppendSquareTable(bool wanted);
    bool AppendTableA();
    bool AppendTableC();
    bool AppendRootTable();
    bool AppendDust();
    bool AppendVignette();
    bool AppendMoire();
    bool AppendRevelation();
    bool AppendToneTable();
    bool AppendRedEye();
    bool AppendPreStretch();
    bool AppendFisheye();
    bool AppendCrop();
    bool AppendFineEdge();
    bool AppendLab();
    bool AppendColourNoise();
    bool WorkOutOutputSize();
    bool AppendMainScale();
    bool AppendLch();
    bool AppendSaturation();
    bool AppendChromaBoost();
    bool AppendLchCurves();
    using SharpeningWanted = bool (*)(const CTlvParamSet*, CTlUsmState*);
    using SharpeningApply = bool (*)(const CTlvParamSet*, CUnsharpMaskFilter*, double, double);
    bool AppendPresetSharpening(SharpeningWanted wanted, SharpeningApply apply);
    bool AppendListSharpening();
    bool AppendOutputColour();
    bool AppendTransform();
    bool AppendHistogram();
    bool AppendCurveTable();
    bool AppendAutoBrightness();
    bool AppendChannelMixer();
    bool AppendToningTable();
    bool AppendColourSpace();
    bool AppendUpscale();
    bool AppendFinalStretch();

    // A new filter kept in the state; null (result 3) when it cannot be made.
    template <typename Filter, typename... Args>
    Filter* Make(Args... args)
    {
        std::unique_ptr<Filter> filter(new (std::nothrow) Filter(m_manager, args...));
        Filter* made = filter.get();
        if (made == nullptr) {
            Fail(3);
            return nullptr;
        }
        m_state.filters.push_back(std::move(filter));
        return made;
    }
    bool Append(CKelvraFilterBase* filter);
    // True when `error` is null; else fails with `code`, `error` its cause.
    bool Check(IKelvraError* error, int code = 12);
    // Ends the build with `code` (0 leaves the result to the general error);
    // the first failure keeps `cause` (taken over; may be null).
    bool Fail(int code, IKelvraError* cause = nullptr);
    // Sets the result when none is set yet, and the build goes on.
    void FailAndGoOn(int code);
    void KeepFailure(int code, IKelvraError* cause);
    bool Colour(const char* target, long outputBits, CKelvraFilterCML** made);
    CKelvraFilterScale* MakeScale();
    // The appended table, or null when the build ends.
    CKelvraFilterLut* AppendTableLut(const std::uint16_t* table);
    bool AppendScaleToOutput();
    double ClampedFinalScale() const { return m_finalScale < 1.0 ? m_finalScale : 1.0; }

    IKelvraManager* m_manager;
    const CTlvParamSet& m_params;
    STlFullResState& m_state;
    const bool m_reduced;
    const double m_scale;
    const long m_longSide;

    int m_result = 0;
    bool m_failed = false;
    const char* m_doing = "";         // what the build does now, for its failure
    IKelvraError* m_failure = nullptr; // the first failure's chain
    KelvraPixelFormat m_format = 0;
    long m_bitsSoFar = 8;
    long m_sourceBits = 8;

    bool m_lab = false;
    bool m_lch = false;
    bool m_dust = false;
    bool m_vignette = false;
    bool m_revelation = false;
    bool m_redEye = false;
    bool m_moire = false;
    bool m_rawTone = false;
    double m_stretch = 1.0;
    bool m_stretchDone = false;
    double m_sizingStretch = 1.0;

    STlSize m_output;
    double m_finalScale = 1.0;
    CKelvraFilterLut* m_tableA = nullptr;
    CCropFilter* m_crop = nullptr;
    CKelvraFilterScale* m_mainScale = nullptr;
    CKelvraFilterHistogram* m_histogram = nullptr;
    bool m_mixerAppended = false;
};
