// What the data-file tools share: the folder they write into, writing one
// whole file, and handing a failure's reason to the caller.
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
