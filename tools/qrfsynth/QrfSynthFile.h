// Making the images of a synthetic raw file and writing it, and writing the
// scene's true colours as a 16-bit TIFF, all through the loader library's
// saver.
#pragma once

#include "QrfCapture.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"
#include "pellio/KelvraSave.h"

#include <memory>
#include <vector>

struct QrfReleaseImage {
    void operator()(IKelvraImage* image) const { image->Release(); }
};
using QrfImagePtr = std::unique_ptr<IKelvraImage, QrfReleaseImage>;
struct QrfReleaseManager {
    void operator()(IKelvraManager* manager) const { manager->Release(); }
};
using QrfManagerPtr = std::unique_ptr<IKelvraManager, QrfReleaseManager>;

struct QrfSubImage {
    std::uint32_t kind;
    QrfImagePtr image;
};

struct QrfRawImages {
    QrfImagePtr mosaic;
    std::vector<QrfSubImage> subImages; // thumbnail, preview, then any alternative mosaic
};

// The long sides of the renditions of a `width` x `height` raw file.
long QrfPreviewSide(long width, long height);
long QrfThumbnailSide(long width, long height);

IKelvraError* QrfMakeImages(IKelvraManager* manager, const QrfRawOptions& options, QrfRawImages* images);
// The scene's colours at `longSide` (nearest sample, gamma 2.2, 8 bits).
IKelvraError* QrfMakeRendition(IKelvraManager* manager, const CQrfScene& scene, long longSide, QrfImagePtr* image);
// The scene's linear colours, 16-bit RGB.
IKelvraError* QrfMakeTruth(IKelvraManager* manager, long width, long height, QrfImagePtr* image,
                           QrfSceneKind kind = QrfSceneKind::Chart);

// Saves `main` and `list` with `tags` (may be null) as `format` to `path`.
IKelvraError* QrfSave(IKelvraDataSource* main, const std::vector<KelvraSaveEntry>& list, IKelvraTagControl* tags,
                      std::uint32_t format, std::uint32_t option, const char* path);
IKelvraError* QrfWriteRaw(const QrfRawOptions& options, const char* path);
IKelvraError* QrfWriteTruth(long width, long height, const char* path, QrfSceneKind kind = QrfSceneKind::Chart);
