// Splitting of Windows paths ("C:\folder\name.ext") into folder and file name.
#pragma once

#include <string>

// The part after the last "\", then after the last ":"; without
// `keepExtension` also cut at its last ".".
std::string GetFileName(const std::string& path, bool keepExtension);

// The part before the last "\", or before the last ":" when there is no
// "\"; empty when neither occurs.
std::string GetFolder(const std::string& path);
