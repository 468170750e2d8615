#include "support/LogFolder.h"

#include "files/FileHelpers.h"

#include <windows.h>

#include <fstream>

std::wstring LogFolder::FolderPath()
{
    TPath working;
    GetWorkingFolder(working);
    return std::wstring(working.Text().Text()) + L"logs";
}

std::wstring LogFolder::LogPath()
{
    return FolderPath() + L"\\log.txt";
}

void LogFolder::Remove()
{
    SetFileAttributesW(LogPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(LogPath().c_str());
    RemoveDirectoryW(FolderPath().c_str());
}

LogFolder::LogFolder()
{
    Remove();
    CreateDirectoryW(FolderPath().c_str(), nullptr);
}

LogFolder::~LogFolder()
{
    Remove();
}

std::vector<std::string> LogFolder::Lines() const
{
    std::vector<std::string> lines;
    std::ifstream in(LogPath().c_str(), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> LogFolder::Messages() const
{
    std::vector<std::string> messages;
    for (const std::string& line : Lines()) {
        const size_t at = line.find("Message: ");
        messages.push_back(at == std::string::npos ? line : line.substr(at));
    }
    return messages;
}
