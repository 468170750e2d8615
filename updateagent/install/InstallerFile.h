// The downloaded installer between its digest check and its start. It lies in
// a folder the user can write, so it is held open with read sharing only (no
// writer, no delete) from the first digest read until its process exists:
// what was checked is what runs.
#pragma once

#include "files/TPath.h"

#include <windows.h>

#include <string>

class TInstallerFile {
public:
    TInstallerFile() = default;
    ~TInstallerFile();
    TInstallerFile(const TInstallerFile&) = delete;
    TInstallerFile& operator=(const TInstallerFile&) = delete;

    // False when the file cannot be opened for reading with writers shut out.
    bool Open(const TPath& path);
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }

    // The MD5 digest of the whole file as 32 lower-case hexadecimal digits,
    // read from its start; false when the file is not open or a read fails.
    bool Digest(std::string& hex);

    // Starts the installer with its own path and the agent's folder as its
    // two arguments, without waiting for it; the file stays held until the
    // process was created or its creation failed.
    bool Start(const TPath& agentFolder);

    void Close();

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    TPath m_path;
};

// True only when the installer could be opened and read to its end and its
// digest equals the expected text exactly, case included. The file stays
// open in `installer` for a following start.
bool VerifyMd5(TInstallerFile& installer, const TPath& path, const std::string& expected);

// Narrow command line: "<installer>" "<folder>" with a folder's trailing
// backslash doubled, so that it reaches the installer as one backslash and
// does not escape the closing quote.
std::string BuildInstallerCommandLine(const TPath& installer, const TPath& agentFolder);
