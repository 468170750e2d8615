#include "settings/curves/TlLutGroupDefaults.h"

#include "settings/curves/TlLutGroup.h"

namespace {

constexpr TlLutColour kBlack = {0, 0, 0};
constexpr TlLutColour kWhite = {255, 255, 255};
constexpr TlLutColour kRed = {255, 0, 0};
constexpr TlLutColour kGreen = {0, 255, 0};
constexpr TlLutColour kBlue = {0, 0, 255};

// Curve colour, then the start and end of the gradient bar.
struct ChannelColours {
    TlLutColour curve;
    TlLutColour start;
    TlLutColour end;
};

constexpr ChannelColours kBlackToWhite = {kBlack, kBlack, kWhite};
constexpr ChannelColours kAllBlack = {kBlack, kBlack, kBlack};
constexpr ChannelColours kToneChannels[] = {
    kBlackToWhite, {kRed, kBlack, kRed}, {kGreen, kBlack, kGreen}, {kBlue, kBlack, kBlue}};
constexpr ChannelColours kBrightnessContrastChannels[] = {kAllBlack, kAllBlack, kAllBlack, kAllBlack};
constexpr ChannelColours kLchChannels[] = {kBlackToWhite};

template <int Count>
bool Build(CTlLutGroup& group, const ChannelColours (&channels)[Count])
{
    CTlLutGroup built;
    built.RemoveAll();
    for (int id = 0; id < Count; ++id) {
        const ChannelColours& c = channels[id];
        if (built.AddLut(id, c.curve, c.start, c.end) == nullptr)
            return false;
    }
    built.SetCurrentElement(0);
    // The contrasts belong to the user's settings, not to the channel set.
    built.SetContrast(group.GetContrast());
    built.SetSnapshotContrast(group.GetSnapshotContrast());
    group.Assign(built);
    return group.GetCount() == Count;
}

} // namespace

bool TlSetDefaultChannels(CTlLutGroup& group, int kind)
{
    switch (kind) {
    case kTlLutGroupToneCurves:
        return Build(group, kToneChannels);
    case kTlLutGroupBrightnessContrast:
        return Build(group, kBrightnessContrastChannels);
    case kTlLutGroupLch:
        return Build(group, kLchChannels);
    default:
        return false;
    }
}
