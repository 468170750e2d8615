// The stages of the full-resolution chain, each made only when its setting
// asks for work and appended right after it is set up.
#include "fullres/TlChainBuilder.h"
#include "fullres/TlProcessingChain.h"

#include "colour/TlWorkingProfiles.h"
#include "params/TlDeBayerSetup.h"
#include "params/TlMoireLevel.h"
#include "params/TlNoiseStrength.h"
#include "params/TlOutputProfile.h"
#include "params/TlSaturationCompensation.h"
#include "params/TlSharpeningPresets.h"
#include "params/TlToneLuts.h"
#include "params/TlUsmRangeBand.h"
#include "params/TlVignetteParams.h"
#include "params/TlvParamSet.h"
#include "save/TlSaveState.h"

#include "filters/autobrightness/TlAutoBrightnessFilter.h"
#include "filters/channelmixer/TlChannelMixerFilter.h"
#include "filters/colornoise/TlColorNoiseReductionFilter.h"
#include "filters/debayer/TlDeBayerFilterBase.h"
#include "filters/fineedge/TlFineEdgeFilter.h"
#include "filters/fisheye/TlFisheyeFilter.h"
#include "filters/moire/TlMoireFilter.h"
#include "filters/resolution/TlResolutionFilter.h"
#include "filters/saturation/TlSaturationCompensationFilter.h"
#include "filters/vignette/TlVignetteFilter.h"
#include "filtrix/CropFilter.h"
#include "filtrix/KelvraFilterColorSpace.h"
#include "filtrix/KelvraFilterHistogram.h"
#include "filtrix/KelvraFilterLut.h"
#include "filtrix/KelvraFilterScale.h"
#include "filtrix/KelvraFilterTransform.h"
#include "filtrix/UnsharpMaskFilter.h"
#include "kelvra/KelvraFilterChain.h"
#include "pellio/KelvraSave.h"

#include <algorithm>

namespace {

constexpr std::size_t kMaxListSharpening = 7;
// The lines the build's own error texts carry.
constexpr long kAtMoireText = 4643;
constexpr long kScaleMethod = 2;

} // namespace

bool CTlChainBuilder::AppendResolution()
{
    CResolutionFilter* filter = Make<CResolutionFilter>();
    return filter != nullptr && Append(filter);
}

// A De-Bayer stage that cannot be made or set up is left out: the chain
// then works on the mosaic as it is.
bool CTlChainBuilder::AppendDeBayer()
{
    if (m_format != kTlMosaicFormat)
        return true;
    // A mosaic without its filter still goes through the chain.
    std::unique_ptr<CDeBayerFilterBase> filter;
    if (!MakeDeBayer(m_manager, m_params, !m_reduced, filter) || !filter)
        return true;
    IKelvraError::Release(filter->SetCacheUsage(0));
    CDeBayerFilterBase* made = filter.get();
    m_state.filters.push_back(std::move(filter));
    return Append(made);
}

// The square-law table goes before the linear stages (dust, vignette), and
// again after moire and Revelation, which work on coded data.
bool CTlChainBuilder::AppendTableA()
{
    return AppendSquareTable(m_rawTone && (m_dust || m_vignette || !(m_moire || m_revelation)));
}

bool CTlChainBuilder::AppendTableC()
{
    return AppendSquareTable(m_rawTone && (m_moire || m_revelation));
}

bool CTlChainBuilder::AppendSquareTable(bool wanted)
{
    if (!wanted)
        return true;
    CKelvraFilterLut* lut = AppendTableLut(GetSquareTable12());
    if (lut == nullptr)
        return false;
    if (m_tableA == nullptr)
        m_tableA = lut;
    return true;
}

bool CTlChainBuilder::AppendRootTable()
{
    if (!(m_rawTone && m_tableA != nullptr && (m_moire || m_revelation)))
        return true;
    return AppendTableLut(GetRootTable12()) != nullptr;
}

// One 12-bit table for all three channels; a table refused leaves the
// result unset.
CKelvraFilterLut* CTlChainBuilder::AppendTableLut(const std::uint16_t* table)
{
    CKelvraFilterLut* lut = Make<CKelvraFilterLut>();
    if (lut == nullptr)
        return nullptr;
    const std::uint16_t* tables[3] = {table, table, table};
    if (!Check(lut->SetLUT(tables, 12, 16, 3, true), 0) || !Append(lut))
        return nullptr;
    return lut;
}

