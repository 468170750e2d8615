#include "runbase/TlvFilePath.h"

#include "runbase/TlvResultCodes.h"

#include <windows.h>

#include <cstring>
#include <new>

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// The folder part of an absolute path up to its file name: the separator
// before the name goes, except after a drive ("C:\") where it makes the root.
std::string FolderOf(const std::string& full, std::size_t nameStart)
{
    std::size_t end = nameStart;
    if (end > 1 && IsSeparator(full[end - 1]) && full[end - 2] != ':')
        --end;
    return full.substr(0, end);
}

// The absolute form of `path` and where its file name starts (the length
// when it names a folder). False when the system cannot make it.
bool MakeAbsolute(const char* path, std::string& full, std::size_t& nameStart)
{
    const DWORD needed = GetFullPathNameA(path, 0, nullptr, nullptr);
    if (needed == 0)
        return false;
    full.assign(needed, '\0');
    char* name = nullptr;
    const DWORD length = GetFullPathNameA(path, needed, &full[0], &name);
    if (length == 0 || length >= needed)
        return false;
    full.resize(length);
    nameStart = name ? static_cast<std::size_t>(name - full.data()) : length;
    return true;
}

} // namespace

unsigned long CTlvFilePath::Initialize(const char* path) noexcept
{
    Clear();
    if (!path || !*path)
        return TLV_ERR_FAILED;
    try {
        std::string full;
        std::size_t nameStart = 0;
        if (!MakeAbsolute(path, full, nameStart))
            return TLV_ERR_FAILED;
        m_folder = FolderOf(full, nameStart);
        m_fileName = full.substr(nameStart);
        return TLV_OK;
    } catch (const std::bad_alloc&) {
        Clear();
        return TLV_ERR_OUT_OF_MEMORY;
    }
}

void CTlvFilePath::Clear()
{
    m_folder.clear();
    m_fileName.clear();
}

std::string CTlvFilePath::GetFullPath() const
{
    if (m_folder.empty())
        return m_fileName;
    if (m_fileName.empty())
        return m_folder;
    return IsSeparator(m_folder.back()) ? m_folder + m_fileName : m_folder + '\\' + m_fileName;
}

bool CTlvFilePath::GetFullPath(char* path, std::size_t size) const noexcept
{
    if (!path || size == 0)
        return false;
    path[0] = '\0';
    if (IsEmpty())
        return false;
    try {
        const std::string full = GetFullPath();
        if (full.size() >= size)
            return false;
        std::memcpy(path, full.c_str(), full.size() + 1);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
