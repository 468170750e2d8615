// One loaded output plug-in (".tv7"): its information record with its
// function entries, its library and its four exports.
#pragma once

#include "ServiceWords.h"

#include "module/TlvExportBinding.h"
#include "module/TlvModuleInterface.h"

class CTlvFilePath;

class ServicePlugin {
public:
    ServicePlugin() = default;
    // Unloads what is still loaded.
    ~ServicePlugin();
    ServicePlugin(const ServicePlugin&) = delete;
    ServicePlugin& operator=(const ServicePlugin&) = delete;

    // Loads the file, binds the four exports by name, asks the plug-in who it
    // is, starts it with the host's own callback and host object and queries
    // its functions. 0x1008 for every failure; the caller then unloads.
    unsigned long Load(TlvHostCallback callback, ITlvHost* host, const CTlvFilePath* file);
    // TlvClose when that export was bound (whether or not the plug-in was
    // started), then the library is freed.
    void Unload();

    int GetModuleId() const { return m_info.moduleId; }
    int GetInterfaceKind() const { return m_info.interfaceKind; }
    TlvModuleInfo& Info() { return m_info; }
    const TlvModuleInfo& Info() const { return m_info; }
    bool Offers(int functionId) const;

    // The nine words to the plug-in's TlvMessage; 0x1008 without one.
    unsigned long Message(const ServiceWords& words) const;

private:
    TlvModuleInfo m_info;
    HMODULE m_library = nullptr;
    TlvModuleExports m_exports;
};
