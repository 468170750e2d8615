#include "PellioSavePlan.h"

#include "PellioErrors.h"

#define PLAN_ERROR(code) PELLIO_ERROR(kPellioSaveTag, (code))

namespace {

constexpr std::size_t kMaxQrfImages = 16;

const std::uint32_t kKinds[] = {kPellioEntryRendition, kPellioEntryImageAlone, kPellioEntryImageFlagged,
                                kPellioEntryConverted, kPellioEntrySecondRaw, kPellioEntryRawSource,
                                kPellioEntryBitmap};

bool KnownKind(std::uint32_t kind)
{
    for (std::uint32_t known : kKinds) {
        if (known == kind)
            return true;
    }
    return false;
}

double ResolutionOf(IKelvraDataSource* source)
{
    double dpi = 0;
    IKelvraError* error = source->GetResolution(&dpi);
    const bool known = !error && dpi > 0;
    IKelvraError::Release(error);
    return known ? dpi : 72.0;
}

// The geometry and formats of one source; false when the format cannot
// store it or the source cannot tell.
bool Describe(const PellioSaveFormat& rule, IKelvraDataSource* source, std::uint32_t kind, PellioSaveImage* image)
{
    image->source = source;
    image->kind = kind;
    IKelvraError* error = source->GetColorSpace(&image->sourceFormat);
    if (!error)
        error = source->GetSize(&image->width, &image->height);
    const bool fine = !error && image->width > 0 && image->height > 0 &&
                      PellioStoredFormat(rule, image->sourceFormat, &image->storedFormat);
    IKelvraError::Release(error);
    if (fine)
        image->resolution = ResolutionOf(source);
    return fine;
}

IKelvraError* TakeBitmap(const PellioSaveFormat& rule, const KelvraSaveEntry& entry, PellioSavePlan* plan)
{
    const auto* record = static_cast<const KelvraSaveBitmap*>(entry.object);
    if (!record || record->magic != kKelvraSaveBitmapMagic || (!record->bits && record->length > 0))
        return PLAN_ERROR(kPellioListRefused);
    if (rule.container == PellioContainer::Qrf) {
        const auto* bits = static_cast<const std::uint8_t*>(record->bits);
        plan->bitmap.assign(bits, bits + record->length);
    }
    return nullptr;
}

IKelvraError* TakeEntry(const PellioSaveFormat& rule, const KelvraSaveEntry& entry, PellioSavePlan* plan)
{
    if (!KnownKind(entry.kind))
        return PLAN_ERROR(kPellioListRefused);
    if (entry.kind == kPellioEntryBitmap)
        return TakeBitmap(rule, entry, plan);
    auto* source = static_cast<IKelvraDataSource*>(entry.object);
    if (entry.count != 1 || !source)
        return PLAN_ERROR(kPellioListRefused);
    // Outside the raw container only renditions are written; a raw source
    // means nothing to a TIFF or JPEG reader, so its format does not count.
    if (rule.container != PellioContainer::Qrf && (entry.kind & kPellioEntryRawSource) != 0)
        return nullptr;
    PellioSaveImage image;
    if (!Describe(rule, source, entry.kind, &image))
        return PLAN_ERROR(kPellioListRefused);
    plan->images.push_back(image);
    return nullptr;
}

IKelvraError* CheckCount(const PellioSaveFormat& rule, const PellioSavePlan& plan)
{
    const std::size_t limit = rule.container == PellioContainer::Qrf ? kMaxQrfImages : rule.imageCount + 1;
    return plan.images.size() > limit ? PLAN_ERROR(kPellioListRefused) : nullptr;
}

IKelvraError* CheckMain(const PellioSaveFormat& rule, std::uint32_t option, const PellioSaveImage& main)
{
    if (rule.container != PellioContainer::Direct)
        return nullptr;
    long width = 0, height = 0;
    PellioFixedSize(option, &width, &height);
    return main.width == width && main.height == height ? nullptr : PLAN_ERROR(kKelvraBadArgument);
}

} // namespace

IKelvraError* PellioPlanSave(const PellioSaveFormat& rule, std::uint32_t option, IKelvraDataSource* main,
                             const KelvraSaveEntry* list, long count, PellioSavePlan* plan)
{
    if (!main || (!list && count > 0))
        return PLAN_ERROR(kKelvraMissingObject);
    if (count < 0)
        return PLAN_ERROR(kKelvraBadArgument);
    PellioSaveImage image;
    if (!Describe(rule, main, 0, &image))
        return PLAN_ERROR(kKelvraUnsupportedFormat);
    if (IKelvraError* error = CheckMain(rule, option, image))
        return error;
    plan->images.push_back(image);
    for (long i = 0; i < count; ++i) {
        if (IKelvraError* error = TakeEntry(rule, list[i], plan))
            return error;
    }
    return CheckCount(rule, *plan);
}
