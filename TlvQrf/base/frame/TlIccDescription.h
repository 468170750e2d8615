// The description text of an ICC profile (its 'desc' tag), for display.
#pragma once

#include <cstdio>

class CTlString;

// Reads the description of the profile open in `file` (binary). Unless
// `keepVersion`, a description of the maker's own profiles loses its
// trailing version ("TALVO sRGB 4.0.0" becomes "TALVO sRGB").
// False when the file is not a readable profile with a description.
bool ReadIccDescription(std::FILE* file, CTlString& description, bool keepVersion);

// Opens the profile at `path`, reads its description and closes it.
bool ReadIccDescriptionFromFile(const char* path, CTlString* description, bool keepVersion);
