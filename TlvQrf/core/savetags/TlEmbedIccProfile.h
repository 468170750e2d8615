// Puts the output profile of a save into its tag copy.
#pragma once

class IKelvraTagControl;

// Stores the bytes of the profile file at `profilePath` as the ICC profile
// tag (34675, byte type). True only when the tag was set; a file that
// cannot be opened or read, or is empty, leaves the tags as they were.
bool EmbedIccProfile(IKelvraTagControl* tagControl, const char* profilePath);
