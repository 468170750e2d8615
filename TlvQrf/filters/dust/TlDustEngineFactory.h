// The library's dust engines, as the dust record makes them.
#pragma once

#include "filters/dust/TlDustEngines.h"

// The one factory of the library's engines; it holds no state.
IDustEngineFactory* GetLibraryDustEngines();
