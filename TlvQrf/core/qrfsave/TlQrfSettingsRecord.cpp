#include "qrfsave/TlQrfSettingsRecord.h"

#include "kelvra/KelvraTagControl.h"
#include "load/TlStoredSettings.h"
#include "params/TlvParamSet.h"
#include "raw/TlTagBytes.h"
#include "settings/edit/TlvEditSettings.h"
#include "settings/curves/TlLutGroup.h"
#include "settings/edit/TlvEditSlots.h"

#include <memory>
#include <new>

namespace {

template <class Record>
void Point(TlvSettingsSlot<Record>& slot, Record* record, std::uint32_t flag)
{
    slot.record = record;
    slot.isDefault = flag != 0 ? 1 : 0;
}

// The record's stored form; empty when it writes nothing or memory runs out.
std::vector<unsigned char> StoredForm(ITlState& record)
{
    std::vector<unsigned char> bytes;
    const int size = record.GetSize();
    if (size <= 0)
        return bytes;
    try {
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        bytes.clear();
        return bytes;
    }
    if (record.Save(bytes.data(), size) != size)
        bytes.clear();
    return bytes;
}

// A slot without a flag entry (geometry, general values) is always in use.
ITlState* InUse(const TlvEditSlot& slot, CTlvEditSettings& settings)
{
    ITlState* record = slot.record(settings);
    if (record == nullptr || (slot.flag != nullptr && slot.flagId != nullptr && *slot.flag(settings) == 0))
        return nullptr;
    return record;
}

// Curve containers compare by their curves, not by the slot kind that only
// a save gives them.
bool RecordsMatch(const TlvEditSlot& slot, ITlState& a, ITlState& b)
{
    if (slot.kind == TlvSlotKind::CurveGroup)
        return static_cast<CTlLutGroup&>(a).IsEqual(static_cast<CTlLutGroup&>(b));
    return StoredForm(a) == StoredForm(b);
}

// A record counts as at its defaults when its slot does not use it or it
// holds its defaults; two records at their defaults match.
bool AtDefaults(const TlvEditSlot& slot, CTlvEditSettings& settings, const ITlState* inUse)
{
    return inUse == nullptr || slot.atDefaults(settings);
}

bool SlotsMatch(CTlvEditSettings& mine, CTlvEditSettings& stored)
{
    for (const TlvEditSlot& slot : TlvEditSlots()) {
        if (slot.record == nullptr)
            continue;
        ITlState* a = InUse(slot, mine);
        ITlState* b = InUse(slot, stored);
        if (AtDefaults(slot, mine, a) && AtDefaults(slot, stored, b))
            continue;
        if (a == nullptr || b == nullptr || !RecordsMatch(slot, *a, *b))
            return false;
    }
    return true;
}

// The size the stored geometry is adapted to, as the load adapts it.
void RecordedSize(const IKelvraTagControl& tags, int& width, int& height)
{
    std::uint32_t w = 0;
    std::uint32_t h = 0;
    IKelvraError* error = tags.GetImageSize(&w, &h);
    IKelvraError::Release(error);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
}

} // namespace

void PointAtParams(const CTlvParamSet& p, CTlvEditSettings& settings)
{
    Point(settings.usmList, p.sharpeningList, p.sharpeningListFlag);
    Point(settings.toneCurves, p.firstCurves, p.firstCurvesFlag);
    Point(settings.brightnessContrast, p.secondCurves, p.secondCurvesFlag);
    Point(settings.lch, p.lch, p.lchFlag);
    Point(settings.revelation, p.revelation, p.revelationFlag);
    Point(settings.dust, p.dust, p.dustFlag);
    Point(settings.geometry, p.geometry, 0);
    Point(settings.adjust, p.adjust, p.adjustFlag);
    Point(settings.whiteBalance, p.whiteBalance, p.whiteBalanceFlag);
    Point(settings.tripleValue, p.levelTriple, p.levelTripleFlag);
    Point(settings.flags, p.fisheye, p.fisheyeFlag);
    Point(settings.plugins, p.plugins, p.pluginsFlag);
    Point(settings.chromaBoost, p.chromaBoost, p.chromaBoostFlag);
    Point(settings.general, p.channelMixer, 0);
    Point(settings.vignette, p.vignette, p.vignetteFlag);
    Point(settings.redEye, p.redEye, p.redEyeFlag);
    Point(settings.autoBrightness, p.autoBrightness, p.autoBrightnessFlag);
    settings.flip = static_cast<std::uint16_t>(p.flip);
    settings.angle = static_cast<std::uint16_t>(p.rotation);
    if (p.tagBlob != nullptr && p.tagBlobSize != 0)
        settings.data.Set(p.tagBlob, p.tagBlobSize);
}

bool SerialiseSettings(const CTlvParamSet& params, std::vector<unsigned char>& bytes)
{
    CTlvEditSettings settings(0, 0);
    PointAtParams(params, settings);
    bytes = StoredForm(settings);
    return !bytes.empty();
}

bool StoredSettingsMatch(const CTlvParamSet& params)
{
    if (params.tags == nullptr)
        return false;
    // The stored record is read into default records.
    std::unique_ptr<CTlvSettingsHolder> storedRecords(new (std::nothrow) CTlvSettingsHolder);
    if (!storedRecords)
        return false;
    int width = 0;
    int height = 0;
    RecordedSize(*params.tags, width, height);
    if (width > 0 && height > 0)
        storedRecords->geometry.ResizeToImage(width, height);
    CTlvEditSettings stored(0, 0);
    storedRecords->ExportTo(stored);

    const std::vector<unsigned char> block = ReadWholeTag(*params.tags, kTlStoredSettingsTag);
    if (!block.empty() && stored.Load(block.data(), static_cast<int>(block.size()), width, height) <= 0)
        return false;
    if (stored.flip != static_cast<std::uint16_t>(params.flip) ||
        stored.angle != static_cast<std::uint16_t>(params.rotation))
        return false;
    CTlvEditSettings mine(0, 0);
    PointAtParams(params, mine);
    return SlotsMatch(mine, stored);
}
