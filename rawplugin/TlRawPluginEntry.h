// The plug-in's one export, "ENTRYPOINT": the selector dispatch of the image
// editor's file-format interface.
#pragma once

#include "psplugin/PsFormat.h"

#include <cstdint>

extern "C" void PS_API ENTRYPOINT(std::int16_t selector, void* record, std::intptr_t* data, PsResult* result);
