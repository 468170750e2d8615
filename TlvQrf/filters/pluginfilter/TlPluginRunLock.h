// The process-wide lock that makes image-editor plug-in runs take turns:
// the plug-in interface reaches its host through process-wide state.
#pragma once

#include "infra/TlSync.h"

Tl::CSyncBase& TlPluginRunLock();
