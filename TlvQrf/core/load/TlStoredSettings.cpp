#include "load/TlStoredSettings.h"

#include "filters/dust/TlDustEngines.h"
#include "kelvra/KelvraTagControl.h"
#include "raw/TlQuietTagReads.h"
#include "raw/TlRawFormat.h"
#include "settings/edit/TlvEditSettings.h"
#include "settings/holders/TlvControlSettings.h"
#include "settings/loadpath/TlLoadPath.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

struct SStoredOrientation {
    double angle = 0.0;
    std::uint32_t mirror = 0;
};

void TakeSettingsBlock(const std::vector<unsigned char>& block, const IKelvraTagControl& tags,
                       CTlvImageAttributes& attributes, const SStoredOrientation& stored, std::uint32_t width,
                       std::uint32_t height, bool keepGeometry)
{
    attributes.storedSettings = true;
    CTlvEditSettings settings(stored.mirror != 0 ? 1 : 0, static_cast<std::uint16_t>(std::lround(stored.angle)));
    attributes.ExportTo(settings);
    settings.flip = stored.mirror != 0 ? 1 : 0;
    settings.angle = static_cast<std::uint16_t>(std::lround(stored.angle));
    if (keepGeometry)
        settings.recordMask = ~std::uint32_t(kTlvSlotGeometry);
    double camera[4] = {};
    if (Succeeded(tags.GetTag(kTlvCameraValuesTag, kKelvraTagTypeDoubles, sizeof camera, camera, 0))) {
        settings.whiteBalanceScale1 = camera[0];
        settings.whiteBalanceScale2 = camera[1];
    }
    if (settings.Load(block.data(), static_cast<int>(block.size()), static_cast<int>(width),
                      static_cast<int>(height)) <= 0)
        return;
    attributes.ImportFrom(settings);
    attributes.geometry.SetRotation(attributes.flip, attributes.angle, false);
}

void TakeDustReference(const IKelvraTagControl& tags, CTlvImageAttributes& attributes, IKelvraManager* manager)
{
    if (!attributes.dustReferenceKept || attributes.dust.IsDefault()) {
        std::uint8_t identification[kTlvDustIdentificationSize] = {};
        if (Succeeded(tags.GetTag(kTlDustIdentificationTag, kKelvraTagTypeDustId, sizeof identification,
                                  identification, 0)))
            std::memcpy(attributes.dustIdentification, identification, sizeof identification);
        attributes.dustReferenceKept = false;
    }
    if (!tags.HasTag(kTlDustReferenceTag, 0))
        return;
    const std::vector<unsigned char> data = ReadWholeTag(tags, kTlDustReferenceTag);
    if (!data.empty())
        attributes.dust.CreateEngine(manager, data.data(), data.size());
}

} // namespace

std::vector<unsigned char> StoredDustMap(const CTlDustState& dust)
{
    const IDustMap* map = dust.GetDustMap();
    if (map == nullptr)
        return {};
    return FilledBytes(map->GetStoredSize(),
                       [map](unsigned char* data, std::size_t size) { return Succeeded(map->Store(size, data)); });
}

void ApplyStoredSettings(const IKelvraTagControl& tags, CTlvImageAttributes& attributes, IKelvraManager* manager,
                         std::uint32_t width, std::uint32_t height, bool keepGeometry)
{
    SStoredOrientation stored;
    TryReadDoubleTag(&tags, kTlAngleTag, &stored.angle);
    TryReadLongTag(&tags, kTlMirrorTag, &stored.mirror);
    const std::uint16_t model = GetShortTagValue(&tags);
    std::uint32_t pixelFormat = 0;
    TryReadLongTag(&tags, kTlRawFormatCodeTag, &pixelFormat);
    const bool scaledMosaic = model == kTlScaledMosaicModel && pixelFormat == kTlRawMosaic && !keepGeometry;

    const std::vector<unsigned char> block = ReadWholeTag(tags, kTlStoredSettingsTag);
    if (!block.empty()) {
        TakeSettingsBlock(block, tags, attributes, stored, width, height, keepGeometry);
        if (scaledMosaic)
            attributes.geometry.SetScale(attributes.geometry.GetScale() * kTlScaledMosaicScale);
    } else if (scaledMosaic) {
        attributes.geometry.SetScale(kTlScaledMosaicScale);
    }
    TakeDustReference(tags, attributes, manager);
}
