// Pictures the host's tests render: a chart saved as JPEG or TIFF.
#pragma once

#include <cstdint>
#include <string>

class IKelvraTagControl;

// True when the picture of `width` x `height` was saved as `format`, with
// `tags` when given.
bool WriteTestPicture(const std::string& path, std::uint32_t format, long width, long height,
                      IKelvraTagControl* tags = nullptr);
