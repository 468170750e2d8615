// The run-length code of the toolkit's "rle " samples. The pixels of a
// frame (rows without their padding, top to bottom) are a series of
// packets, each a count byte n and then:
//   n < 128:  n + 1 literal pixels (three bytes each)
//   n >= 128: one pixel repeated n - 126 times (2 to 129)
#pragma once

#include "MovieFrame.h"

#include <cstddef>
#include <cstdint>
#include <vector>

std::vector<std::uint8_t> MovieRleEncode(const MovieFrame& frame);
// Decodes into `frame` (already sized); false when the data ends early,
// runs past the frame or leaves bytes over.
bool MovieRleDecode(const std::uint8_t* data, std::size_t size, MovieFrame& frame);
