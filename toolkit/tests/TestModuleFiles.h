// Files the build puts beside the test program: language libraries and
// resource modules.
#pragma once

#include <windows.h>

#include <string>

inline std::string BesideTestProgram(const char* file)
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string program(path, length);
    return program.substr(0, program.rfind('\\') + 1) + file;
}
