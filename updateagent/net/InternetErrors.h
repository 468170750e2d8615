// Texts for WinINet error codes, shared by the availability check and the
// downloader.
#pragma once

#include "base/TWideString.h"

#include <windows.h>

TWideString InternetErrorText(DWORD code);
// The system's message text for a code, or an empty text.
TWideString SystemMessageText(DWORD code);
