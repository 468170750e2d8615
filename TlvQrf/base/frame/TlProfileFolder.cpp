#include "frame/TlProfileFolder.h"

#include "afxwin.h"
#include "files/TlCommonFiles.h"

#include <mutex>

namespace {

void EnsureTrailingBackslash(std::string& path)
{
    if (path.empty() || path.back() != '\\')
        path += '\\';
}

std::string ComputeModuleFolder()
{
    char name[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(AfxGetStaticModuleState()->m_hCurrentInstanceHandle, name, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    char longName[MAX_PATH] = {};
    DWORD longLength = GetLongPathNameA(name, longName, MAX_PATH);
    std::string path = (longLength > 0 && longLength < MAX_PATH) ? longName : name;

    std::string::size_type cut = path.rfind('\\');
    if (cut == std::string::npos)
        cut = path.find(':');
    if (cut == std::string::npos)
        return path; // neither separator: the whole name stands, without a backslash
    path.resize(cut + 1);
    EnsureTrailingBackslash(path); // "C:" cut after its colon becomes "C:\"
    return path;
}

} // namespace

std::string GetProfileFolder()
{
    std::string folder = GetCommonFilesFolder();
    EnsureTrailingBackslash(folder);
    return folder + "Talvo\\Profiles\\";
}

std::string GetModuleFolder()
{
    static std::once_flag once;
    static std::string folder;
    std::call_once(once, [] { folder = ComputeModuleFolder(); });
    return folder;
}
