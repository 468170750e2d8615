#include "serialize/TlLastSettingsKey.h"

#include "afxwin.h"
#include "common/TlNoThrow.h"

CTlLastSettingsKey::CTlLastSettingsKey()
{
    TlAnswerNoThrow([&] { return AfxLoadString(kTlLastSettingsStringId, m_section); });
}

const CTlRegistryHelper* CTlLastSettingsKey::Helper() const
{
    return m_section.empty() ? nullptr : CTlRegistryHelper::GetCurrent();
}

DWORD CTlLastSettingsKey::ReadDword(const std::string& name, DWORD def) const
{
    const CTlRegistryHelper* helper = Helper();
    return helper ? helper->ReadDword(HKEY_CURRENT_USER, m_section.c_str(), name.c_str(), def, false) : def;
}

std::string CTlLastSettingsKey::ReadString(const std::string& name) const
{
    const CTlRegistryHelper* helper = Helper();
    return helper ? helper->ReadString(HKEY_CURRENT_USER, m_section.c_str(), name.c_str(), "", false)
                  : std::string();
}

bool CTlLastSettingsKey::ReadValue(const std::string& name, TlRegistryValue& value) const
{
    const CTlRegistryHelper* helper = Helper();
    return helper && helper->ReadValue(HKEY_CURRENT_USER, m_section.c_str(), name.c_str(), value, false);
}

bool CTlLastSettingsKey::WriteDword(const std::string& name, DWORD value) const
{
    const CTlRegistryHelper* helper = Helper();
    return helper && helper->WriteDword(HKEY_CURRENT_USER, m_section.c_str(), name.c_str(), value, false);
}

bool CTlLastSettingsKey::WriteString(const std::string& name, const std::string& text) const
{
    const CTlRegistryHelper* helper = Helper();
    return helper && helper->WriteString(HKEY_CURRENT_USER, m_section.c_str(), name.c_str(), text.c_str(), false);
}

bool CTlLastSettingsKey::WriteBinary(const std::string& name, const void* data, std::size_t size) const
{
    const CTlRegistryHelper* helper = Helper();
    return helper && helper->WriteBinary(HKEY_CURRENT_USER, m_section.c_str(), name.c_str(), data, size, false);
}
