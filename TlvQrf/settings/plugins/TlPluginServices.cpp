#include "settings/plugins/TlPluginServices.h"

#include "infra/TlProcessWide.h"

namespace {
TlProcessWide<TlPluginServices> g_services;
}

TlPluginServices SetPluginServices(const TlPluginServices& services)
{
    return g_services.Exchange(services);
}

TlPluginServices GetPluginServices()
{
    return g_services.Get();
}
