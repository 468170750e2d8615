// One installed image-editor filter plug-in: its path (or identifying text),
// two further strings and its id.
#pragma once

#include "infra/TlString.h"

#include <cstdint>

class CPluginEntry {
public:
    CPluginEntry() = default;

    // Equal non-zero ids, or otherwise equal paths.
    bool IsSame(const CPluginEntry& other) const;

    CTlString path;
    CTlString name;
    CTlString category;
    std::int32_t id = 0;
};
