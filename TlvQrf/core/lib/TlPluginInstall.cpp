#include "lib/TlPluginInstall.h"

#include "filters/plugin/TlInstalledPlugins.h"
#include "filters/plugin/TlPluginWin.h"
#include "settings/plugins/TlPluginServices.h"

void InstallPluginServices()
{
    static CPluginWinFactory hosts;
    SetPluginServices({&CTlInstalledPlugins::Instance(), &hosts});
}
