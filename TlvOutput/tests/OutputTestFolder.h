// A Common Files folder of the test's own with an empty "Talvo\Services"
// folder, in force through "CommonFilesDir" while the object lives, and the
// event log the fake plug-ins write.
#pragma once

#include "support/CommonFilesSandbox.h"
#include "support/TempFolder.h"

#include <string>
#include <vector>

class OutputTestFolder {
public:
    OutputTestFolder();
    // Gives the test its current folder back (the output module moves it
    // into the services folder), so that the folder can go.
    ~OutputTestFolder();
    OutputTestFolder(const OutputTestFolder&) = delete;
    OutputTestFolder& operator=(const OutputTestFolder&) = delete;

    bool IsReady() const { return m_ready; }
    // The services folder, ending in a backslash.
    const std::string& Services() const { return m_services; }
    // Copies the built plug-in `name`.tv7 from beside the test program.
    bool AddPlugin(const std::string& name) const;
    // The removal of "CommonFilesDir" for the test's length.
    bool RemoveCommonFilesValue();
    // The ".tv7" names in the order in which the file system lists them.
    std::vector<std::string> Listed() const;
    // Whether a library of that name in the services folder is still loaded.
    bool IsLoaded(const std::string& fileName) const;

private:
    std::string m_previousFolder;
    CommonFilesSandbox m_sandbox;
    TempFolder m_common;
    std::string m_services;
    bool m_ready;
};

// The fake plug-ins' event log: "<tag> <event> 0x<value>" entries in order.
std::vector<std::string> FakeEvents();
bool HasFakeEvent(const std::string& event);
void ClearFakeEvents();
