// The library's working colour profiles: the profiles folder, the table of
// five working profiles set at start-up and the prefix of the profiles the
// library generates. The host's thread sets them while the save worker may
// read them, so every access goes through one lock and readers get copies.
#pragma once

#include <string>

// Slots of the working-profile table.
enum TlWorkingProfileSlot {
    kTlRgbWorkingProfile = 0,     // the user's "RGBProfile" preference
    kTlCmykWorkingProfile = 1,    // "CMYKProfile"
    kTlLchWorkingProfile = 2,     // profiles folder + "TLLch2.icm"
    kTlMonitorWorkingProfile = 3, // "MonitorProfile"
    kTlSrgbWorkingProfile = 4,    // profiles folder + "TLsRGB.icm"
    kTlWorkingProfileSlots = 5,
};

// Keeps `folder` (at most 259 characters) with a trailing backslash.
void SetProfileFolder(const char* folder);
std::string GetProfileFolderPath();
// The profiles folder followed by `name`, cut to fit `result` (MAX_PATH
// characters with its terminator); returns `result`.
char* MakeProfilePath(char* result, const char* name);

// Fills slots 0, 1 and 3 from the arguments and slots 2 and 4 from the
// profiles folder ("TLLch2.icm", "TLsRGB.icm"); the second ignored argument
// stands where the fixed sRGB path is passed, the first where the LCh one
// would be. 1 when all five files exist, else 0.
int SetWorkingProfiles(const char* rgb, const char* cmyk, const char* ignoredLch, const char* monitor,
                       const char* ignoredSrgb);
// The slot's path; empty for a slot outside 0 to 4.
std::string GetWorkingProfile(int slot);
bool AreWorkingProfilesSet();

// The name prefix of generated profiles: "Tlx_" until start-up makes it
// "Tlb_". Only the first four characters of `prefix` are taken.
void SetGeneratedProfilePrefix(const char* prefix);
std::string GetGeneratedProfilePrefix();

// Back to the state of a freshly loaded library, which holds no generated
// profile (for tests).
void ResetWorkingProfiles();
