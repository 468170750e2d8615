// The preview mode record and the capture settings the host reads.
#include "control/TlvQrfControl.h"

#include "control/TlControlCodes.h"
#include "control/TlControlRecords.h"
#include "control/TlControlState.h"

#include <cstring>

using namespace TlvQrfLib;

IKelvraError* TLV_CALL CTlvQrfControl::SetMode(strTlnModeParam* mode)
{
    TL_CONTROL_STATE();
    if (IKelvraError* error = CheckRecord(mode))
        return error;
    if (mode->previewMode > 3 || mode->interpolation > 3 || mode->cacheChoice > 1 || mode->chainVariant > 2)
        return TL_CONTROL_ERROR(kTlErrBadArgument);
    if (mode->chainVariant != 0 && mode->chainVariant != m_chainVariant) {
        m_chainVariant = mode->chainVariant;
        if (m_chain != nullptr && m_chain->SetChannelOrder(m_chainVariant == 2) != 0)
            return TL_CONTROL_ERROR(kTlErrFailed);
    }
    if (mode->interpolation != 0 && mode->interpolation != m_interpolation) {
        m_interpolation = mode->interpolation;
        if (m_chain != nullptr && m_chain->SetScaleMethod(ScaleMethodOf(m_interpolation)) != 0)
            return TL_CONTROL_ERROR(kTlErrFailed);
    }
    if (mode->cacheChoice != m_cacheChoice) {
        m_cacheChoice = mode->cacheChoice;
        if (m_chain != nullptr)
            m_chain->SetCacheUsage(CachePolicyOf(m_cacheChoice));
    }
    if (mode->previewMode == 0 || mode->previewMode == m_previewMode)
        return nullptr;
    if (m_chain != nullptr) {
        m_chain->SetMode(ChainModeOf(mode->previewMode));
        const bool wholeChain = mode->previewMode == 1 || m_previewMode == 1;
        const int status = RunPreviewUpdate(wholeChain ? ITlvQrfData::eAll : ITlvQrfData::ePreviewMode);
        if (status != 0)
            return ChainStatusToError(status, __LINE__);
    }
    m_previewMode = mode->previewMode;
    m_modeFromHost = true;
    return nullptr;
}

IKelvraError* TLV_CALL CTlvQrfControl::GetMode(strTlnModeParam* mode)
{
    TL_CONTROL_STATE();
    if (IKelvraError* error = CheckRecord(mode))
        return error;
    mode->previewMode = m_previewMode;
    mode->interpolation = m_interpolation;
    mode->cacheChoice = m_cacheChoice;
    mode->chainVariant = m_chainVariant;
    return nullptr;
}

IKelvraError* TLV_CALL CTlvQrfControl::GetCaptureSettings(strTlnVQParam* settings)
{
    TL_CONTROL_STATE();
    if (IKelvraError* error = CheckRecordAndRead(settings))
        return error;
    std::int32_t whole = 0;
    double fraction = 0.0;
    switch (settings->type) {
    case 1:
        whole = adjustUsed != 0 && adjust.mode >= 1 && adjust.mode <= 4 ? adjust.mode : 0;
        break;
    case 2:
        whole = m_storedEditState;
        break;
    case 3:
        fraction = adjustUsed == 1 ? adjust.value : 0.0;
        break;
    default:
        return TL_CONTROL_ERROR(kTlErrBadArgument);
    }
    const bool isDouble = settings->type == 3;
    const std::uint32_t kind = isDouble ? 2 : 1;
    const std::uint32_t size = isDouble ? sizeof fraction : sizeof whole;
    if (settings->value == nullptr) {
        settings->kind = kind;
        settings->valueSize = size;
        return nullptr;
    }
    // The caller's buffer is only as large as it says: check before writing.
    if (settings->kind != kind || settings->valueSize != size)
        return TL_CONTROL_ERROR(kTlErrBadArgument);
    if (isDouble)
        std::memcpy(settings->value, &fraction, size);
    else
        std::memcpy(settings->value, &whole, size);
    return nullptr;
}
