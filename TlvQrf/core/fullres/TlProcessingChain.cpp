// The build's course: the switches the settings give, the progress shares,
// the source size handed to the geometry, and the stages in their order.
#include "fullres/TlProcessingChain.h"

#include "fullres/TlChainBuilder.h"
#include "fullres/TlFullResColour.h"

#include "params/TlProgressRelay.h"
#include "params/TlSaturationCompensation.h"
#include "params/TlSharpeningPresets.h"
#include "params/TlToneLuts.h"
#include "params/TlvParamSet.h"

#include "filters/sigcore/TlSigProcImage.h"
#include "kelvra/KelvraFilterChain.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"

#include <cstdio>

namespace {

template <typename Record>
bool Active(std::uint32_t flag, Record* record)
{
    return flag != 0 && record != nullptr && !record->IsDefault();
}

bool WantsLabStage(const CTlvParamSet& p, bool reduced)
{
    const CTlTripleValueState* triple = p.LevelTriple();
    return triple != nullptr && triple->first != 0 && !reduced;
}

bool WantsLchStage(const CTlvParamSet& p)
{
    int hue = 3, level = 0;
    double saturation = 1.0;
    return Active(p.sharpeningListFlag, p.sharpeningList) || Active(p.lchFlag, p.lch) ||
           Active(p.chromaBoostFlag, p.chromaBoost) || GetHueSaturation(p, &hue, &saturation) ||
           GetCameraSharpening(&p) || GetMixerSharpening(&p) || GetSaturationCompensation(p, &level);
}

bool OnRawTonePath(const CTlvParamSet& p)
{
    return p.rawFlag != 0 && !p.IsSignalProcessingModel();
}

} // namespace

// Lab and LCh data, and raw tones in the camera's space, must not reach a
// file: the chain then ends in the output profile, as the preview does.
bool EndsInOutputProfile(const CTlvParamSet& params, bool reducedMode)
{
    return params.outputProfileFlag != 0 || OnRawTonePath(params) || WantsLabStage(params, reducedMode) ||
           WantsLchStage(params);
}

CTlChainBuilder::CTlChainBuilder(IKelvraManager* manager, const CTlvParamSet& params, bool reduced, double scale,
                                 long longSide)
    : m_manager(manager), m_params(params), m_state(FullResState()), m_reduced(reduced), m_scale(scale),
      m_longSide(longSide)
{
}

CTlChainBuilder::~CTlChainBuilder()
{
    IKelvraError::Release(m_failure);
}

IKelvraError* CTlChainBuilder::TakeFailure()
{
    IKelvraError* failure = m_failure;
    m_failure = nullptr;
    return failure;
}

int CTlChainBuilder::Build()
{
    if (m_manager == nullptr) {
        m_doing = "its filter chain";
        Fail(kTlChainCannotAllocate);
        return kTlChainCannotAllocate;
    }
    // A raw-processing source may develop while the build reads its format
    // and size; its progress goes to the save for that time only.
    CScopedProgressRelay progress(m_params.image);
    m_doing = "its filter chain";
    if (!Check(m_manager->CreateFilterChain(&m_state.chain), kTlChainCannotAllocate))
        return kTlChainCannotAllocate;
    if (m_state.chain == nullptr) {
        Fail(kTlChainCannotAllocate);
        return kTlChainCannotAllocate;
    }
    // Without the destination the stages are still built; the caller fails
    // on the result.
    m_doing = "its destination image";
    if (!Check(m_manager->CreateImage(&m_state.destination), kTlChainCannotAllocate) ||
        m_state.destination == nullptr) {
        KeepFailure(kTlChainCannotAllocate, nullptr);
        m_failed = false;
        m_result = kTlChainCannotAllocate;
    }
    WorkOutSwitches();
    HandSourceSizeToGeometry();
    WorkOutProgressShares();
    m_doing = "the source's pixel format";
    if (m_params.image == nullptr) {
        Fail(kTlChainNoSourceFormat);
        return kTlChainNoSourceFormat;
    }
    if (!Check(m_params.image->GetColorSpace(&m_format), kTlChainNoSourceFormat))
        return kTlChainNoSourceFormat;
    m_sourceBits = (m_format & kTlSixteenBitFormat) != 0 ? 16 : 8;
    m_bitsSoFar = m_sourceBits;
    AppendStages();
    if (m_failed && m_result == 0)
        return kTlChainError;
    return m_result;
}

void CTlChainBuilder::WorkOutSwitches()
{
    const CTlvParamSet& p = m_params;
    const CTlTripleValueState* triple = p.LevelTriple();
    m_lab = WantsLabStage(p, m_reduced);
    m_moire = triple != nullptr && triple->second != 0 && !m_reduced;
    m_lch = WantsLchStage(p);
    m_dust = Active(p.dustFlag, p.dust) && (!m_reduced || p.dust->GetDustMap() != nullptr);
    m_vignette = Active(p.vignetteFlag, p.vignette) && !m_reduced;
    m_revelation = Active(p.revelationFlag, p.revelation) && !m_reduced;
    m_redEye = Active(p.redEyeFlag, p.redEye) && !m_reduced;
    m_rawTone = OnRawTonePath(p);
    m_stretch = PendingStretch(p);
}

