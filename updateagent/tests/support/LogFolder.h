// Makes the "logs" folder of the agent's working folder for a test, so that
// log lines are written, and takes it away again with the log.
#pragma once

#include <string>
#include <vector>

class LogFolder {
public:
    LogFolder();
    ~LogFolder();
    LogFolder(const LogFolder&) = delete;
    LogFolder& operator=(const LogFolder&) = delete;

    // The log's lines, each without its line end.
    std::vector<std::string> Lines() const;
    // The "Message: ..." part of each line.
    std::vector<std::string> Messages() const;

    static std::wstring FolderPath();
    static std::wstring LogPath();
    // Removes the log and the folder.
    static void Remove();
};
