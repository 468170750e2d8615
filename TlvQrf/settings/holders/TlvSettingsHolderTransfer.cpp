// Between a holder and a top-level record: the record is pointed at the
// holder's records to save them, and a loaded record's records are copied
// into the holder.
#include "settings/holders/TlvSettingsHolder.h"

#include "settings/edit/TlvEditSettings.h"
#include "settings/holders/TlvHolderDefaults.h"

namespace {

template <class Record>
void PointAt(TlvSettingsSlot<Record>& slot, Record& record, std::uint8_t flag)
{
    slot.record = &record;
    slot.isDefault = flag;
}

// Copies by each record's own copy operation.
template <class Record>
void CopyRecord(Record& target, const Record& source)
{
    target = source;
}

void CopyRecord(CTlLutGroup& target, const CTlLutGroup& source)
{
    target.Assign(source);
}

// Back to the state the holder constructs the record in.
template <class Record>
void ResetRecord(Record& record)
{
    record.Reset();
}

void ResetRecord(CTlUsmListState& record)
{
    record.entries.clear();
}

void ResetRecord(CTlLutGroup& record)
{
    record.Reset(true);
}

void ResetRecord(CTlGeometryState& record)
{
    record = CTlGeometryState(TlvHolderDefaults::kImageWidth, TlvHolderDefaults::kImageHeight, nullptr,
                              TlvHolderDefaults::kResolution);
}

void ResetRecord(CTlWhiteBalanceState& record)
{
    TlvHolderDefaults::SetAsShot(record);
}

void ResetRecord(CTlRedEyeState& record)
{
    record.Clear();
}

void ResetRecord(CTlPluginListState& record)
{
    record.entries.clear();
    record.unresolved.clear();
}

template <class Record>
void TakeRecord(const TlvSettingsSlot<Record>& slot, Record& record)
{
    if (slot.record == nullptr)
        ResetRecord(record);
    else if (slot.record != &record)
        CopyRecord(record, *slot.record);
}

template <class Record>
void TakeRecord(const TlvSettingsSlot<Record>& slot, Record& record, std::uint8_t& used)
{
    used = slot.isDefault;
    TakeRecord(slot, record);
}

} // namespace

void CTlvSettingsHolder::ExportTo(CTlvEditSettings& settings)
{
    PointAt(settings.usmList, usmList, usmListUsed);
    PointAt(settings.toneCurves, toneCurves, toneCurvesUsed);
    PointAt(settings.brightnessContrast, brightnessContrast, brightnessContrastUsed);
    PointAt(settings.lch, lch, lchUsed);
    PointAt(settings.revelation, revelation, revelationUsed);
    PointAt(settings.dust, dust, dustUsed);
    // The geometry and the general values have no use flag.
    PointAt(settings.geometry, geometry, std::uint8_t(0));
    PointAt(settings.adjust, adjust, adjustUsed);
    PointAt(settings.whiteBalance, whiteBalance, whiteBalanceUsed);
    PointAt(settings.tripleValue, tripleValue, tripleValueUsed);
    PointAt(settings.flags, flags, flagsUsed);
    PointAt(settings.plugins, plugins, pluginsUsed);
    PointAt(settings.chromaBoost, chromaBoost, chromaBoostUsed);
    PointAt(settings.general, general, std::uint8_t(0));
    PointAt(settings.vignette, vignette, vignetteUsed);
    PointAt(settings.redEye, redEye, redEyeUsed);
    PointAt(settings.autoBrightness, autoBrightness, autoBrightnessUsed);
    settings.flip = flip;
    settings.angle = angle;
    settings.data = data;
}

void CTlvSettingsHolder::ImportFrom(const CTlvEditSettings& settings)
{
    TakeRecord(settings.usmList, usmList, usmListUsed);
    TakeRecord(settings.toneCurves, toneCurves, toneCurvesUsed);
    TakeRecord(settings.brightnessContrast, brightnessContrast, brightnessContrastUsed);
    TakeRecord(settings.lch, lch, lchUsed);
    TakeRecord(settings.revelation, revelation, revelationUsed);
    TakeRecord(settings.dust, dust, dustUsed);
    TakeRecord(settings.geometry, geometry);
    TakeRecord(settings.adjust, adjust, adjustUsed);
    TakeRecord(settings.whiteBalance, whiteBalance, whiteBalanceUsed);
    TakeRecord(settings.tripleValue, tripleValue, tripleValueUsed);
    TakeRecord(settings.flags, flags, flagsUsed);
    TakeRecord(settings.plugins, plugins, pluginsUsed);
    TakeRecord(settings.chromaBoost, chromaBoost, chromaBoostUsed);
    TakeRecord(settings.general, general);
    TakeRecord(settings.vignette, vignette, vignetteUsed);
    TakeRecord(settings.redEye, redEye, redEyeUsed);
    TakeRecord(settings.autoBrightness, autoBrightness, autoBrightnessUsed);
    flip = settings.flip;
    angle = settings.angle;
    tripleValue.SetSecondAvailable(secondValueSwitch != 0 && secondValueBlock == 0);
    data = settings.data;
}
