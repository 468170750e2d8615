#include "filters/pluginfilter/TlPluginRunLock.h"

Tl::CSyncBase& TlPluginRunLock()
{
    static Tl::CSyncCritical lock(nullptr, -1);
    return lock;
}
