// How the image control learns the default output profile of an image: the
// library's output-profile choice unless a test installs another chooser.
// With none (null installed) the default path stays empty.
#pragma once

class CTlvParamSet;

// Fills `path` (260 characters); false when it chose nothing.
using TlDefaultProfileChooser = bool (*)(const CTlvParamSet* params, char* path);

// Returns the chooser installed before.
TlDefaultProfileChooser SetDefaultProfileChooser(TlDefaultProfileChooser chooser);
// Runs the installed chooser; false without one.
bool ChooseDefaultProfile(const CTlvParamSet* params, char* path);
