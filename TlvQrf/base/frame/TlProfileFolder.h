// Where the library keeps its colour profiles and where its own file lies.
#pragma once

#include <string>

// The shared profiles folder: the Common Files folder followed by
// "Talvo\Profiles\". Computed anew at each call, so a changed registry
// value takes effect at once.
std::string GetProfileFolder();

// The folder of the library's own file, long form, ending in a backslash;
// computed once per process.
std::string GetModuleFolder();
