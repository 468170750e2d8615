// A synthetic face-like picture made by code: a skin-toned face on a grey-
// blue ground with two eyes whose pupils are red discs, red lips, and red
// things that are not pupils: a large red disc, a thin red stripe and single
// red pixels. Everything scales with the picture's shorter side.
#pragma once

#include "eyemend/Eyemend.h"

#include <cstdint>
#include <vector>

struct EyemendRgb {
    std::uint8_t red, green, blue;
};

struct EyemendFace {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool wide = false; // 16-bit samples (each 8-bit value times 257)
    std::vector<unsigned char> pixels; // rows of 3 samples per pixel, no padding
    // The painted pupils, as inclusive boxes, left eye first, and their
    // centres and radius.
    struct Disc {
        std::int32_t x, y, radius;
        bool Holds(std::int32_t px, std::int32_t py) const
        {
            const std::int64_t dx = px - x, dy = py - y;
            return dx * dx + dy * dy <= std::int64_t(radius) * radius;
        }
        ReRegion Box() const { return {x - radius, y - radius, x + radius, y + radius, nullptr, nullptr}; }
    };
    Disc pupils[2];
    Disc largeRedDisc;
    RePoint skinPoint;   // on the cheek, away from anything red
    RePoint stripePoint; // on the red stripe
    RePoint singlePoint; // one of the single red pixels
    std::int32_t unit = 1; // pixels per step of the layout
    std::vector<RePoint> singles;

    std::int32_t RowBytes() const { return width * (wide ? 6 : 3); }
    ReParams Params();
    // The painted colour of pixel (x, y), 8 bits a channel.
    EyemendRgb Colour(std::int32_t x, std::int32_t y) const;
    // Samples of pixel (x, y) in `pixels`, scaled to 8 bits.
    EyemendRgb At(std::int32_t x, std::int32_t y) const;
};

// Where everything lies, without pixels.
EyemendFace MakeEyemendFaceLayout(std::int32_t width, std::int32_t height, bool wide);
// The layout painted into `pixels`.
EyemendFace MakeEyemendFace(std::int32_t width, std::int32_t height, bool wide);
