// The library's image-editor plug-in services: the process-wide list of
// installed plug-ins and the factory of Windows hosts, registered with the
// plug-in records.
#pragma once

void InstallPluginServices();
