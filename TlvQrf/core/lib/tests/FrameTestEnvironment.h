// The library's registry key helper, set up as the library's application
// object sets it, for the tests of the registry and profile readers.
#pragma once

#include "registry/TlRegistryHelper.h"

#include <string>

class LibraryKeyHelper {
public:
    LibraryKeyHelper() { m_helper.SetKeyParts("Talvo", "QRFLIB", "1.0", "Common"); }

    static const char* LibraryKey() { return "Software\\Talvo\\QRFLIB\\1.0"; }
    static const char* CommonKey() { return "Software\\Talvo\\Common"; }

private:
    CTlRegistryHelper m_helper;
};
