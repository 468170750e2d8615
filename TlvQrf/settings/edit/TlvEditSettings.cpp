#include "settings/edit/TlvEditSettings.h"

#include "settings/edit/TlvEditSlots.h"
#include "settings/record/TlStateIds.h"

CTlvEditSettings::CTlvEditSettings(std::uint16_t flipValue, std::uint16_t angleValue)
    : flip(flipValue), angle(angleValue)
{
}

CTlvEditSettings::~CTlvEditSettings() = default;

const TlGuid* CTlvEditSettings::GetID() const
{
    return &kTlIdEditSettings;
}

int CTlvEditSettings::Load(const unsigned char*, int)
{
    return 0;
}

void CTlvEditSettings::UpdateDefaultFlags()
{
    for (const TlvEditSlot& slot : TlvEditSlots()) {
        if (slot.atDefaults != nullptr && slot.atDefaults(*this))
            *slot.flag(*this) = 1;
    }
}
