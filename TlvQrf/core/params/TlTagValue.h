// One read of an image tag for the parameter operations, whose every tag
// is optional: a failed read is released and reported only as false.
#pragma once

#include <cstdint>

class IKelvraTagControl;

// Copies tag `id` of `type` into `value` (`size` bytes of room). False, with
// `value` untouched, without tags or when the read fails.
bool ReadTagValue(const IKelvraTagControl* tags, std::uint32_t id, std::uint32_t type, void* value,
                  std::uint32_t size);
