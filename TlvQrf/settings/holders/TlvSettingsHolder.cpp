// Construction and destruction of a holder, its parameter sets and the
// camera values it reads from the image's tags.
#include "settings/holders/TlvSettingsHolder.h"

#include "kelvra/KelvraTagControl.h"
#include "settings/holders/TlvCoreHooks.h"
#include "settings/holders/TlvHolderDefaults.h"
#include "settings/loadpath/TlLoadPath.h"

#include <atomic>
#include <utility>

namespace {

std::atomic<std::uint32_t> g_lastSerial{0};

std::uint32_t NextSerial()
{
    return g_lastSerial.fetch_add(1) + 1;
}

} // namespace

CTlvSettingsHolder::CTlvSettingsHolder()
    : geometry(TlvHolderDefaults::kImageWidth, TlvHolderDefaults::kImageHeight, nullptr,
               TlvHolderDefaults::kResolution),
      serial(NextSerial())
{
    toneCurves.SetKind(kTlLutGroupToneCurves);
    brightnessContrast.SetKind(kTlLutGroupBrightnessContrast);
    lch.SetKind(kTlLutGroupLch);
    TlvHolderDefaults::SetAsShot(whiteBalance);
}

CTlvSettingsHolder::~CTlvSettingsHolder()
{
    ReleaseImages();
}

void CTlvSettingsHolder::ReleaseImages()
{
    ReleaseImageParts();
    ReleaseTags();
}

void CTlvSettingsHolder::ReplaceImages(IKelvraImage* image, IKelvraTagControl* tags)
{
    if (image != images.image) {
        ReleaseImageParts();
        images.image = image;
    }
    if (tags != images.tags) {
        ReleaseTags();
        images.tags = tags;
    }
}

void CTlvSettingsHolder::ReleaseImageParts()
{
    ITlvObjectRegistry* registry = GetTlvCoreHooks().registry;
    auto releaseImage = [registry](IKelvraImage* image, const char* temporaryFile) -> long {
        return registry != nullptr && image != nullptr ? registry->ReleaseImage(image, temporaryFile, true) : 0;
    };
    // Without an image the buffer has no other holder: it is this one's.
    const long imageUsesLeft = releaseImage(images.image, images.hasTemporaryFile ? images.temporaryFile : nullptr);
    for (const TlvSubImage& sub : images.subImages)
        releaseImage(sub.image, nullptr);
    releaseImage(images.secondImage, nullptr);
    if (imageUsesLeft == 0)
        delete[] images.buffer;
    TlvRegisteredImages cleared;
    cleared.tags = images.tags;
    images = std::move(cleared);
}

void CTlvSettingsHolder::ReleaseTags()
{
    ITlvObjectRegistry* registry = GetTlvCoreHooks().registry;
    if (registry != nullptr && images.tags != nullptr)
        registry->ReleaseObject(images.tags, true);
    images.tags = nullptr;
}

CTlvParamSet* CTlvSettingsHolder::CreateParamSet()
{
    return MakeTlvParamSet(*this, TlvParamSetKind::kPlain);
}

std::uint16_t CTlvSettingsHolder::ReadCameraValues()
{
    if (images.tags != nullptr) {
        // A shorter value leaves the rest of the buffer as it was.
        double values[4] = {cameraValues[0], cameraValues[1], 0.0, 0.0};
        if (IKelvraError* error =
                images.tags->GetTag(kTlvCameraValuesTag, kKelvraTagTypeDoubles, sizeof values, values, 0)) {
            IKelvraError::Release(error);
        } else {
            cameraValues[0] = values[0];
            cameraValues[1] = values[1];
        }
    }
    modelCode = GetShortTagValue(images.tags);
    return modelCode;
}
