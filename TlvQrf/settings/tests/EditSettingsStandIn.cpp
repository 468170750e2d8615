// A stand-in for the top-level record's definitions, linked into the tests
// only while the record's own sources are missing (see CMakeLists.txt): it
// saves and loads nothing, so the tests that store a record fail until the
// real one is in.
#include "settings/edit/TlvEditSettings.h"

namespace {
const TlGuid kEditSettingsId = {0x7A86A940, 0xE91B, 0x11D2, {0xA9, 0x0A, 0x00, 0xAA, 0x00, 0xB1, 0xC1, 0xB7}};
}

CTlvEditSettings::CTlvEditSettings(std::uint16_t flipValue, std::uint16_t angleValue)
    : flip(flipValue), angle(angleValue)
{
}

CTlvEditSettings::~CTlvEditSettings() = default;

int CTlvEditSettings::Save(unsigned char*, int)
{
    return 0;
}

int CTlvEditSettings::Load(const unsigned char*, int)
{
    return 0;
}

const TlGuid* CTlvEditSettings::GetID() const
{
    return &kEditSettingsId;
}

int CTlvEditSettings::Load(const unsigned char*, int, int, int)
{
    return 0;
}

void CTlvEditSettings::UpdateDefaultFlags() {}
