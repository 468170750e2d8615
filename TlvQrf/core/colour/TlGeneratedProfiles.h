// Camera profiles generated into the profiles folder. The generator that
// computes a profile from the camera and its capture settings
// (camera/TlCameraProfile.h) is reached through this interface; without
// one no profile is generated (the caller gets an empty path).
#pragma once

#include "kelvra/KelvraError.h"

#include <cstdint>
#include <string>

class ITlCameraProfileGenerator {
public:
    virtual ~ITlCameraProfileGenerator() = default;
    // The file name of the profile for the present settings, starting with
    // `prefix`.
    virtual IKelvraError* GetFileName(const char* prefix, std::string* name) = 0;
    // Bytes of the serialised profile.
    virtual std::uint32_t GetProfileSize() const = 0;
    // Computes the profile's contents.
    virtual IKelvraError* Build() = 0;
    // Writes exactly `size` (GetProfileSize) bytes into `buffer`.
    virtual IKelvraError* Serialise(void* buffer, std::uint32_t size) = 0;
};

// The tone compensation that names the user's custom curve: the profile is
// then named by the image's custom-curve profile number.
constexpr long kTlCustomCurveTone = 16;

// The path of the generated profile for `generator`'s settings, in the
// profiles folder under the current prefix. A file of the right size is
// reused as it is; otherwise the profile is built and written. With
// `customCurveNumber` >= 0 the name is "<prefix>U<number, 8 digits>.icm".
// Empty when there is no generator or anything fails. Other processes share
// the folder: a profile is written under a temporary name and then renamed,
// generation is serialised across threads and processes, and the profile
// stays marked as used by this process (TlGeneratedProfileHolds.h) until it
// closes.
std::string ProvideGeneratedProfile(ITlCameraProfileGenerator* generator, long customCurveNumber = -1);

// Deletes every "<prefix>*.icm" in the profiles folder, and the temporary
// files of profiles whose writer died, under the generation lock. Files that
// cannot be deleted (another process uses them) are left alone; nothing is
// reported.
void DeleteGeneratedProfiles(const char* prefix);
