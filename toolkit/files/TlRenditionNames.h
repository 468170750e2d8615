// Where renditions for an upload are written: the "TalvoServices" folder under
// the system temporary folder, and names in it that no file has yet.
#pragma once

#include <string>

// The system temporary folder followed by "TalvoServices" (no trailing "\"),
// created when missing; empty when it cannot be created or the path would not
// fit MAX_PATH.
std::string GetRenditionFolder() noexcept;

// From `sourceName`'s file part, its extension replaced by ".jpg" (added when
// it has none), the first of "base.jpg", "base1.jpg", "base2.jpg", ... that is
// not in the rendition folder. An empty source name makes a temporary file with
// prefix "Tln" there instead. `folder` and `fileName` receive the choice.
// 0; 0x1008 when no name is given, the folder cannot be had, or the path would
// not fit MAX_PATH.
unsigned long MakeRenditionName(const char* sourceName, std::string& folder, std::string& fileName) noexcept;
