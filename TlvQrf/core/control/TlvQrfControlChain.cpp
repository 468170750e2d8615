// The control's preview chain object: making and building it, handing it the
// control's state, and the preview updates that follow.
#include "control/TlvQrfControl.h"

#include "control/TlControlCodes.h"
#include "control/TlControlRecords.h"
#include "control/TlControlState.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraTagControl.h"
#include "lib/TlLibraryState.h"
#include "params/TlvParamSet.h"
#include "raw/TlTagBytes.h"

#include <windows.h>

#include <memory>
#include <new>
#include <vector>

namespace {

// Chain statuses the control acts on itself.
constexpr int kStatusNoMemory = 3;
constexpr int kStatusBusy = 17;

// The records a reset update treats as missing.
void ClearForReset(CTlvParamSet& params)
{
    params.sharpeningList = nullptr;
    params.firstCurves = nullptr;
    params.secondCurves = nullptr;
    params.adjust = nullptr;
    params.whiteBalance = nullptr;
    params.levelTriple = nullptr;
    params.vignette = nullptr;
    params.redEye = nullptr;
    params.dust = nullptr;
    params.revelation = nullptr;
    params.fisheye = nullptr;
    params.lch = nullptr;
    params.rotation = 0;
    params.showLostHighlights = 0;
    params.showLostShadows = 0;
}

} // namespace

IKelvraError* TLV_CALL CTlvQrfControl::GetFilterChain(IKelvraFilterChain** out)
{
    TL_CONTROL_STATE();
    if (!m_initialised || m_manager == nullptr || images.tags == nullptr || images.image == nullptr)
        return TL_CONTROL_ERROR(kTlErrNotReady);
    if (out == nullptr)
        return TL_CONTROL_ERROR(kTlErrBadArgument);
    IKelvraError* kept = ReadImageInformation();
    // A chain torn down by a failed connect is built anew.
    if (m_chain != nullptr && !m_chain->IsBuilt()) {
        delete m_chain;
        m_chain = nullptr;
    }
    if (m_chain == nullptr) {
        if (IKelvraError* error = CreateChain()) {
            IKelvraError::Release(kept);
            return error;
        }
    }
    if (kept != nullptr)
        return kept;
    *out = m_chain->GetChain();
    return *out != nullptr ? nullptr : TL_CONTROL_ERROR(kTlErrFailed);
}

IKelvraError* CTlvQrfControl::CreateChain()
{
    const TlPreviewChainFactory factory = GetPreviewChainFactory();
    ITlPreviewChain* chain = nullptr;
    try {
        chain = factory != nullptr ? factory(m_manager) : nullptr;
    } catch (const std::bad_alloc&) {
        return TL_CONTROL_ERROR(kTlErrFailed);
    }
    if (chain == nullptr)
        return TL_CONTROL_ERROR(kTlErrNoMemory);
    m_chain = chain;
    LoadDustEngine();
    PushStateIntoChain();
    int status = m_chain->Build(m_manager, images.image, nullptr);
    if (status == 0)
        status = RunPreviewUpdate(ITlvQrfData::eAll);
    if (status == 0)
        return nullptr;
    // The host reads which filter failed, and why, after the control's code.
    IKelvraError* cause = m_chain->TakeFailure();
    delete m_chain;
    m_chain = nullptr;
    return IKelvraError::AddWorker(ChainStatusToError(status, __LINE__), 0, __LINE__, cause);
}

// A dust record with reference data builds its engine from the map the file
// stores; a map that cannot be read leaves the record as it is.
void CTlvQrfControl::LoadDustEngine()
{
    if (dustUsed == 0 || dust.IsDefault() || !images.tags->HasTag(kTlDustReferenceTag, 0))
        return;
    const std::vector<unsigned char> bytes = ReadWholeTag(*images.tags, kTlDustReferenceTag);
    if (bytes.empty())
        return;
    dust.CreateEngine(m_manager, bytes.data(), bytes.size());
}

void CTlvQrfControl::PushStateIntoChain()
{
    m_chain->SetCacheUsage(CachePolicyOf(m_cacheChoice));
    m_chain->SetChannelOrder(m_chainVariant == 2);
    m_chain->SetScaleMethod(ScaleMethodOf(m_interpolation));
    m_chain->SetOutputColour(m_image.colour);
    m_chain->SetColourManagement(m_rawOption4 != 0);
    m_chain->SetUserSize(m_image.displayWidth, m_image.displayHeight);
    m_chain->SetSizeMode(m_chainVariant != 2 ? 1 : 0);
    // A chain whose mode the host never chose keeps its own default.
    if (m_modeFromHost)
        m_chain->SetMode(ChainModeOf(m_previewMode));
}

unsigned long TLV_CALL CTlvQrfControl::InitializeFilterChain(IKelvraImage* image, IKelvraTagControl* tags,
                                                    unsigned long /*unused*/)
{
    TL_CONTROL_STATE();
    if (image == nullptr || tags == nullptr) {
        image = images.image;
        tags = images.tags;
    } else if (m_initialised) {
        // An initialised control keeps its chain; only the pointers change.
        images.image = image;
        images.tags = tags;
    }
    m_chainVariant = 2;
    IKelvraError* kept = Initialize(TlvQrfLib::GetGlobalManager(), image, tags);
    if (m_chain == nullptr) {
        IKelvraFilterChain* chain = nullptr;
        IKelvraError::Release(GetFilterChain(&chain));
        if (m_chain == nullptr) {
            IKelvraError::Release(kept);
            return kTlResultNoMemory;
        }
    }
    m_initialised = true;
    IKelvraError::Release(kept);
    return kTlResultOk;
}

unsigned long TLV_CALL CTlvQrfControl::Update(std::uint32_t changes, bool reset, void* context)
{
    TL_CONTROL_STATE();
    if (m_chain == nullptr)
        return kTlResultFailed;
    m_busy = true;
    if ((changes & ITlvQrfData::eRotation) != 0) {
        geometry.SetRotation(flip, angle, true);
        changes |= ITlvQrfData::eGeometry;
    }
    const int status = UpdateChain(changes, reset, viewScale, context);
    m_busy = false;
    return ChainStatusToCode(status);
}

int CTlvQrfControl::RunPreviewUpdate(std::uint32_t changes)
{
    return UpdateChain(changes, false, m_image.currentScale, nullptr);
}

// A change refused while another update ran is not lost: it waits in the
// chain's pending mask and runs here, with the settings as they are then.
int CTlvQrfControl::UpdateChain(std::uint32_t changes, bool reset, double viewScale, void* context)
{
    int status = kStatusBusy;
    for (bool first = true; first || m_chain->GetReplayChanges() != 0; first = false) {
        if (!first && status == kStatusBusy)
            Sleep(1);
        std::unique_ptr<CTlvParamSet> params(CreateParamSet());
        if (!params)
            return kStatusNoMemory;
        if (reset)
            ClearForReset(*params);
        status = m_chain->Update(*params, first ? changes : 0, viewScale, 0, context);
    }
    return status;
}

IKelvraError* CTlvQrfControl::UpdateForSetter(std::uint32_t changes)
{
    if (m_chain == nullptr || changes == 0)
        return nullptr;
    return ChainStatusToError(RunPreviewUpdate(changes), __LINE__);
}
