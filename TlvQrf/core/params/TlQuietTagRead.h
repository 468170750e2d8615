// Tag reads for the filter-parameter operations: a tag that is missing or
// cannot be read only means "use the default", so the error is dropped here
// and the caller sees a plain yes or no.
#pragma once

#include <cstdint>

class IKelvraError;
class IKelvraTagControl;

// Reads tag `id` of `type` into `size` bytes at `destination`. False, with
// the destination untouched by a failed read, when there is no tag control
// or the read fails (its error released).
bool ReadTagQuietly(const IKelvraTagControl* tags, std::uint32_t id, std::uint32_t type, std::uint32_t size,
                    void* destination);

// Releases `error`; true when there was none.
bool ReleaseQuietly(IKelvraError* error);
