// The neutral settings file "Neutral.set", which the raw-image library reads
// beside itself when it saves a raw file that stores no edit settings of its
// own. Its content is the stored form of a top-level edit-settings record
// pointed at the records of an untouched settings holder: every record at
// the state a new image starts in. Synthetic: see docs/install-layout.md.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The file's name, as the library looks it up.
extern const char kTlNeutralSettingsName[];

// The file's bytes; the same in every run. Empty when memory runs out.
std::vector<std::uint8_t> TlBuildNeutralSettings();

// Writes the file into `folder`, which must exist. False with a reason in
// `failure` when it could not be written; no partial file is left behind.
bool TlWriteNeutralSettings(const char* folder, std::string* failure);
