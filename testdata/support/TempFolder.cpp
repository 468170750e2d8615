#include "support/TempFolder.h"

#include <windows.h>

#include <fstream>
#include <sstream>

TempFolder::TempFolder()
{
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    // A name another test is still deleting is refused as denied, not as
    // taken: any refusal moves on to the next name.
    constexpr unsigned kAttempts = 1000;
    const unsigned first = GetTickCount() ^ GetCurrentProcessId();
    for (unsigned attempt = first; attempt - first < kAttempts; ++attempt) {
        std::string candidate = std::string(base) + "tltest" + std::to_string(attempt) + "\\";
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            m_path = candidate;
            return;
        }
    }
}

namespace {

void DeleteTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA((folder + "*").c_str(), &found);
    if (listing != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(folder + name + "\\");
            else
                DeleteFileA((folder + name).c_str());
        } while (FindNextFileA(listing, &found));
        FindClose(listing);
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace

TempFolder::~TempFolder()
{
    if (!m_path.empty())
        DeleteTree(m_path);
}

std::string TempFolder::MakeFolder(const std::string& relative) const
{
    std::string path = m_path;
    std::string::size_type start = 0;
    while (start < relative.size()) {
        std::string::size_type end = relative.find('\\', start);
        if (end == std::string::npos)
            end = relative.size();
        path += relative.substr(start, end - start) + "\\";
        CreateDirectoryA(path.c_str(), nullptr);
        start = end + 1;
    }
    return path;
}

std::string TempFolder::Write(const std::string& name, const std::string& bytes) const
{
    const std::string path = File(name);
    Overwrite(path, bytes);
    return path;
}

void TempFolder::Overwrite(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempFolder::Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool TempFolder::Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> TempFolder::Matching(const std::string& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}
