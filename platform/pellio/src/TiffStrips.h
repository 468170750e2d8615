// Strips of image data: reading one into rows, encoding rows as one.
#pragma once

#include "TiffImageLayout.h"

#include <cstdint>
#include <vector>

class CTiffReader;

// Reads strip `index` of `layout` into `rows` (its rows, packed, samples in
// the machine's order). `scratch` holds compressed bytes between calls.
IKelvraError* TiffReadStrip(CTiffReader& reader, const TiffImageLayout& layout, long index,
                            std::vector<std::uint8_t>* rows, std::vector<std::uint8_t>* scratch);

// Encodes `size` bytes of packed little-endian rows as one strip.
IKelvraError* TiffEncodeStrip(std::uint16_t compression, const std::uint8_t* rows, std::size_t size,
                              std::vector<std::uint8_t>* strip);
