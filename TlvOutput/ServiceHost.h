// The plug-in manager: finds the ".tv7" files in the services folder, loads
// each, binds every function of each to an id of its own and keeps the
// plug-ins until they are all unloaded.
#pragma once

#include "ServicePlugin.h"

#include <map>
#include <string>
#include <vector>

// Where renumbered function ids start.
constexpr int TLV_FIRST_PLUGIN_FUNCTION_ID = 0x20FF;

class ServiceHost {
public:
    ServiceHost() = default;
    // Unloads every plug-in still listed.
    ~ServiceHost();
    ServiceHost(const ServiceHost&) = delete;
    ServiceHost& operator=(const ServiceHost&) = delete;

    // Loads the plug-ins. 0x1008 only when the last file failed and no
    // plug-in is listed; otherwise 0 or the last file's success code.
    unsigned long Initialize(TlvHostCallback callback, ITlvHost* host);
    // Each plug-in in load order is unloaded and deleted; the lists empty.
    void UnloadAll();
    // The outcome of the last file processed, 0 when there was none.
    unsigned long LoadAll(TlvHostCallback callback, ITlvHost* host);

    // Binds the plug-in's functions, renumbering those whose id is taken,
    // and lists it. On failure none of its ids stays bound and it is not
    // listed.
    unsigned long Register(ServicePlugin& plugin) noexcept;

    // The owner of a function id, or null.
    ServicePlugin* FindOwner(int functionId) const;
    const std::map<int, ServicePlugin*>& Ids() const { return m_ids; }
    const std::vector<ServicePlugin*>& Plugins() const { return m_plugins; }

    // The plug-in folder (ending in a backslash) under a Common Files folder.
    static std::string PluginFolder(const std::string& commonFiles);

private:
    unsigned long LoadFile(const std::string& path, TlvHostCallback callback, ITlvHost* host);
    int NextFreeId() const;
    void Withdraw(const ServicePlugin& plugin) noexcept;

    std::map<int, ServicePlugin*> m_ids;
    std::vector<ServicePlugin*> m_plugins;
    int m_nextId = TLV_FIRST_PLUGIN_FUNCTION_ID;
};
