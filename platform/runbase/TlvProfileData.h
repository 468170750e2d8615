// A wish for a colour profile and, once resolved, its file. A profile that
// comes as data is written to a temporary file that the record owns.
#pragma once

#include "runbase/TlvBuffer.h"

#include <windows.h>

#include <string>

enum : DWORD {
    TLV_PROFILE_NONE = 0,     // nothing chosen
    TLV_PROFILE_BY_ID = 1,    // chosen by profile id, not resolved yet
    TLV_PROFILE_RESOLVED = 2, // m_path holds the file
    TLV_PROFILE_DATA = 3,     // carried as data in m_data (any other state reads the same)
};

class CTlvProfileData {
public:
    CTlvProfileData() = default;
    // Deletes the temporary file first.
    ~CTlvProfileData();
    // One owner per temporary file.
    CTlvProfileData(const CTlvProfileData&) = delete;
    CTlvProfileData& operator=(const CTlvProfileData&) = delete;

    // Writes m_data into a new temporary file and keeps its path; the file
    // held before is deleted once the new one exists. Codes as
    // TlvWriteTempFile; a failure keeps the earlier file.
    unsigned long WriteTempFile() noexcept;
    // Deletes the temporary file (when there is one) and forgets its path.
    void DeleteTempFile() noexcept;
    // Empty when there is none.
    const std::string& GetTempFilePath() const { return m_tempFile; }

    DWORD m_state = TLV_PROFILE_NONE;
    DWORD m_profileId = 0;
    char m_path[MAX_PATH] = {};
    CTlvBuffer m_data;

private:
    std::string m_tempFile;
};
