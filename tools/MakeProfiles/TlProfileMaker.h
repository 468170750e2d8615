// The ICC profiles the imaging library expects in its profiles folder
// ("<Common Files>\Talvo\Profiles"), made with LittleCMS. They are
// synthetic: built from the published definitions of the colour spaces
// (see docs/colour-profiles.md), not copied from anywhere.
#pragma once

#include "kelvra/KelvraError.h"

#include <cstdint>
#include <vector>

constexpr KelvraTag kTlProfileMakerTag = KelvraFourCC('T', 'l', 'P', 'm');

// One file name per profile. Callers spell some of them with other letter
// case ("TLCMYK.icm", "TlsRGB.icm", "TlLch2.icm"); Windows matches file
// names without regard to case, so one file serves every spelling.
const std::vector<const char*>& TlProfileFileNames();

// The bytes of the profile `fileName` names (letter case aside): 1014 for
// a name that is not one of ours.
IKelvraError* TlBuildProfile(const char* fileName, std::vector<std::uint8_t>* bytes);

// Writes every profile into `folder`, creating the folder and its parents
// when missing.
IKelvraError* TlWriteProfiles(const char* folder);
