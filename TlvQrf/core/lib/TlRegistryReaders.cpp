#include "lib/TlRegistryReaders.h"

#include "afxwin.h"
#include "registry/TlRegistryHelper.h"
#include "res/TlbQrfResource.h"

namespace {

struct KeyLocation {
    HKEY root;
    bool useCommon;
};

bool IsKnownKind(int kind)
{
    return kind >= kTlMachineLibraryKey && kind <= kTlUserCommonKey;
}

KeyLocation LocationOf(int kind)
{
    switch (kind) {
    case kTlMachineLibraryKey: return {HKEY_LOCAL_MACHINE, false};
    case kTlMachineCommonKey: return {HKEY_LOCAL_MACHINE, true};
    case kTlUserCommonKey: return {HKEY_CURRENT_USER, true};
    default: return {HKEY_CURRENT_USER, false};
    }
}

} // namespace

bool RegistryValueExists(int kind, const char* subKey, const char* valueName)
{
    CTlRegistryHelper* helper = CTlRegistryHelper::GetCurrent();
    if (!helper)
        return false;
    const KeyLocation where = LocationOf(kind);
    HKEY key = nullptr;
    if (!helper->OpenKey(where.root, subKey, &key, where.useCommon, false, false))
        return false;
    const bool exists = RegQueryValueExA(key, valueName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return exists;
}

DWORD ReadRegistryDword(int kind, const char* subKey, const char* valueName, DWORD def)
{
    CTlRegistryHelper* helper = CTlRegistryHelper::GetCurrent();
    if (!helper || !IsKnownKind(kind))
        return def;
    const KeyLocation where = LocationOf(kind);
    return helper->ReadDword(where.root, subKey, valueName, def, where.useCommon);
}

std::string ReadRegistryString(int kind, const char* subKey, const char* valueName, const char* def)
{
    if (!IsKnownKind(kind))
        return std::string();
    CTlRegistryHelper* helper = CTlRegistryHelper::GetCurrent();
    if (!helper)
        return def ? def : "";
    const KeyLocation where = LocationOf(kind);
    return helper->ReadString(where.root, subKey, valueName, def, where.useCommon);
}

bool RegistryValueExistsById(int kind, UINT subKeyId, UINT valueId)
{
    return RegistryValueExists(kind, AfxLoadString(subKeyId).c_str(), AfxLoadString(valueId).c_str());
}

std::string ReadRegistryStringById(int kind, UINT subKeyId, UINT valueId, const char* def)
{
    return ReadRegistryString(kind, AfxLoadString(subKeyId).c_str(), AfxLoadString(valueId).c_str(), def);
}

bool ReadProfilePreference(UINT preferenceId, std::string& path)
{
    switch (preferenceId) {
    case IDS_PREF_MONITOR_PROFILE:
    case IDS_PREF_RGB_PROFILE:
    case IDS_PREF_CMYK_PROFILE:
    case IDS_PREF_PRINTER_PROFILE:
        break;
    default:
        return false;
    }
    const int kind = RegistryValueExistsById(kTlUserCommonKey, IDS_KEY_COLOR_MANAGEMENT, preferenceId)
                         ? kTlUserCommonKey
                         : kTlMachineCommonKey;
    path = ReadRegistryStringById(kind, IDS_KEY_COLOR_MANAGEMENT, preferenceId, "");
    return true;
}
