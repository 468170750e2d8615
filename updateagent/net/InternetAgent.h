#pragma once

// The agent string of every WinINet session the update agent opens.
constexpr const char kInternetAgent[] = "Talvo Corvane";
