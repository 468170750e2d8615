// The paths the develop command is given. Under Wine a user, and
// scripts/develop, name files by their Unix paths; the program's Windows
// calls need the Windows path that Wine maps each one to.
#pragma once

#include <string>

// `argument` as the program's Windows calls take it. Under Wine a Unix path
// (one that starts with '/') becomes the Windows path Wine maps it to, the
// one `winepath -w` gives: a file inside a drive's folder by that drive
// (C:\...), any other through the drive of the root (Z:\...). Any other
// text, and every text outside Wine, stays as it is. Empty when Wine cannot
// map the path or the Windows path has characters the ANSI code page lacks.
std::string WindowsPathOfArgument(const std::string& argument);
