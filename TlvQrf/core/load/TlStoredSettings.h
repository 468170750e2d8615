// The edit settings, orientation and dust reference that a raw file stores
// in its tags, taken into the image attributes after a load.
#pragma once

#include "raw/TlTagBytes.h"
#include "settings/holders/TlvImageAttributes.h"

#include <cstdint>
#include <vector>

class CTlDustState;
class IKelvraManager;
class IKelvraTagControl;

// Raw files only. A tag that cannot be read is skipped.
void ApplyStoredSettings(const IKelvraTagControl& tags, CTlvImageAttributes& attributes, IKelvraManager* manager,
                         std::uint32_t width, std::uint32_t height, bool keepGeometry);

// The stored form of the record's finished dust map, as tag 0x80E0B holds
// it; empty without a finished map or memory.
std::vector<unsigned char> StoredDustMap(const CTlDustState& dust);
