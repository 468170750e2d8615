#include "QrfSynthFile.h"

#include "pellio/PellioFormats.h"
#include "pellio/PellioGuard.h"

#include <cmath>

#define SYNTH_WRAP(inner) KELVRA_WRAP(nullptr, kQrfSynthTag, (inner))

namespace {

// A new image of `format` whose rows `fill(y, row)` writes, row by row.
template <class Row, class Fill>
IKelvraError* MakeImage(IKelvraManager* manager, KelvraPixelFormat format, long width, long height, Fill fill,
                        QrfImagePtr* out)
{
    IKelvraImage* created = nullptr;
    if (IKelvraError* error = manager->CreateImage(&created))
        return SYNTH_WRAP(error);
    QrfImagePtr image(created);
    IKelvraError* error = image->SetColorSpace(format);
    if (!error)
        error = image->SetSize(width, height);
    if (!error)
        error = image->SetResolution(300.0);
    const long rowBytes = KelvraRowBytes(format, width);
    std::vector<Row> row(std::size_t(rowBytes) / sizeof(Row));
    for (long y = 0; y < height && !error; ++y) {
        fill(y, row.data());
        error = image->AppendRows(row.data(), 1, rowBytes);
    }
    if (error)
        return SYNTH_WRAP(error);
    *out = std::move(image);
    return nullptr;
}

std::uint8_t Encoded(std::uint16_t linear)
{
    return std::uint8_t(std::lround(255.0 * std::pow(linear / 65535.0, 1 / 2.2)));
}

void Scaled(long width, long height, long longSide, long* w, long* h)
{
    const bool wide = width >= height;
    *w = wide ? longSide : std::max(1L, width * longSide / height);
    *h = wide ? std::max(1L, height * longSide / width) : longSide;
}

IKelvraError* MakeMosaic(IKelvraManager* manager, const CQrfScene& scene, const QrfRawOptions& options,
                         KelvraPixelFormat format, long scale, QrfImagePtr* out)
{
    const long width = options.width / scale, height = options.height / scale;
    const QrfGains gains = QrfStoredMosaicGains(options);
    auto fill = [&](long y, std::uint16_t* row) {
        QrfMosaicRow(scene, options.pattern, gains, y, width, scale, row);
    };
    return MakeImage<std::uint16_t>(manager, format, width, height, fill, out);
}

} // namespace

long QrfPreviewSide(long width, long height)
{
    return std::min(1536L, std::max(width, height) / 2);
}

long QrfThumbnailSide(long width, long height)
{
    return std::min(160L, QrfPreviewSide(width, height) / 2);
}

IKelvraError* QrfMakeRendition(IKelvraManager* manager, const CQrfScene& scene, long longSide, QrfImagePtr* image)
{
    return PellioGuarded(kQrfSynthTag, [&]() -> IKelvraError* {
        long w = 0, h = 0;
        Scaled(scene.Width(), scene.Height(), longSide, &w, &h);
        std::vector<std::uint8_t> lut(65536);
        for (std::size_t v = 0; v < lut.size(); ++v)
            lut[v] = Encoded(std::uint16_t(v));
        auto fill = [&](long y, std::uint8_t* row) {
            for (long x = 0; x < w; ++x) {
                // the scene at the centre of the rendition's pixel
                const QrfRgb c =
                    scene.At((2 * x + 1) * scene.Width() / (2 * w), (2 * y + 1) * scene.Height() / (2 * h));
                row[3 * x] = lut[c.r];
                row[3 * x + 1] = lut[c.g];
                row[3 * x + 2] = lut[c.b];
            }
        };
        return MakeImage<std::uint8_t>(manager, kKelvraRGB8, w, h, fill, image);
    });
}

IKelvraError* QrfMakeTruth(IKelvraManager* manager, long width, long height, QrfImagePtr* image, QrfSceneKind kind)
{
    return PellioGuarded(kQrfSynthTag, [&]() -> IKelvraError* {
        const CQrfScene scene(width, height, kind);
        auto fill = [&](long y, std::uint16_t* row) {
            for (long x = 0; x < width; ++x) {
                const QrfRgb c = scene.At(x, y);
                row[3 * x] = c.r;
                row[3 * x + 1] = c.g;
                row[3 * x + 2] = c.b;
            }
        };
        return MakeImage<std::uint16_t>(manager, kKelvraRGB16, width, height, fill, image);
    });
}

IKelvraError* QrfMakeImages(IKelvraManager* manager, const QrfRawOptions& options, QrfRawImages* images)
{
    return PellioGuarded(kQrfSynthTag, [&]() -> IKelvraError* {
        const CQrfScene scene(options.width, options.height, options.scene);
        IKelvraError* error =
            MakeMosaic(manager, scene, options, QrfStoredMosaicFormat(options), 1, &images->mosaic);
        const long sides[2] = {QrfThumbnailSide(options.width, options.height),
                               QrfPreviewSide(options.width, options.height)};
        for (long side : sides) {
            QrfSubImage sub{kPellioEntryRendition, nullptr};
            if (!error)
                error = QrfMakeRendition(manager, scene, side, &sub.image);
            images->subImages.push_back(std::move(sub));
        }
        if (!error && QrfIsSignalModel(options.model)) {
            // The alternative mosaic the signal-processing models carry: half size.
            QrfSubImage second{kPellioEntrySecondRaw, nullptr};
            error = MakeMosaic(manager, scene, options, kKelvraRawSig3, 2, &second.image);
            images->subImages.push_back(std::move(second));
        }
        return error;
    });
}
