// The module handle of a language library: a resource-only DLL of texts,
// loaded as a data file so that none of its code runs. It is never made the
// framework's resource handle: the module's own strings stay reachable.
#pragma once

#include <windows.h>

class CTlvLangResource {
public:
    CTlvLangResource() = default;
    ~CTlvLangResource() { Free(); }
    CTlvLangResource(const CTlvLangResource&) = delete;
    CTlvLangResource& operator=(const CTlvLangResource&) = delete;

    // Frees the library loaded before, then loads `path`; false when it cannot be loaded.
    bool Load(const char* path);
    void Free();
    // Null while no library is loaded.
    HINSTANCE GetHandle() const { return m_library; }

private:
    HINSTANCE m_library = nullptr;
};
