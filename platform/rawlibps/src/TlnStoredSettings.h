// What the chain takes from the raw editor's stored settings (tag 0x80E01):
// the exposure of their automatic-brightness record.
#pragma once

#include <cstdint>
#include <vector>

// False when the record holds no automatic-brightness record that reads.
bool TlnStoredExposure(const std::vector<std::uint8_t>& record, double* exposure);
