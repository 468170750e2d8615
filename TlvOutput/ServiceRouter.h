// Announces the plug-ins' functions to the host and routes the host's
// messages to the plug-in that owns the function concerned.
#pragma once

#include "ServiceHost.h"

// The output module's module type, under which its functions are announced.
constexpr int TLV_MODULE_OUTPUT = 80;

class ServiceRouter {
public:
    explicit ServiceRouter(ServiceHost& plugins) : m_plugins(plugins) {}

    // Announces every bound function once, in ascending id order, each
    // under its own id; afterwards the owner of the highest id is current.
    // 0x1008 when the host refuses an announcement.
    unsigned long Initialize(TlvHostCallback callback);
    unsigned long Message(const ServiceWords& words);

    // The plug-in that messages of the 0x2xxxxxxx family reach; null before
    // the announcement and while no plug-in is listed.
    ServicePlugin* Current() const { return m_current; }

private:
    unsigned long Announce(const TlvFunctionEntry& entry);
    unsigned long RunFunction(const ServiceWords& words);
    unsigned long QueryAll(const ServiceWords& words) const;

    TlvHostCallback m_callback = nullptr;
    ServiceHost& m_plugins;
    ServicePlugin* m_current = nullptr;
    int m_moduleId = TLV_MODULE_OUTPUT;
};
