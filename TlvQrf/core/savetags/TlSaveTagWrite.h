// Writing one tag of a save's tag copy.
#pragma once

#include <cstdint>

class IKelvraError;
class IKelvraTagControl;

// Tags a save writes that other code does not name already (the IPTC tag
// is load/TlFileExtras.h's).
enum : std::uint32_t {
    kTlSoftwareTag = 305,
    kTlDateTimeTag = 306,
    kTlStoredSettingsMarkerTag = 0x80E05,
};

// Adds the tag when the control lacks it, then gives it its type and value.
// A tag this call added is taken away again when its value cannot be set,
// so that no tag is left without a value. Null on success.
IKelvraError* WriteSaveTag(IKelvraTagControl& tags, std::uint32_t id, std::uint32_t type, std::uint32_t length,
                           const void* value);
