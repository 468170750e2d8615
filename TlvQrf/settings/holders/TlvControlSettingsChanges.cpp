// What an import changed, for the control object to act on.
#include "settings/holders/TlvControlSettings.h"

#include <cstddef>
#include <new>
#include <vector>

namespace {

// Records are compared by their stored forms; one that cannot be saved for
// want of memory counts as changed.
bool SameStoredForm(ITlState& first, ITlState& second)
{
    try {
        std::vector<unsigned char> a(static_cast<std::size_t>(first.GetSize()));
        std::vector<unsigned char> b(static_cast<std::size_t>(second.GetSize()));
        first.Save(a.data(), static_cast<int>(a.size()));
        second.Save(b.data(), static_cast<int>(b.size()));
        return a == b;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// A non-zero value that differs from the last one noted.
template <class Value>
bool NoteNewValue(Value value, Value& last, std::uint8_t& changed)
{
    if (value == 0 || value == last)
        return false;
    last = value;
    changed = 1;
    return true;
}

} // namespace

void CTlvControlSettings::NoteChanges()
{
    NoteChromaBoost();
    NoteGeneral();
    NoteGeometry();
    NoteRedEye();
    NoteAutoBrightness();
}

void CTlvControlSettings::NoteChromaBoost()
{
    if (NoteNewValue(chromaBoost.amount, lastSeen.chromaBoostAmount, changes.chromaBoost))
        lastSeen.chromaBoostEnabled = chromaBoost.enabled;
}

void CTlvControlSettings::NoteGeneral()
{
    NoteNewValue(general.values[2], lastSeen.generalThird, changes.generalThird);
    NoteNewValue(general.values[3], lastSeen.generalFourth, changes.generalFourth);
}

void CTlvControlSettings::NoteGeometry()
{
    if (SameStoredForm(geometry, lastGeometry))
        return;
    lastGeometry = geometry;
    changes.geometry = 1;
}

void CTlvControlSettings::NoteRedEye()
{
    if (!redEyeUsed || redEye.value == 0)
        return;
    redEye.value = 1;
    redEye.flag = 1;
    changes.redEye = 1;
}

void CTlvControlSettings::NoteAutoBrightness()
{
    if (!autoBrightnessUsed || (autoBrightness.exposureCompensation == 0.0 && !autoBrightness.useBlackLevel))
        return;
    lastSeen.exposureCompensation = autoBrightness.exposureCompensation;
    lastSeen.useBlackLevel = autoBrightness.useBlackLevel;
    changes.autoBrightness = 1;
}