bool CTlChainBuilder::AppendVignette()
{
    if (!m_vignette)
        return true;
    CVignetteFilter* filter = Make<CVignetteFilter>();
    if (filter == nullptr)
        return false;
    IKelvraError::Release(SetVignetteParams(m_params, *filter, m_stretch));
    return Append(filter);
}

bool CTlChainBuilder::AppendMoire()
{
    if (!m_moire)
        return true;
    CMoireFilter* filter = Make<CMoireFilter>();
    if (filter == nullptr)
        return false;
    if (!SetMoireLevel(m_params, *filter))
        return Fail(kTlChainCannotConfigure, IKelvraError::Add(nullptr, 0, kAtMoireText, "Moire Initialization"));
    return Append(filter);
}

bool CTlChainBuilder::AppendToneTable()
{
    if (!m_rawTone)
        return true;
    CKelvraFilterLut* lut = Make<CKelvraFilterLut>();
    if (lut == nullptr)
        return false;
    return Check(SetWhiteBalanceToneLut(m_params, nullptr, lut, true), 20) && Append(lut);
}

bool CTlChainBuilder::AppendPreStretch()
{
    if (m_stretch == 1.0 || m_params.fisheye == nullptr || m_params.fisheyeFlag == 0)
        return true;
    CKelvraFilterScale* scale = MakeScale();
    if (scale == nullptr || !Append(scale) || !Check(scale->SetScale(1.0, m_stretch, false)))
        return false;
    m_stretchDone = true;
    return true;
}

// The lens is refused with 22, or 23 when its file was rejected.
bool CTlChainBuilder::AppendFisheye()
{
    if (m_params.fisheye == nullptr || m_params.fisheyeFlag == 0)
        return true;
    CFisheyeFilter* filter = Make<CFisheyeFilter>();
    if (filter == nullptr)
        return false;
    if (IKelvraError* error = filter->SetLens(m_params.tags))
        return Fail(TlIsLensFileRejected(error) ? kTlChainLensUnknown : kTlChainLensFailed, error);
    return Check(filter->SetFillMode(m_params.fisheye->flag ? 1 : 0, true)) &&
           Check(filter->SetFillColor(m_params.fisheye->value, true)) && Append(filter);
}

bool CTlChainBuilder::AppendCrop()
{
    if (m_params.fixedSize != 0 || m_params.geometry == nullptr)
        return true;
    CTlDblRect rect;
    CTlDblRect whole;
    m_params.geometry->GetCropRect(rect);
    m_params.geometry->GetLimitRect(whole);
    if (rect == whole)
        return true;
    CCropFilter* crop = Make<CCropFilter>();
    if (crop == nullptr)
        return false;
    const double stretch = m_stretchDone ? 1.0 : m_stretch;
    if (!Check(crop->SetCrop(CropRectFor(rect, m_scale, stretch), false)) || !Append(crop))
        return false;
    m_crop = crop;
    return true;
}

bool CTlChainBuilder::AppendFineEdge()
{
    const CTlTripleValueState* triple = m_params.LevelTriple();
    if (m_reduced || triple == nullptr || !triple->flag)
        return true;
    CFineEdgeFilter* filter = Make<CFineEdgeFilter>();
    return filter != nullptr && Append(filter);
}

bool CTlChainBuilder::AppendLab()
{
    if (!m_lab)
        return true;
    char path[MAX_PATH];
    CKelvraFilterCML* made = nullptr;
    return Colour(MakeProfilePath(path, "TLLab.icm"), 16, &made);
}

bool CTlChainBuilder::AppendColourNoise()
{
    const double strength = m_lab ? GetNoiseStrengthFactor(m_params) : 0.0;
    if (!m_lab || m_failed || strength <= 0.0)
        return true;
    CColorNoiseReductionFilter* filter = Make<CColorNoiseReductionFilter>();
    return filter != nullptr && Check(filter->SetStrength(strength, true)) && Append(filter);
}

CKelvraFilterScale* CTlChainBuilder::MakeScale()
{
    CKelvraFilterScale* scale = Make<CKelvraFilterScale>(kScaleMethod);
    if (scale != nullptr)
        IKelvraError::Release(scale->SetCacheUsage(0));
    return scale;
}

