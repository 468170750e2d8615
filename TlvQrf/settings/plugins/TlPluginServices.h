// Where the plug-in records find the installed plug-ins and make plug-in
// hosts. The library registers both once at start-up; tests register fakes.
// With none registered, every stored plug-in counts as not installed.
#pragma once

#include "filters/plugin/TlPluginHost.h"

struct TlPluginServices {
    IInstalledPlugins* installed = nullptr;
    IPluginHostFactory* hosts = nullptr;
};

// Returns the services registered before.
TlPluginServices SetPluginServices(const TlPluginServices& services);
TlPluginServices GetPluginServices();
