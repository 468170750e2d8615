// The two framework operations that make registered objects: reading a
// file's tags into a new tag control, and loading every sub-image of a
// loader.
#pragma once

#include "kelvra/KelvraTypes.h"
#include "settings/holders/TlvSettingsHolder.h"

#include <cstdint>
#include <vector>

class IKelvraLoad;
class IKelvraManager;
class IKelvraTagControl;

// A file cannot hold more sub-images than this, nor more than one per this
// many of its bytes (the smallest entry of a file's image list).
constexpr long kTlMaxSubImages = 256;
constexpr std::int64_t kTlSubImageEntryBytes = 18;

// True at once when `tags` is set. Otherwise reads the tags of `file` into a
// new registered tag control (made with the library's manager); on failure
// `tags` stays null and nothing stays registered.
bool ReadFileTags(IKelvraTagControl*& tags, const KelvraFile& file);

// Fills `entries` with the loader's sub-images, each image registered, and
// returns how many loaded: the first that fails ends the list. The count
// the file reports is believed only up to kTlMaxSubImages and to one per
// kTlSubImageEntryBytes of `fileBytes`.
long LoadSubImages(std::vector<TlvSubImage>& entries, IKelvraLoad* loader, IKelvraManager* manager,
                   std::int64_t fileBytes);
