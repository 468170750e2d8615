#include "common/TlToolFile.h"

#include "infra/TlStreamFile.h"

#include <windows.h>

#include <climits>
#include <cstdio>

std::string TlMakeToolFolder(const char* folder, std::string* path)
{
    if (!folder || !folder[0])
        return "no folder given";
    *path = folder;
    if (path->back() == '\\' || path->back() == '/')
        path->pop_back();
    if (!CreateDirectoryA(path->c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return "folder not created: " + *path;
    return std::string();
}

std::string TlWriteToolFile(const std::string& path, const void* bytes, std::size_t size)
{
    if (size > static_cast<std::size_t>(INT_MAX))
        return "file too large: " + path;
    CTlStreamFile file(path.c_str());
    if (!file.Open(CTlStreamBase::kOpenWrite | CTlStreamBase::kOpenTruncate | CTlStreamBase::kOpenBinary))
        return "file not created: " + path;
    const bool written = file.Write(bytes, static_cast<int>(size));
    file.Close();
    if (written)
        return std::string();
    DeleteFileA(path.c_str());
    return "file not written: " + path;
}

int TlRunFolderTool(int argc, char** argv, const char* program, const char* notWritten,
                    bool (*write)(const char* folder, std::string* failure))
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", program);
        return 2;
    }
    std::string failure;
    if (write(argv[1], &failure))
        return 0;
    std::fprintf(stderr, "%s: %s: %s\n", program, notWritten, failure.c_str());
    return 1;
}

bool TlReportToolResult(const std::string& reason, std::string* failure)
{
    if (failure)
        *failure = reason;
    return reason.empty();
}
