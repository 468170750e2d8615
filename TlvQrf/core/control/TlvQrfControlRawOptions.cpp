// The raw options: white-balance and adjustment overrides and the colour
// management switch. The overrides live in the holder's second white-balance
// and adjustment records.
#include "control/TlvQrfControl.h"

#include "control/TlControlCodes.h"
#include "control/TlControlRecords.h"
#include "control/TlControlState.h"

using namespace TlvQrfLib;

namespace {

enum : std::uint32_t { kOptionUnsupported = 1, kOptionWhiteBalance = 2, kOptionAdjustment = 3, kOptionColour = 4 };

template <class Value>
const Value* ValueOf(const strTlnRawOption& option)
{
    const auto* value = static_cast<const Value*>(option.value);
    return value != nullptr && value->size == sizeof(Value) ? value : nullptr;
}

template <class Value>
Value* WritableValueOf(strTlnRawOption& option)
{
    auto* value = static_cast<Value*>(option.value);
    return value != nullptr && value->size == sizeof(Value) ? value : nullptr;
}

} // namespace

IKelvraError* CTlvQrfControl::SetWhiteBalanceOption(const strTlnWhiteBalanceOption* value, std::uint32_t& changes)
{
    if (value == nullptr)
        return TL_CONTROL_ERROR(kTlErrBadArgument);
    IKelvraError::Release(ReadImageInformation());
    if (m_image.whiteBalanceOverride && value->preset == m_image.rawPreset && value->fineTune == m_image.fineTune)
        return nullptr;
    m_image.whiteBalanceOverride = true;
    m_image.rawPreset = value->preset;
    m_image.fineTune = static_cast<std::uint16_t>(value->fineTune);
    secondWhiteBalance.mode = CTlWhiteBalanceState::kModeTemperature;
    secondWhiteBalance.preset = FilterWhiteBalancePreset(value->preset);
    secondWhiteBalance.temperature = m_image.fineTune;
    secondWhiteBalance.further = modelCode;
    changes |= ITlvQrfData::eWhiteBalance;
    return nullptr;
}

IKelvraError* CTlvQrfControl::SetAdjustmentOption(const strTlnAdjustmentOption* value, std::uint32_t& changes)
{
    if (value == nullptr)
        return TL_CONTROL_ERROR(kTlErrBadArgument);
    IKelvraError::Release(ReadImageInformation());
    if (m_image.adjustmentOverride && value->value == secondAdjust.value)
        return nullptr;
    m_image.adjustmentOverride = true;
    secondAdjust.value = value->value;
    changes |= ITlvQrfData::eAdjustment;
    return nullptr;
}

IKelvraError* CTlvQrfControl::SetColourOption(const strTlnColourOption* value, std::uint32_t& changes)
{
    if (value == nullptr)
        return TL_CONTROL_ERROR(kTlErrBadArgument);
    m_rawOption4 = value->enabled;
    if (m_chain != nullptr)
        m_chain->SetColourManagement(m_rawOption4 != 0);
    changes |= ITlvQrfData::eColourManagement;
    return nullptr;
}

IKelvraError* TLV_CALL CTlvQrfControl::SetRawOption(strTlnRawOption* option)
{
    TL_CONTROL_STATE();
    if (IKelvraError* error = CheckRecord(option))
        return error;
    if (option->value == nullptr)
        return TL_CONTROL_ERROR(kTlErrBadArgument);
    std::uint32_t changes = 0;
    IKelvraError* error = nullptr;
    switch (option->type) {
    case kOptionUnsupported: return TL_CONTROL_ERROR(kTlErrUnsupported);
    case kOptionWhiteBalance:
        error = SetWhiteBalanceOption(ValueOf<strTlnWhiteBalanceOption>(*option), changes);
        break;
    case kOptionAdjustment:
        error = SetAdjustmentOption(ValueOf<strTlnAdjustmentOption>(*option), changes);
        break;
    case kOptionColour: error = SetColourOption(ValueOf<strTlnColourOption>(*option), changes); break;
    default: return TL_CONTROL_ERROR(kTlErrBadArgument);
    }
    return error != nullptr ? error : UpdateForSetter(changes);
}

IKelvraError* TLV_CALL CTlvQrfControl::GetRawOption(strTlnRawOption* option)
{
    TL_CONTROL_STATE();
    if (IKelvraError* error = CheckRecord(option))
        return error;
    if (option->value == nullptr)
        return TL_CONTROL_ERROR(kTlErrBadArgument);
    switch (option->type) {
    case kOptionUnsupported: return TL_CONTROL_ERROR(kTlErrUnsupported);
    case kOptionWhiteBalance:
        if (auto* value = WritableValueOf<strTlnWhiteBalanceOption>(*option)) {
            value->preset = m_image.whiteBalanceOverride ? m_image.rawPreset : 0;
            value->fineTune = m_image.whiteBalanceOverride ? m_image.fineTune : 0;
            return nullptr;
        }
        break;
    case kOptionAdjustment:
        if (auto* value = WritableValueOf<strTlnAdjustmentOption>(*option)) {
            value->value = m_image.adjustmentOverride ? secondAdjust.value : 0.0;
            return nullptr;
        }
        break;
    case kOptionColour:
        if (auto* value = WritableValueOf<strTlnColourOption>(*option)) {
            value->enabled = m_rawOption4;
            return nullptr;
        }
        break;
    default: break;
    }
    return TL_CONTROL_ERROR(kTlErrBadArgument);
}

IKelvraError* TLV_CALL CTlvQrfControl::ResetRawOption(strTlnRawOption* option)
{
    TL_CONTROL_STATE();
    if (IKelvraError* error = CheckRecord(option))
        return error;
    std::uint32_t changes = 0;
    switch (option->type) {
    case kOptionUnsupported: return TL_CONTROL_ERROR(kTlErrUnsupported);
    case kOptionWhiteBalance:
        if (m_image.whiteBalanceOverride)
            changes |= ITlvQrfData::eWhiteBalance;
        m_image.whiteBalanceOverride = false;
        m_image.rawPreset = 0;
        m_image.fineTune = 0;
        secondWhiteBalance.preset = 0;
        secondWhiteBalance.temperature = 0;
        break;
    case kOptionAdjustment:
        if (m_image.adjustmentOverride)
            changes |= ITlvQrfData::eAdjustment;
        m_image.adjustmentOverride = false;
        secondAdjust.value = 0.0;
        break;
    case kOptionColour:
        if (m_rawOption4 == 0) {
            m_rawOption4 = 1;
            // The chain is told too, so that the update the reset sends acts on it.
            if (m_chain != nullptr)
                m_chain->SetColourManagement(true);
            changes |= ITlvQrfData::eColourManagement;
        }
        break;
    default: return TL_CONTROL_ERROR(kTlErrBadArgument);
    }
    return UpdateForSetter(changes);
}
