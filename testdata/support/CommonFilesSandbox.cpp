#include "support/CommonFilesSandbox.h"

namespace {

constexpr char kCommonFilesValue[] = "CommonFilesDir";

} // namespace

CommonFilesSandbox::CommonFilesSandbox()
{
    m_registry.Preserve(HKEY_LOCAL_MACHINE, kWindowsCurrentVersionKey, kCommonFilesValue);
}

bool CommonFilesSandbox::PointAt(const std::string& folder, DWORD type)
{
    return StoreText(HKEY_LOCAL_MACHINE, kWindowsCurrentVersionKey, kCommonFilesValue, folder, type);
}

TempProfilesFolder::TempProfilesFolder()
    : m_profiles(m_common.MakeFolder("Talvo\\Profiles")), m_ready(m_sandbox.PointAt(m_common.Path()))
{
}

std::string TempProfilesFolder::Write(const std::string& name, const std::string& bytes) const
{
    return m_common.Write("Talvo\\Profiles\\" + name, bytes);
}