bool CTlChainBuilder::AppendLch()
{
    if (!m_lch)
        return true;
    char path[MAX_PATH];
    const long bits = m_state.hasTarget ? 16 : m_sourceBits;
    CKelvraFilterCML* made = nullptr;
    if (!Colour(MakeProfilePath(path, "TLLch2.icm"), bits, &made))
        return false;
    if (made != nullptr)
        SetHueSaturationLut(m_params, made, nullptr);
    return true;
}

bool CTlChainBuilder::AppendSaturation()
{
    int level = 0;
    if (!GetSaturationCompensation(m_params, &level))
        return true;
    CSaturationCompensationFilter* filter = Make<CSaturationCompensationFilter>();
    if (filter == nullptr)
        return false;
    IKelvraError::Release(filter->SetCacheUsage(0));
    SetSaturationCompensation(m_params, *filter);
    return Append(filter);
}

// The camera's and the mixer's preset sharpening report nothing of their
// own; only their insert counts.
bool CTlChainBuilder::AppendPresetSharpening(SharpeningWanted wanted, SharpeningApply apply)
{
    if (!wanted(&m_params, nullptr))
        return true;
    CUnsharpMaskFilter* filter = Make<CUnsharpMaskFilter>();
    if (filter == nullptr)
        return false;
    IKelvraError::Release(filter->SetCacheUsage(0));
    apply(&m_params, filter, m_scale * ClampedFinalScale(), m_sizingStretch);
    return Append(filter);
}

// Each entry of the list, at most seven, is one unsharp mask; all are made
// before the first is set up.
bool CTlChainBuilder::AppendListSharpening()
{
    const CTlUsmListState* list = CTlvParamSet::Present(m_params.sharpeningListFlag, m_params.sharpeningList);
    if (list == nullptr || list->entries.empty())
        return true;
    const std::size_t count = std::min(list->entries.size(), kMaxListSharpening);
    std::vector<CUnsharpMaskFilter*> filters;
    for (std::size_t i = 0; i < count; ++i) {
        CUnsharpMaskFilter* filter = Make<CUnsharpMaskFilter>();
        if (filter == nullptr)
            return false;
        filters.push_back(filter);
    }
    for (std::size_t i = 0; i < count; ++i) {
        const CTlUsmState& entry = list->entries[i];
        CUnsharpMaskFilter* filter = filters[i];
        IKelvraError::Release(filter->SetCacheUsage(0));
        IKelvraError::Release(filter->SetAffectNoise(false, false));
        SetUsmRangeBand(filter, entry.RangeBand());
        IKelvraError::Release(filter->SetThreshold(entry.Threshold() * 0.2, true));
        const double radius = m_scale * (entry.Radius() * ClampedFinalScale()) * 0.2;
        double power = entry.Amount();
        if (radius >= 0.5) {
            IKelvraError::Release(filter->SetRadii(radius, radius / m_sizingStretch, true));
        } else {
            IKelvraError::Release(filter->SetRadii(1.0, 1.0 / m_sizingStretch, true));
            power *= radius;
        }
        IKelvraError::Release(filter->SetPower(power * 0.05, true));
        IKelvraError::Release(filter->SetMaskMethod(3, true));
        if (!Append(filter))
            return false;
    }
    return true;
}

// Like the preview, the data leaves in an output profile whenever the user
// asked for one, a Lab or LCh stage changed its encoding, or it came as raw
// tones in the camera's profile; else it would be written in the wrong
// encoding.
bool CTlChainBuilder::AppendOutputColour()
{
    if (!(m_params.outputProfileFlag != 0 || m_lab || m_lch || m_rawTone))
        return true;
    char path[MAX_PATH] = {};
    if (!GetOutputProfilePath(&m_params, path) || path[0] == '\0')
        return Fail(20);
    CKelvraFilterCML* made = nullptr;
    return Colour(path, m_sourceBits, &made);
}

bool CTlChainBuilder::AppendTransform()
{
    if (m_params.fixedSize != 0 || (m_params.flip == 0 && m_params.rotation == 0))
        return true;
    CKelvraFilterTransform* filter = Make<CKelvraFilterTransform>();
    if (filter == nullptr)
        return false;
    IKelvraError::Release(filter->SetCacheUsage(0));
    return Append(filter) &&
           Check(filter->SetTransform(m_params.flip != 0, double(m_params.rotation), true, false));
}

