// One module library as the host holds it: loaded by name or path, its four
// exports bound by name, called in the interface's order (information,
// initialisation, information query, messages, close).
#pragma once

#include "TlHostCall.h"

#include "module/TlvExportBinding.h"
#include "module/TlvModuleInterface.h"

#include <string>

class CTlHostModule {
public:
    CTlHostModule() = default;
    // Closes and unloads what is still open.
    ~CTlHostModule();
    CTlHostModule(const CTlHostModule&) = delete;
    CTlHostModule& operator=(const CTlHostModule&) = delete;

    // 0; 0x1101 when the library does not load, 0x1008 when it lacks one of
    // the four exports (it is unloaded again).
    unsigned long Load(const std::string& nameOrPath);
    unsigned long GetInformation(int* moduleType, int* interfaceKind);
    unsigned long Initialize(TlvHostCallback callback, ITlvHost* host);
    // TLV_MSG_QUERY_INFO with the module's record.
    unsigned long QueryInformation();
    unsigned long Message(const TlvWords& words);
    // TlvClose when the library is loaded; called also when Initialize failed.
    void Close();
    void Unload();

    const std::string& GetName() const { return m_name; }
    const TlvModuleInfo& GetInfo() const { return m_info; }
    HMODULE GetHandle() const { return m_library; }

private:
    std::string m_name;
    HMODULE m_library = nullptr;
    TlvModuleExports m_exports;
    bool m_initialized = false;
    TlvModuleInfo m_info;
};
