// The channels a curve container of each kind starts with: the tone curves
// a black-to-white master and red, green and blue channels; brightness and
// contrast a master and three channels, all black; the LCH set one
// black-to-white channel. Channel 0 is selected.
#pragma once

class CTlLutGroup;

// Replaces the elements of `group` by the default channels of `kind`
// (kTlLutGroupToneCurves, ...); the contrasts and the kind stay. False for
// another kind and when the channels cannot be made (the group is then
// unchanged) or copied. Used when the control-side holder sets its curves up
// and when a loaded container lacks its channels.
bool TlSetDefaultChannels(CTlLutGroup& group, int kind);
