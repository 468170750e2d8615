// Pictures the host's tests render: a chart saved as JPEG or TIFF.
#pragma once

#include <cstdint>
#include <string>

// True when the picture of `width` x `height` was saved as `format`.
bool WriteTestPicture(const std::string& path, std::uint32_t format, long width, long height);
