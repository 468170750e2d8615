// Quiet tag reads: a tag that is missing or cannot be read is never an
// error to the caller, its error is released and the caller's value (or a
// fixed default) stands.
#pragma once

#include <cstdint>

class IKelvraError;
class IKelvraTagControl;

// Reads tag `id` of `type` into `size` bytes at `destination`. False, with
// the destination untouched (the control writes nothing on a failed read),
// when there is no tag control or the read fails (its error released).
bool ReadTagQuietly(const IKelvraTagControl* tags, std::uint32_t id, std::uint32_t type, std::uint32_t size,
                    void* destination);
// Releases `error`; true when there was none.
bool Succeeded(IKelvraError* error);

// A 32-bit value (type 3) into `value`; false, `value` unchanged, when
// there is no tag control or the tag cannot be read.
bool TryReadLongTag(const IKelvraTagControl* tags, std::uint32_t id, std::int32_t* value);
bool TryReadLongTag(const IKelvraTagControl* tags, std::uint32_t id, std::uint32_t* value);
// One double (type 4, 8 bytes) into `value`; false, `value` unchanged, when
// there is no tag control or the tag cannot be read.
bool TryReadDoubleTag(const IKelvraTagControl* tags, std::uint32_t id, double* value);
// A 32-bit value (type 3), or `fallback`; also without a tag control.
std::int32_t ReadLongTagOr(const IKelvraTagControl* tags, std::uint32_t id, std::int32_t fallback);
// One double (type 4, 8 bytes), or `fallback`; also without a tag control.
double ReadDoubleTagOr(const IKelvraTagControl* tags, std::uint32_t id, double fallback);
