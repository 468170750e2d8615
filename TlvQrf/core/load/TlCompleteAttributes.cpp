#include "load/TlCompleteAttributes.h"

#include "filters/sigcore/TlSigProcImage.h"
#include "load/TlAttributeImages.h"
#include "load/TlFileExtras.h"
#include "load/TlLiveObjects.h"
#include "load/TlLoadResult.h"
#include "load/TlRegisteredLoads.h"
#include "load/TlStoredSettings.h"
#include "pellio/PellioFormats.h"
#include "raw/TlEmbeddedProfile.h"
#include "raw/TlQuietTagReads.h"
#include "raw/TlRawFormat.h"
#include "settings/holders/TlvControlSettings.h"
#include "settings/loadpath/TlLoadPath.h"

#include <cmath>
#include <new>

namespace {

bool IsRawFileFormat(std::int32_t code)
{
    return code == std::int32_t(kPellioFormatQrf) || code == std::int32_t(kPellioFormatQrfDeflate);
}

bool NeedsSignalProcessing(KelvraPixelFormat format, std::uint16_t model)
{
    return (format == kTlRawSignal3 && (model == 513 || model == 514)) ||
           (format == kTlRawSignal4 && (model == 515 || model == 516));
}

bool IsKnownRawFormatCode(std::uint32_t code)
{
    switch (code) {
    case 0: case 1: case 2: case 16: case 17: case 32: case 33: case 38: return true;
    default: return false;
    }
}

// An Initialize that failed after taking the loaded image leaves the
// signal-processing image its owner: the attributes then let go of it
// without releasing it, so that it is freed once, with its new owner.
void DropFailedSignalImage(CTlvImageAttributes& attributes, CSigProcImage* signal)
{
    long width = 0;
    if (Succeeded(signal->GetWidth(&width))) {
        ReleaseRegisteredImage(attributes.images.image, nullptr, false);
        attributes.images.image = nullptr;
    }
    signal->Release();
}

long MakeSignalImage(const STlLoadOutcome& outcome)
{
    CTlvImageAttributes& attributes = outcome.attributes;
    CSigProcImage* signal = new (std::nothrow) CSigProcImage(outcome.manager);
    if (signal == nullptr)
        return kTlLoadNoObject;
    IKelvraImage* loaded = attributes.images.image;
    if (!Succeeded(signal->Initialize(outcome.loader, attributes.images.tags, loaded))) {
        DropFailedSignalImage(attributes, signal);
        return kTlLoadStepFailed;
    }
    // The signal-processing image owns the loaded image from now on.
    ReplaceMainImage(attributes, signal, false);
    attributes.signalProcessing = true;
    attributes.minScaleRatio = GetMinScaleRatio(signal);
    return kTlLoadDone;
}

void TakeFileFormat(const STlLoadOutcome& outcome)
{
    KelvraFileInfo info{};
    info.size = sizeof info;
    if (Succeeded(outcome.loader->GetFileInfo(&info)))
        outcome.attributes.fileFormat = static_cast<std::int32_t>(info.formatCode);
}

// Raw exports carry the developed image as a flagged sub-image.
void TakeRawSourceImage(CTlvImageAttributes& attributes)
{
    for (const TlvSubImage& sub : attributes.images.subImages) {
        if ((sub.flags & kPellioEntryRawSource) != 0) {
            ReplaceMainImage(attributes, sub.image, true);
            return;
        }
    }
}

// The first steps, up to the file format; a load code.
long TakeImages(const STlLoadOutcome& outcome, KelvraPixelFormat& format)
{
    CTlvImageAttributes& attributes = outcome.attributes;
    IKelvraImage* image = attributes.images.image;
    if (image == nullptr || !Succeeded(image->GetColorSpace(&format)))
        return kTlLoadStepFailed;
    if (NeedsSignalProcessing(format, GetShortTagValue(attributes.images.tags))) {
        const long made = MakeSignalImage(outcome);
        if (made != kTlLoadDone)
            return made;
    }
    if (outcome.loadSubImages)
        LoadSubImages(attributes.images.subImages, outcome.loader, outcome.manager, outcome.fileBytes);
    TakeFileFormat(outcome);
    if (IsRawFileFormat(attributes.fileFormat))
        TakeRawSourceImage(attributes);
    return kTlLoadDone;
}

bool ReadImageSize(IKelvraImage* image, std::uint32_t& width, std::uint32_t& height)
{
    long w = 0;
    long h = 0;
    if (image == nullptr || !Succeeded(image->GetWidth(&w)) || !Succeeded(image->GetHeight(&h)) || w <= 0 || h <= 0)
        return false;
    width = static_cast<std::uint32_t>(w);
    height = static_cast<std::uint32_t>(h);
    return true;
}

double ResolutionOf(const CTlvImageAttributes& attributes, const IKelvraTagControl* tags, bool raw)
{
    double resolution = 0.0;
    if (raw || tags == nullptr || !TryReadDoubleTag(tags, kTlResolutionTag, &resolution) || resolution == 0.0)
        return attributes.resolution;
    return resolution;
}

void TakeGeometry(const STlLoadOutcome& outcome, std::uint32_t width, std::uint32_t height)
{
    CTlvImageAttributes& attributes = outcome.attributes;
    const IKelvraTagControl* tags = attributes.images.tags;
    const double resolution = ResolutionOf(attributes, tags, outcome.raw);
    if (!attributes.geometryFixed) {
        attributes.geometry = CTlGeometryState(width, height, nullptr, resolution);
        attributes.resolution = resolution;
    }
    double angle = 0.0;
    std::uint32_t mirror = 0;
    TryReadDoubleTag(tags, kTlAngleTag, &angle);
    TryReadLongTag(tags, kTlMirrorTag, &mirror);
    if (outcome.raw && tags != nullptr && !attributes.geometryFixed)
        ApplyStoredSettings(*tags, attributes, outcome.manager, width, height, outcome.keepGeometry);
    if (angle != 0.0 || mirror != 0) {
        attributes.flip = mirror != 0 ? 1 : 0;
        attributes.angle = static_cast<std::uint16_t>(static_cast<int>(angle));
        attributes.geometry.SetRotation(attributes.flip, attributes.angle, false);
    }
}

void TakeTagExtras(CTlvImageAttributes& attributes)
{
    const IKelvraTagControl* tags = attributes.images.tags;
    if (tags == nullptr)
        return;
    ReadIptcRecord(*tags, attributes.iptc);
    if (tags->HasTag(kTlIccProfileTag, 0))
        CopyEmbeddedProfile(*tags, attributes.images);
}

// The complete step; returns the raw format code of the tags.
std::uint32_t CompleteFromTags(const STlLoadOutcome& outcome, KelvraPixelFormat format)
{
    CTlvImageAttributes& attributes = outcome.attributes;
    const std::uint32_t rawFormat = GetFormatCode(attributes.images.tags);
    attributes.storedSettings =
        (rawFormat == kPellioFormatQrf && format == kTlRawMosaic) || attributes.signalProcessing;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if (ReadImageSize(attributes.images.image, width, height)) {
        TakeGeometry(outcome, width, height);
        TakeTagExtras(attributes);
    }
    return rawFormat;
}

} // namespace

long CompleteAttributes(const STlLoadOutcome& outcome)
{
    CTlvImageAttributes& attributes = outcome.attributes;
    KelvraPixelFormat format = 0;
    const long taken = TakeImages(outcome, format);
    if (taken != kTlLoadDone)
        return taken;
    const std::uint32_t rawFormat = outcome.complete ? CompleteFromTags(outcome, format) : 0;

    attributes.UpdateAfterLoad();
    const long result = IsKnownRawFormatCode(rawFormat) ? kTlLoadDone : kTlLoadRefused;
    if (!IsMakerRawImage(attributes.images.tags))
        attributes.makerSettings = nullptr;
    return result;
}
