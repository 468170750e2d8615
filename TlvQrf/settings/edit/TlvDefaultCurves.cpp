#include "settings/edit/TlvDefaultCurves.h"

#include "settings/curves/TlLut.h"
#include "settings/curves/TlLutGroup.h"

namespace {

constexpr TlLutColour kBlack = {0, 0, 0};
constexpr TlLutColour kWhite = {255, 255, 255};
constexpr TlLutColour kRed = {255, 0, 0};
constexpr TlLutColour kGreen = {0, 255, 0};
constexpr TlLutColour kBlue = {0, 0, 255};

// A channel from black to `end`: its colours are the end colour, the black
// it starts from and the end colour again.
bool AddChannel(CTlLutGroup& group, int id, const TlLutColour& end)
{
    return group.AddLut(id, end, kBlack, end) != nullptr;
}

bool AddChannels(CTlLutGroup& group, int kind)
{
    switch (kind) {
    case kTlLutGroupToneCurves:
        return AddChannel(group, 0, kWhite) && AddChannel(group, 1, kRed) && AddChannel(group, 2, kGreen) &&
               AddChannel(group, 3, kBlue);
    case kTlLutGroupBrightnessContrast:
        return AddChannel(group, 0, kBlack) && AddChannel(group, 1, kBlack) && AddChannel(group, 2, kBlack) &&
               AddChannel(group, 3, kBlack);
    case kTlLutGroupLch:
        return AddChannel(group, 0, kWhite);
    default:
        return false;
    }
}

} // namespace

bool TlvBuildDefaultCurves(CTlLutGroup& group, int kind)
{
    // Built aside and copied over, so that running out of memory part-way
    // leaves the group as it was.
    CTlLutGroup defaults;
    defaults.RemoveAll();
    if (!AddChannels(defaults, kind))
        return false;
    defaults.SetCurrentElement(0);
    defaults.SetContrast(group.GetContrast());
    defaults.SetSnapshotContrast(group.GetSnapshotContrast());
    const int count = defaults.GetCount();
    group.Assign(defaults);
    return group.GetCount() == count && group.IsEqual(defaults);
}