void CTlChainBuilder::WorkOutProgressShares()
{
    // Fewer analysis stages each weigh more: 60, 40 or 20 points.
    static const int kShares[4] = {0, 60, 40, 20};
    const int share = kShares[int(m_redEye) + int(m_dust) + int(m_revelation)];
    m_state.redEyeShare = m_redEye ? share : 0;
    m_state.dustShare = m_dust ? share : 0;
    m_state.revelationShare = m_revelation ? share : 0;
}

// The geometry learns the size the source develops to, in its orientation.
// It is compared with the geometry's image size: handing it over when only
// the output was scaled would undo the user's output size.
void CTlChainBuilder::HandSourceSizeToGeometry()
{
    STlSize size;
    if (m_params.geometry == nullptr || !GetOutputSize(m_params, &size))
        return;
    if (SwapsSides(m_params.rotation))
        std::swap(size.width, size.height);
    if (double(size.width) != m_params.geometry->GetImageWidth() ||
        double(size.height) != m_params.geometry->GetImageHeight())
        m_params.geometry->ResizeToImage(int(size.width), int(size.height));
}

// The stages in the one stage order; each is made only when its settings
// ask for it.
bool CTlChainBuilder::AppendStages()
{
    for (TlStageOrder::TlStage stage : TlStageOrder::FullResolutionOrder()) {
        m_doing = TlStageOrder::StageEntry(stage).name;
        if (!AppendStage(stage))
            return false;
    }
    return true;
}

bool CTlChainBuilder::AppendStage(TlStageOrder::TlStage stage)
{
    using S = TlStageOrder::TlStage;
    switch (stage) {
    case S::Resolution: return AppendResolution();
    case S::DeBayer: return AppendDeBayer();
    case S::SquareTable: return AppendTableA();
    case S::Dust: return AppendDust();
    case S::Vignette: return AppendVignette();
    case S::RootTable: return AppendRootTable();
    case S::Moire: return AppendMoire();
    case S::Revelation: return AppendRevelation();
    case S::SecondSquareTable: return AppendTableC();
    case S::ToneTable: return AppendToneTable();
    case S::RedEye: return AppendRedEye();
    case S::PreStretch: return AppendPreStretch();
    case S::Fisheye: return AppendFisheye();
    case S::Crop: return AppendCrop();
    case S::FineEdge: return AppendFineEdge();
    case S::Lab: return AppendLab();
    case S::ColourNoise: return AppendColourNoise();
    // The output size is known once the noise work is set; the main scale
    // brings the picture to it.
    case S::MainScale: return WorkOutOutputSize() && AppendMainScale();
    case S::Lch: return AppendLch();
    case S::Saturation: return AppendSaturation();
    case S::ChromaBoost: return AppendChromaBoost();
    case S::LchCurves: return AppendLchCurves();
    case S::CameraSharpening: return AppendPresetSharpening(GetCameraSharpening, ApplyCameraSharpening);
    case S::MixerSharpening: return AppendPresetSharpening(GetMixerSharpening, ApplyMixerSharpening);
    case S::ListSharpening: return AppendListSharpening();
    case S::OutputColour: return AppendOutputColour();
    case S::Transform: return AppendTransform();
    case S::BrightnessHistogram: return AppendHistogram();
    case S::CurveTable: return AppendCurveTable();
    case S::AutoBrightness: return AppendAutoBrightness();
    case S::ChannelMixer: return AppendChannelMixer();
    case S::ToningTable: return AppendToningTable();
    case S::ColourSpace: return AppendColourSpace();
    case S::Upscale: return AppendUpscale();
    case S::FinalStretch: return AppendFinalStretch();
    default: return true; // a stage of the preview only
    }
}

bool CTlChainBuilder::Append(CKelvraFilterBase* filter)
{
    return Check(m_state.chain->InsertFilter(filter, -1));
}

bool CTlChainBuilder::Check(IKelvraError* error, int code)
{
    if (error == nullptr)
        return true;
    return Fail(code, error);
}

bool CTlChainBuilder::Fail(int code, IKelvraError* cause)
{
    KeepFailure(code, cause);
    if (m_result == 0)
        m_result = code;
    m_failed = true;
    return false;
}

void CTlChainBuilder::FailAndGoOn(int code)
{
    KeepFailure(code, nullptr);
    if (m_result == 0)
        m_result = code;
}

// Only the first failure says why the build failed; the later ones follow
// from it.
void CTlChainBuilder::KeepFailure(int code, IKelvraError* cause)
{
    if (m_failure != nullptr) {
        IKelvraError::Release(cause);
        return;
    }
    char text[160];
    std::snprintf(text, sizeof text, "the development chain could not be built at %s (%d)", m_doing,
                  code != 0 ? code : int(kTlChainError));
    m_failure = IKelvraError::AddWorker(IKelvraError::Add(nullptr, 0, __LINE__, text), 0, __LINE__, cause);
}

bool CTlChainBuilder::Colour(const char* target, long outputBits, CKelvraFilterCML** made)
{
    bool appended = false;
    *made = nullptr;
    IKelvraError* why = nullptr;
    const int code =
        AppendColourStage(m_manager, m_params, {target, outputBits}, &m_bitsSoFar, &appended, made, &why);
    if (code != 0)
        return Fail(code, why);
    IKelvraError::Release(why);
    return true;
}

int BuildProcessingChain(IKelvraManager* manager, const CTlvParamSet& params, bool reducedMode, double scale,
                         long longSide, IKelvraError** failure)
{
    CTlChainBuilder builder(manager, params, reducedMode, scale, longSide);
    const int result = builder.Build();
    if (failure != nullptr)
        *failure = builder.TakeFailure();
    return result;
}
