// A save writes the new file under a unique temporary name ("Tln...") in the
// target's folder and then replaces the target with it in one step, so the
// user always keeps either the old file or the new one. A direct-image save
// leaves the target alone: its image goes to the destination it was given.
#pragma once

#include <cstdint>

class CTlvParamSet;

// The file format of a save that writes the edit settings into a copy of
// the raw file instead of exporting the image.
constexpr std::uint32_t kTlSaveSettingsFormat = 0x10000000;

// Results besides 0 and the writers' own codes.
constexpr int kTlSaveTargetNotReplaced = 15;  // locked, or the replace failed
constexpr int kTlSaveNoTemporaryFile = 16;    // the target's folder takes no new file
constexpr int kTlSaveNoTarget = 17;           // null or empty target path

int SaveImageToFile(CTlvParamSet* params, const char* targetPath, std::uint32_t channelLayout,
                    std::uint32_t fileFormat, std::uint32_t formatOption, bool directImage);

// Makes SaveImageToFile the save the image job runs.
void InstallImageSave();
