#include "settings/plugins/TlPluginServices.h"

#include <mutex>

namespace {
std::mutex g_lock;
TlPluginServices g_services;
}

TlPluginServices SetPluginServices(const TlPluginServices& services)
{
    const std::lock_guard<std::mutex> guard(g_lock);
    const TlPluginServices previous = g_services;
    g_services = services;
    return previous;
}

TlPluginServices GetPluginServices()
{
    const std::lock_guard<std::mutex> guard(g_lock);
    return g_services;
}
