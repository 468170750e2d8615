// The images a settings save writes beside the raw mosaic: every sub-image
// of the source as it is, except the renditions (and full pictures) that
// a newly developed preview replaces, and the alternative mosaic of a
// signal-processing camera when the file lacks it. Nothing the file already
// holds is written twice.
#include "qrfsave/TlQrfSave.h"
#include "qrfsave/TlQrfSaveRun.h"
#include "qrfsave/TlQrfSteps.h"

#include "export/TlExportSupport.h"
#include "filters/sigcore/TlSigProcImage.h"
#include "filtrix/KelvraFilterScale.h"
#include "kelvra/KelvraImage.h"
#include "params/TlvParamSet.h"
#include "pellio/PellioFormats.h"
#include "savetags/TlPrepareSaveTags.h"

#include <new>

namespace {

// The raw container takes the main image and at most this many more.
constexpr std::size_t kMaxEntries = 15;
// Kinds compare without their bits 16 to 23.
constexpr std::uint32_t kKindVariantBits = 0x00FF0000;
// Low 17 bits of the formats of developed colour and grey images.
constexpr KelvraPixelFormat kFormatKindBits = 0x1FFFF;
constexpr KelvraPixelFormat kDevelopedColour = 513;
constexpr KelvraPixelFormat kDevelopedGrey = 1;

// Entries beyond what the container takes are left out.
void Add(std::uint32_t kind, IKelvraDataSource* source)
{
    std::vector<KelvraSaveEntry>& table = QrfSaveRun().table;
    if (table.size() < kMaxEntries)
        table.push_back(KelvraSaveEntry{kind, 1, source});
}

// The renditions and the full developed pictures: what shows the settings.
bool ShowsTheSettings(std::uint32_t kind)
{
    return kind == kPellioEntryRendition || kind == kPellioEntryImageAlone || kind == kPellioEntryImageFlagged;
}

// The source's sub-images, but for a raw export's raw source, which the
// load made the main image and which is written as the main image, and,
// when `rendered`, what the new renditions replace.
void CopySourceEntries(const CTlvParamSet& params, bool rendered)
{
    for (std::uint32_t i = 0; params.subImages != nullptr && i < params.subImageCount; ++i) {
        const TlvSubImage& sub = params.subImages[i];
        if (sub.image == nullptr || (sub.flags & kPellioEntryRawSource) != 0)
            continue;
        if (rendered && ShowsTheSettings(sub.flags))
            continue;
        Add(sub.flags, sub.image);
    }
}

// A rendition of `image` whose long side is at most the thumbnail's.
int MakeScaledPreview(const CTlvParamSet& params, IKelvraDataSource* image)
{
    STlQrfSaveRun& run = QrfSaveRun();
    run.scale.reset(new (std::nothrow) CKelvraFilterScale(QrfManager(params), CKelvraFilterScale::kArea));
    if (!run.scale)
        return kTlSaveNoObject;
    long width = 0;
    long height = 0;
    if (!QrfCheck(image->GetWidth(&width)) || !QrfCheck(image->GetHeight(&height)) || width <= 0 || height <= 0)
        return kTlQrfNoSourceSize;
    IKelvraError* error = SizeRendition(*run.scale, width, height, kTlQrfThumbnailSide);
    if (!QrfCheck(error))
        return kTlQrfScaleRefused;
    if (!QrfCheck(KelvraDataConnect(image, run.scale.get())))
        return kTlQrfConnectFailed;
    return kTlSaveOk;
}

int AddRenditions(const CTlvParamSet& params, IKelvraDataSource* image)
{
    if (!QrfWantsScaledPreview(params)) {
        Add(kPellioEntryImageAlone, image);
        return kTlSaveOk;
    }
    const int code = MakeScaledPreview(params, image);
    if (code != kTlSaveOk)
        return code;
    Add(kPellioEntryRendition, QrfSaveRun().scale.get());
    Add(params.options[0] != 0 ? kPellioEntryImageFlagged : kPellioEntryRendition, image);
    return kTlSaveOk;
}

// An entry of `kind`, its bits 16 to 23 aside.
bool Holds(std::uint32_t kind)
{
    for (const KelvraSaveEntry& entry : QrfSaveRun().table) {
        if ((entry.kind & ~kKindVariantBits) == kind)
            return true;
    }
    return false;
}

// The alternative mosaic of a signal-processing camera, when the table does
// not carry it (or a converted copy) already. No converted copy of the
// image is made: the file holds the raw data it would be made from.
void AddAlternativeMosaic(const CTlvParamSet& params)
{
    if (!params.IsSignalProcessingModel() || Holds(kPellioEntryConverted) || Holds(kPellioEntrySecondRaw))
        return;
    IKelvraImage* source = params.image != nullptr ? params.image : params.secondImage;
    KelvraPixelFormat format = 0;
    if (source == nullptr)
        return;
    if (IKelvraError* error = source->GetColorSpace(&format)) {
        IKelvraError::Release(error);
        return;
    }
    const KelvraPixelFormat kind = format & kFormatKindBits;
    if (kind != kDevelopedColour && kind != kDevelopedGrey)
        return;
    if (auto* image = dynamic_cast<CSigProcImage*>(source)) {
        if (image->GetSecondSource() != nullptr)
            Add(kPellioEntrySecondRaw, image->GetSecondSource());
    }
}

} // namespace

int BuildQrfImageTable(CTlvParamSet& params)
{
    STlQrfSaveRun& run = QrfSaveRun();
    run.table.clear();
    const bool rendered = run.developed != nullptr;
    if (rendered || params.subImageCount == 0 || params.subImages == nullptr) {
        const int code = AddRenditions(params, rendered ? run.developed : params.image);
        if (code != kTlSaveOk)
            return code;
    }
    CopySourceEntries(params, rendered);
    AddAlternativeMosaic(params);
    return kTlSaveOk;
}
