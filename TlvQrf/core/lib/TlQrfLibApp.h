// The library's application object: sets the registry key parts through
// which the library reads its preferences.
#pragma once

#include "afxwin.h"
#include "registry/TlRegistryHelper.h"

class CQrfLibApp : public CWinApp {
public:
    CQrfLibApp();

    // Sets "Software", maker, module, version and section from the string
    // table; TRUE.
    BOOL InitInstance() override;

private:
    CTlRegistryHelper m_registry; // the process's current key helper from construction on
};
