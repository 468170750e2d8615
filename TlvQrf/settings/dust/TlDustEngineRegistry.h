// Where the dust record finds the dust engines. The library registers the
// engines' factory once at start-up; tests register fakes. With none
// registered, the record cannot make engines and reports that as it reports
// running out of memory.
#pragma once

#include "filters/dust/TlDustEngines.h"

// Returns the factory registered before.
IDustEngineFactory* SetDustEngineFactory(IDustEngineFactory* factory);
IDustEngineFactory* GetDustEngineFactory();
