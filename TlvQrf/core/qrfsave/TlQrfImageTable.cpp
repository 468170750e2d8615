// The images a settings save writes beside the raw mosaic: the source's own
// previews when they still show the picture, else renditions of the newly
// developed preview, and a converted copy of the developed image.
#include "qrfsave/TlQrfSave.h"
#include "qrfsave/TlQrfSaveRun.h"
#include "qrfsave/TlQrfSteps.h"

#include "export/TlExportSupport.h"
#include "filters/sigcore/TlSigProcImage.h"
#include "filtrix/KelvraFilterColorSpace.h"
#include "filtrix/KelvraFilterScale.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"
#include "params/TlvParamSet.h"
#include "pellio/PellioFormats.h"
#include "savetags/TlPrepareSaveTags.h"

#include <algorithm>
#include <new>

namespace {

// At most this many of the source's own entries are written again.
constexpr std::uint32_t kMaxCopiedEntries = 4;
// Kinds compare without their bits 16 to 23.
constexpr std::uint32_t kKindVariantBits = 0x00FF0000;
// Low 17 bits of the formats of developed colour and grey images.
constexpr KelvraPixelFormat kFormatKindBits = 0x1FFFF;
constexpr KelvraPixelFormat kDevelopedColour = 513;
constexpr KelvraPixelFormat kDevelopedGrey = 1;

void Add(std::uint32_t kind, IKelvraDataSource* source)
{
    QrfSaveRun().table.push_back(KelvraSaveEntry{kind, 1, source});
}

void CopySourceEntries(const CTlvParamSet& params)
{
    const std::uint32_t count = std::min(params.subImageCount, kMaxCopiedEntries);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (params.subImages[i].image != nullptr)
            Add(params.subImages[i].flags, params.subImages[i].image);
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

bool HasConvertedEntry()
{
    for (const KelvraSaveEntry& entry : QrfSaveRun().table) {
        if ((entry.kind & ~kKindVariantBits) == kPellioEntryConverted)
            return true;
    }
    return false;
}

// The source's 8-bit copy; nothing when it cannot be made.
void AddConvertedCopy(const CTlvParamSet& params, IKelvraImage* source)
{
    IKelvraManager* manager = QrfManager(params);
    IKelvraImage* made = nullptr;
    if (manager == nullptr || !QrfCheck(manager->CreateImage(&made)) || made == nullptr)
        return;
    CKelvraFilterColorSpace convert(manager);
    IKelvraDataSource* sources[1] = {source};
    IKelvraError* error = convert.SetOutputColorSpace(kColorSpaceKeep, kColorDepth8, false);
    if (error == nullptr)
        error = convert.Process(sources, 1, made);
    if (error != nullptr) {
        IKelvraError::Release(error);
        made->Release();
        return;
    }
    QrfSaveRun().converted = made;
    Add(kPellioEntryConverted, made);
}

void AddDevelopedCopy(const CTlvParamSet& params)
{
    if (HasConvertedEntry())
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
    if (!params.IsSignalProcessingModel()) {
        AddConvertedCopy(params, source);
        return;
    }
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
    IKelvraDataSource* image = run.developed != nullptr ? run.developed : params.image;
    if (run.developed == nullptr && params.subImageCount > 0 && params.subImages != nullptr &&
        (params.subImageCount > 1 || !run.previewsRendered)) {
        CopySourceEntries(params);
    } else {
        const int code = AddRenditions(params, image);
        if (code != kTlSaveOk)
            return code;
    }
    AddDevelopedCopy(params);
    return kTlSaveOk;
}
