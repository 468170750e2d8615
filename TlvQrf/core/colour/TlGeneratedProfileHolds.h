// This process's marks on the generated profiles it uses. A mark is a handle
// on the file that lets others open it but not delete it or rename another
// file over it, so a process that closes clears only the profiles that no
// other process uses. The system drops the marks of a process that dies.
#pragma once

#include <cstdint>
#include <string>

// Marks the file at `path` as used when it is `size` bytes long; false, with
// no mark, when it is missing, cannot be opened or has another size (a mark
// this process held on it is then dropped, so that it can be rewritten).
bool HoldGeneratedProfile(const std::string& path, std::uint32_t size);

// Drops every mark: the process is done with its generated profiles.
void ReleaseGeneratedProfileHolds();
