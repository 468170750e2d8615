// The software tag that saves write into files (tag 305): the product name
// of string 9014 and the library's file version, "Imagora 1.0.0 W".
#pragma once

#include <windows.h>

#include <string>

// `name`, a blank, the FileVersion with its blanks removed, cut before its
// last comma (nothing of it is left when it has none) and its other commas
// turned into dots, then " W": "1, 0, 0, 3012" gives "<name> 1.0.0 W".
std::string FormatSoftwareTag(const std::string& name, const std::string& fileVersion);

// The tag of `module`'s version block, into `tag`: 0 (also when the block
// has no usable FileVersion; `tag` is then untouched), 0x1003 when the block
// cannot be allocated, 0x1008 when the module's file name or the size of
// its version block cannot be read. The name comes from the current
// resource module's string table.
unsigned long BuildSoftwareTagOf(HMODULE module, std::string& tag);
// The same for the library's own file.
unsigned long BuildSoftwareTag(std::string& tag);
