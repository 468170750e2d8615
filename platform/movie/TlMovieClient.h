// Loads the movie toolkit at run time: its folder is the value "InstallDir"
// of HKEY_LOCAL_MACHINE "Software\Apple Computer, Inc.\QuickTime" (the
// install step writes it), its file "QuickTime.qts" in that folder.
#pragma once

#include "TlMovie.h"

#include <string>

extern const char* const kTlMovieRegistryKey;
extern const char* const kTlMovieRegistryValue;
extern const char* const kTlMovieFileName;

class TlMovieClient {
public:
    TlMovieClient() = default;
    ~TlMovieClient();
    TlMovieClient(const TlMovieClient&) = delete;
    TlMovieClient& operator=(const TlMovieClient&) = delete;

    // Finds, loads and binds the toolkit; true when it is (or was) loaded.
    bool Load();
    void Unload();
    bool IsLoaded() const { return m_entry != nullptr; }
    // The toolkit's calls; only while loaded.
    const TlMovieEntry& Calls() const { return *m_entry; }

    // The toolkit's full path from the registry; empty when not installed.
    static std::string LibraryPath();

private:
    HMODULE m_library = nullptr;
    const TlMovieEntry* m_entry = nullptr;
};
