// Tests that read the shared Common Files folder point "CommonFilesDir" at a
// folder of their own; the value is restored when the sandbox goes.
#pragma once

#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

#include <string>

class CommonFilesSandbox {
public:
    CommonFilesSandbox();
    CommonFilesSandbox(const CommonFilesSandbox&) = delete;
    CommonFilesSandbox& operator=(const CommonFilesSandbox&) = delete;

    // False when the value cannot be written.
    bool PointAt(const std::string& folder, DWORD type = REG_SZ);

private:
    RegistrySandbox m_registry;
};

// A temporary Common Files folder with an empty Talvo\Profiles folder in it,
// in force while the object lives.
class TempProfilesFolder {
public:
    TempProfilesFolder();

    // False when the folder could not be put in force.
    bool IsReady() const { return m_ready; }
    const TempFolder& Common() const { return m_common; }
    // The profiles folder, ending in a backslash.
    const std::string& Path() const { return m_profiles; }
    // Writes a file into the profiles folder; answers its full path.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    CommonFilesSandbox m_sandbox;
    TempFolder m_common;
    std::string m_profiles;
    bool m_ready;
};
