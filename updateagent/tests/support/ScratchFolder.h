// A folder of a test's own inside the agent's working folder, removed with
// every file in it when the test ends.
#pragma once

#include "files/TPath.h"

#include <string>
#include <vector>

class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder, ending in "\".
    const std::wstring& Path() const { return m_folder; }
    TPath AsPath() const { return TPath(TWideString(m_folder.c_str())); }
    // Writes a file into the folder; answers its full path.
    std::wstring Write(const std::wstring& name, const std::string& bytes) const;

private:
    std::wstring m_folder;
};

void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// The whole file, or an empty text when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
bool PathExists(const std::wstring& path);
// The lines of a text that start with `prefix`, without it.
std::vector<std::string> LinesWithPrefix(const std::string& text, const std::string& prefix);
