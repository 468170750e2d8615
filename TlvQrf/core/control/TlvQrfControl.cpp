// The control's life: construction, the two initialisations, clean-up and
// destruction, and the operations that only read its state.
#include "control/TlvQrfControl.h"

#include "control/TlControlCodes.h"
#include "control/TlControlState.h"
#include "kelvra/KelvraError.h"
#include "lib/TlLibraryState.h"

#include <new>

CTlvQrfControl::CTlvQrfControl() : m_manager(TlvQrfLib::GetGlobalManager()) {}

// The chain object and the temporary profile are Cleanup's: Destroy runs it.
CTlvQrfControl::~CTlvQrfControl() = default;

unsigned long CreateQrfControl(ITlvQrfData** out)
{
    CTlvQrfControl* control = nullptr;
    try {
        control = new CTlvQrfControl();
    } catch (const std::bad_alloc&) {
        return kTlResultNoMemory;
    }
    const unsigned long result = control->Initialize();
    if (result >= 0x1000) {
        control->Destroy();
        return result;
    }
    if (out != nullptr)
        *out = control;
    else
        control->Destroy();
    return result;
}

unsigned long TLV_CALL CTlvQrfControl::Initialize()
{
    TL_CONTROL_STATE();
    return kTlResultOk;
}

IKelvraError* TLV_CALL CTlvQrfControl::Initialize(IKelvraManager* manager, IKelvraImage* image, IKelvraTagControl* tags)
{
    TL_CONTROL_STATE();
    if (tags == nullptr || (manager == nullptr) != (image == nullptr))
        return TL_CONTROL_ERROR(kTlErrBadArgument);
    if (m_initialised)
        return TL_CONTROL_ERROR(kTlErrNotReady);
    m_manager = manager;
    // After a Cleanup the held picture may be another one: what a load
    // registered for the old picture is released, not leaked.
    ReplaceImages(image, tags);
    m_initialised = true;
    if (IKelvraError* error = ReadImageInformation())
        return error;
    if (m_formatClass == 2 || m_formatClass == 3)
        return TL_CONTROL_ERROR(kTlErrUnsupported);
    return nullptr;
}

void TLV_CALL CTlvQrfControl::Destroy()
{
    TL_CONTROL_STATE();
    IKelvraError::Release(Cleanup(false));
    delete this;
}

IKelvraError* TLV_CALL CTlvQrfControl::Cleanup(bool keepSettings)
{
    TL_CONTROL_STATE();
    delete m_chain;
    m_chain = nullptr;
    if (keepSettings)
        return nullptr;
    ResetViewState();
    DropEmbeddedProfile();
    return nullptr;
}

void CTlvQrfControl::ResetViewState()
{
    m_image.baseScale = m_image.currentScale = m_image.aspect = 1.0;
    m_previewMode = 2;
    m_interpolation = 1;
    m_cacheChoice = 1;
    m_chainVariant = 1;
    m_modeFromHost = false;
    m_rawOption4 = 1;
    m_sourceBytes = 0;
    m_formatClass = 0;
    m_storedEditState = 0;
    m_storedPixelFormat = 0;
    fullWidth = fullHeight = 0;
    m_image.displayWidth = m_image.displayHeight = 0;
    m_initialised = false;
    m_informationRead = false;
    angle = 0;
    flip = 0;
}

void CTlvQrfControl::DropEmbeddedProfile()
{
    if (m_image.embeddedProfile)
        DeleteFileA(m_image.profilePath);
    m_image.embeddedProfile = false;
}

CTlvImageAttributes* TLV_CALL CTlvQrfControl::GetImageAttributes()
{
    TL_CONTROL_STATE();
    return this;
}

ITlPreviewChain* TLV_CALL CTlvQrfControl::GetEditChain()
{
    TL_CONTROL_STATE();
    return m_chain;
}

IKelvraFilterChain* TLV_CALL CTlvQrfControl::GetFilterChain() const
{
    TL_CONTROL_STATE();
    return m_chain != nullptr ? m_chain->GetChain() : nullptr;
}

IKelvraTagControl* TLV_CALL CTlvQrfControl::GetTags() const
{
    TL_CONTROL_STATE();
    return images.tags;
}

bool TLV_CALL CTlvQrfControl::IsBusy()
{
    TL_CONTROL_STATE();
    return m_busy;
}

bool TLV_CALL CTlvQrfControl::IsReady()
{
    TL_CONTROL_STATE();
    return m_chain != nullptr && m_chain->IsBuilt();
}

unsigned long TLV_CALL CTlvQrfControl::Connect(IKelvraDataDestination* sink)
{
    TL_CONTROL_STATE();
    return m_chain != nullptr ? ChainStatusToCode(m_chain->Connect(sink)) : kTlResultOk;
}

unsigned long TLV_CALL CTlvQrfControl::DisConnect(IKelvraDataDestination* sink)
{
    TL_CONTROL_STATE();
    return m_chain != nullptr ? ChainStatusToCode(m_chain->Disconnect(sink)) : kTlResultFailed;
}
