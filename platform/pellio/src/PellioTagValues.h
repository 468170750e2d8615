// Tag values as plain bytes, and their way in and out of a tag control.
#pragma once

#include "kelvra/KelvraTagControl.h"

#include <cstdint>
#include <vector>

struct PellioTagValue {
    std::uint32_t id = 0;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> bytes; // for type 263, the bytes its header points to
};

// Every tag of `tags` that has a value, in ascending ids.
IKelvraError* PellioReadTags(const IKelvraTagControl& tags, std::vector<PellioTagValue>* values);
// Replaces the tags of `target` by `values` (a later value of an id wins);
// on failure `target` keeps its tags.
IKelvraError* PellioWriteTags(IKelvraTagControl* target, const std::vector<PellioTagValue>& values);
// Whether `values` hold a value of `id`.
bool PellioHasTag(const std::vector<PellioTagValue>& values, std::uint32_t id);
// The first `id` value that is `type`, or null.
const PellioTagValue* PellioFindTag(const std::vector<PellioTagValue>& values, std::uint32_t id,
                                    std::uint32_t type);
