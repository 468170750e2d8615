// The output ICC profile of a developed image: a grey image's grey profile,
// the profile the settings name, one the camera or the image's Exif tags
// call for, or else the RGB working profile.
#pragma once

class CTlvParamSet;

// Writes the output profile's path (260 bytes of room) into `result`.
// False only without a parameter set or a result buffer.
bool GetOutputProfilePath(const CTlvParamSet* params, char* result);

// The profile chosen without the user's working profile: the one the
// settings name, else by the camera's model code and colour-space setting,
// else by the Exif tags. False, with `result` untouched, when none applies
// (an image whose Exif version is older than "0221").
bool GetAutoOutputProfile(const CTlvParamSet* params, char* result);