namespace {

const CTlAutoBrightnessState* ActiveAutoBrightness(const CTlvParamSet& params)
{
    const CTlAutoBrightnessState* record = CTlvParamSet::Present(params.autoBrightnessFlag, params.autoBrightness);
    return record != nullptr && !record->IsDefault() ? record : nullptr;
}

int MixerKind(const CTlvParamSet& params)
{
    return params.channelMixer != nullptr ? params.channelMixer->MixerKind() : 0;
}

} // namespace

// The auto brightness judges the picture by this histogram.
bool CTlChainBuilder::AppendHistogram()
{
    if (ActiveAutoBrightness(m_params) == nullptr)
        return true;
    m_histogram = Make<CKelvraFilterHistogram>();
    return m_histogram != nullptr && Append(m_histogram);
}

bool CTlChainBuilder::AppendAutoBrightness()
{
    const CTlAutoBrightnessState* record = ActiveAutoBrightness(m_params);
    if (record == nullptr)
        return true;
    CAutoBrightnessFilter* filter = Make<CAutoBrightnessFilter>();
    if (filter == nullptr)
        return false;
    return Check(filter->SetHistogram(m_histogram, true)) &&
           Check(filter->SetLevels(-1, record->lowLevel, record->highLevel, true)) &&
           Check(filter->SetUseBlackLevel(record->useBlackLevel, true)) &&
           Check(filter->SetExposureCompensation(int(record->exposureCompensation * 256.0), true)) &&
           Append(filter);
}

// A curve table that cannot be filled gives 12 and the build goes on
// without it.
bool CTlChainBuilder::AppendCurveTable()
{
    CTlLutGroup* first = CTlvParamSet::Present(m_params.firstCurvesFlag, m_params.firstCurves);
    CTlLutGroup* second = CTlvParamSet::Present(m_params.secondCurvesFlag, m_params.secondCurves);
    if (first == nullptr && second == nullptr)
        return true;
    const bool active = (first != nullptr && !first->IsDefault()) || (second != nullptr && !second->IsDefault());
    CKelvraFilterLut* lut = Make<CKelvraFilterLut>();
    if (lut == nullptr)
        return false;
    if (!SetCurveLut(first, second, nullptr, lut, false)) {
        FailAndGoOn(kTlChainCannotConfigure);
        return true;
    }
    return !active || Append(lut);
}

bool CTlChainBuilder::AppendChannelMixer()
{
    const int kind = MixerKind(m_params);
    if (kind != 1 && kind != 2)
        return true;
    CChannelMixerFilter* filter = Make<CChannelMixerFilter>();
    if (filter == nullptr || !Append(filter))
        return false;
    m_mixerAppended = true;
    return true;
}

// A toning table that cannot be filled gives 12 and the build goes on
// without it.
bool CTlChainBuilder::AppendToningTable()
{
    if (!m_mixerAppended || MixerKind(m_params) != 2)
        return true;
    CKelvraFilterLut* lut = Make<CKelvraFilterLut>();
    if (lut == nullptr)
        return false;
    if (!SetFixedToneLut(lut)) {
        FailAndGoOn(kTlChainCannotConfigure);
        return true;
    }
    return Append(lut);
}

bool CTlChainBuilder::AppendColourSpace()
{
    const int layout = m_state.channelLayout;
    if ((m_format & kTlSixteenBitFormat) == 0 || !(layout == 0 || layout == 3 || m_reduced))
        return true;
    CKelvraFilterColorSpace* filter = Make<CKelvraFilterColorSpace>();
    if (filter == nullptr)
        return false;
    IKelvraError::Release(filter->SetCacheUsage(0));
    return Check(filter->SetOutputColorSpace(0, 1, false)) && Append(filter);
}

// An enlargement, then the stretch still owed, each to the output size.
bool CTlChainBuilder::AppendUpscale()
{
    if (m_finalScale > 1.0 && m_mainScale == nullptr)
        return AppendScaleToOutput();
    return true;
}

bool CTlChainBuilder::AppendFinalStretch()
{
    if (m_stretchDone || m_stretch == 1.0)
        return true;
    return AppendScaleToOutput();
}

bool CTlChainBuilder::AppendScaleToOutput()
{
    CKelvraFilterScale* scale = MakeScale();
    if (scale == nullptr || !Check(scale->SetSize(m_output.width, m_output.height, false)) || !Append(scale))
        return false;
    m_stretchDone = true;
    return true;
}
