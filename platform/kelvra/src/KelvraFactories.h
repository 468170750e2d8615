// Makers of the framework objects that live in other files of the library.
#pragma once

#include "kelvra/KelvraFilterChain.h"
#include "kelvra/KelvraManager.h"

IKelvraError* KelvraCreateFilterChain(IKelvraManager* manager, IKelvraFilterChain** chain);
