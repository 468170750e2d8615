// Format code, maker check and pixel sizes of the maker's raw images.
#pragma once

#include "raw/TlRawDevelopment.h"

#include <cstdint>

class IKelvraDataSource;
class IKelvraTagControl;

enum : std::uint32_t {
    kTlRawFormatTag = 0x80004,
    kTlRawFormatCodeTag = 0x10002,
    kTlMakeTag = 271,
    kTlRawMosaic = 0x10020401,
    kTlRawSignal3 = 0x10020403,
    kTlRawSignal4 = 0x10020404,
};

// One camera's mosaic is developed at this scale unless the caller keeps
// the geometry.
constexpr std::uint16_t kTlScaledMosaicModel = 259;
constexpr double kTlScaledMosaicScale = 245.0 / 327.0;

// The raw format code; 0 when there is no tag control or no readable tag.
std::uint32_t GetFormatCode(const IKelvraTagControl* tags);
// The Make text names the maker (any case) and the format code is readable.
bool IsMakerRawImage(const IKelvraTagControl* tags);

struct STlPixelSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// What an image of this pixel format and size develops to. `signalSize` is
// the size the signal-processing image reports (consulted only with
// `allowSignalSize` for its model codes); null when it is not known.
STlPixelSize DevelopedSize(std::uint32_t pixelFormat, STlPixelSize image, const STlRawDevelopment& development,
                           bool allowSignalSize, const STlPixelSize* signalSize);

// The developed size of `image`; false when there is no image or its
// format or size cannot be read (the outputs are then left alone).
bool GetOutputSize(IKelvraDataSource* image, const STlRawDevelopment& development, bool allowSignalSize,
                   const STlPixelSize* signalSize, std::uint32_t& width, std::uint32_t& height);

// Sensor size from the size tags; with `correct`, the size the raw format
// really delivers. False when a size tag, or (correcting) the format code
// or the model code cannot be read; the outputs then hold what was read.
bool GetSensorSize(const IKelvraTagControl* tags, std::uint32_t& width, std::uint32_t& height, bool correct);
