// The key the registry serialisers work in: HKEY_CURRENT_USER, the current
// registry key helper's module key, sub-key "LastSettings" (string 4001 of
// the calling library's own string table).
#pragma once

#include "registry/TlRegistryHelper.h"

#include <string>

const UINT kTlLastSettingsStringId = 4001;

class CTlLastSettingsKey {
public:
    // Loads the sub-key name from the current module's string table.
    CTlLastSettingsKey();

    // Each answers like the helper's operation of the same name; without a
    // current helper or a sub-key name, reads give the default and writes false.
    DWORD ReadDword(const std::string& name, DWORD def) const;
    std::string ReadString(const std::string& name) const;
    bool ReadValue(const std::string& name, TlRegistryValue& value) const;
    bool WriteDword(const std::string& name, DWORD value) const;
    bool WriteString(const std::string& name, const std::string& text) const;
    bool WriteBinary(const std::string& name, const void* data, std::size_t size) const;

private:
    // The helper to use now: the current one, looked up on every access so
    // that a helper destroyed meanwhile is never used.
    const CTlRegistryHelper* Helper() const;

    std::string m_section;
};
