// The default channel sets of the three curve containers of an image's edit
// settings, as the control-side holder sets them up and as a Load restores
// them in a container that does not hold its four channels.
#pragma once

class CTlLutGroup;

// Replaces the elements of `group` by the default set of its kind (1 tone
// curves: a master from black to white and red, green and blue channels;
// 2 brightness and contrast: a master and three black channels; 3 LCH: one
// channel from black to white), with element 0 current. The contrasts and
// the kind stay. False, and the group unchanged, when memory runs out or the
// kind is none of the three.
bool TlvBuildDefaultCurves(CTlLutGroup& group, int kind);
