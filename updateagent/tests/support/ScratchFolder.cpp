#include "support/ScratchFolder.h"

#include "files/FileHelpers.h"

#include <windows.h>

#include <fstream>
#include <sstream>
#include <iterator>

ScratchFolder::ScratchFolder(const std::wstring& name)
{
    TPath working;
    GetWorkingFolder(working);
    m_folder = std::wstring(working.Text().Text()) + name + L"\\";
    CreateDirectoryW(m_folder.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder()
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((m_folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring path = m_folder + found.cFileName;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveDirectoryW(path.c_str());
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(m_folder.c_str());
}

std::wstring ScratchFolder::Write(const std::wstring& name, const std::string& bytes) const
{
    const std::wstring path = m_folder + name;
    WriteFileBytes(path, bytes);
    return path;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    std::ofstream out(path.c_str(), std::ios::binary);
    out << bytes;
}

std::string ReadFileBytes(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool PathExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> LinesWithPrefix(const std::string& text, const std::string& prefix)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (line.compare(0, prefix.size(), prefix) == 0)
            lines.push_back(line.substr(prefix.size()));
    return lines;
}
