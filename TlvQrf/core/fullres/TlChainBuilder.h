// The state of one full-resolution build while it appends its stages.
#pragma once

#include "fullres/TlFullResSize.h"
#include "fullres/TlFullResState.h"

#include "kelvra/KelvraTypes.h"

#include <cstdint>
#include <memory>
#include <new>

class CCropFilter;
class CKelvraFilterLut;
class CKelvraFilterScale;
class CTlvParamSet;
class IKelvraManager;

class CTlChainBuilder {
public:
    CTlChainBuilder(IKelvraManager* manager, const CTlvParamSet& params, bool reduced, double scale, long longSide);

    int Build();

private:
    // What the settings ask for.
    void WorkOutSwitches();
    void WorkOutProgressShares();
    void HandSourceSizeToGeometry();

    // The stages, in chain order; each returns false when the build ends.
    bool AppendResolution();
    bool AppendDeBayer();
    bool AppendSquareTable(bool wanted);
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
    bool AppendPresetSharpening();
    bool AppendListSharpening();
    bool AppendOutputColour();
    bool AppendTransform();
    bool AppendAutoBrightness();
    bool AppendCurveTable();
    bool AppendChannelMixer();
    bool AppendColourSpace();
    bool AppendLastScales();

    bool AppendStages();
    bool AppendEarlyStages();
    bool AppendGeometryStages();
    bool AppendColourStages();
    bool AppendLateStages();

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
    // Releases `error`; true when there was none, else fails with `code`.
    bool Check(IKelvraError* error, int code = 12);
    bool Fail(int code);
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
};
