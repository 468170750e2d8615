// What the library's exports do, without the module-state switch that the
// exports themselves add (so that tests can run them in their own module).
#pragma once

#include "lib/TlvQrfLib.h"

// Start-up: stores the manager, creates the global filter watcher, reads the
// profile paths, sets the profiles folder and working profiles, switches the
// generated-profile prefix and builds the software tag. 0, or 0x1008 when a
// working profile is missing (the watcher and manager then stay, the prefix
// stays "Tlx_" and the tag empty).
unsigned long StartQrfLibrary(IKelvraManager* manager);
// Deletes the generated profiles under the current prefix that no other
// process uses, then the watcher.
void CloseQrfLibrary();
unsigned long ReadWorkingProfilePaths(TlvQrfLib::TlvProfiles& profiles);
unsigned long MakeManagerImage(IKelvraImage** image, long kind);
void ReleaseManagerImage(IKelvraImage* image);
