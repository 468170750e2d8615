// The small preview a settings save stores in the raw file: the image
// scaled to 384 pixels on its longer side, as 8-bit RGB.
#pragma once

class IKelvraDataSource;
class IKelvraImage;
class IKelvraManager;

constexpr long kTlSmallPreviewSide = 384;

struct STlPreviewSize {
    long width;
    long height;
};

// The longer side becomes 384, the shorter keeps the proportion (at
// least 1 pixel).
STlPreviewSize SmallPreviewSize(long width, long height);

// Renders `source` into `destination` through a chain of `manager` (the
// library's manager). False for raw sensor data, an empty source, or when
// the chain cannot be made or run.
bool MakeSmallPreview(IKelvraManager* manager, IKelvraDataSource* source, IKelvraImage* destination);
