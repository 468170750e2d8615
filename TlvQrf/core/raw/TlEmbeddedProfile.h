// Copies the colour profile embedded in a raw file out to a file.
#pragma once

#include <cstddef>

class IKelvraTagControl;

enum : unsigned { kTlIccProfileTag = 34675, kTlAlternativeProfileTag = 0x80E02 };
constexpr std::size_t kTlProfilePathChars = 260;

// The profile tag (or, with `alternative`, the library's own profile tag):
// byte values are written to the file named by `path`; a path-valued tag is
// copied into `path` (260 characters). False on any failure.
bool WriteEmbeddedProfile(const IKelvraTagControl* tags, char* path, bool alternative);

// Allocation callback handed to outside code: n new bytes, null for 0 or
// when memory runs out. Freed with delete[].
unsigned char* AllocateBytes(std::size_t n, unsigned long ignored);
