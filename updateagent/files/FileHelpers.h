// The agent's folders and file helpers: the working folder under the
// temporary folder, and small file operations over TPath.
#pragma once

#include "files/TPath.h"

#include <windows.h>

#include <cstdio>
#include <memory>

// The temporary folder, ending in "\"; always true.
bool GetTempFolder(TPath& folder);
// "Talvo\Corvane\" under the temporary folder, both levels made when missing.
bool GetWorkingFolder(TPath& folder);
// The folder of the module's file, ending in "\".
bool GetModuleFolder(HMODULE module, TPath& folder);
// True when the folder exists or was made.
bool EnsureFolder(const TPath& folder);
// The C library's fopen on the path as narrow text; null on failure.
FILE* OpenFile(const TPath& path, const char* mode);
bool FileExists(const TPath& path);
// The whole file in text mode, ended by a zero byte; true when it was read
// to its end. A file that cannot be opened makes no buffer.
bool ReadWholeFile(const TPath& path, std::unique_ptr<char[]>& text);
// Deletes a file, read-only or not; folders are left alone. Always true.
bool DeletePath(const TPath& path);
