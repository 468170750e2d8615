// What the data-file tools share: the folder they write into, writing one
// whole file, handing a failure's reason to the caller, and the program's
// command line.
#pragma once

#include <cstddef>
#include <string>

// Creates `folder` when it is missing and gives it without a trailing
// separator in `path`. Empty on success, else why not.
std::string TlMakeToolFolder(const char* folder, std::string* path);

// Writes `bytes` as the whole file at `path`. Empty on success, else why
// not; a file that could not be written whole is deleted, so that no
// cut-short data file is left for a reader to trip over.
std::string TlWriteToolFile(const std::string& path, const void* bytes, std::size_t size);

// True when `reason` is empty; the reason goes into `failure` when given.
bool TlReportToolResult(const std::string& reason, std::string* failure);

// The whole of a tool's main for `program <folder>`: 0 when `write` has
// written into the folder, 1 after printing `notWritten` and the reason,
// 2 after printing the usage.
int TlRunFolderTool(int argc, char** argv, const char* program, const char* notWritten,
                    bool (*write)(const char* folder, std::string* failure));
