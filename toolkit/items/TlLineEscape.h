// Keeps a text on one line of the task file, whose reader takes every line
// break as the end of a value: backslash, CR and LF are written as "\\", "\r"
// and "\n". A text without those bytes is unchanged.
#pragma once

#include <string>

// Both may throw std::bad_alloc.
std::string TlEscapeLineBreaks(const std::string& text);
// Undoes TlEscapeLineBreaks; a backslash before any other byte, or at the end, stays as it is.
std::string TlUnescapeLineBreaks(const std::string& text);
