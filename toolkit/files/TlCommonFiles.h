// The system's Common Files folder, where the shared parts of the modules
// are installed.
#pragma once

#include <string>

// The REG_SZ value "CommonFilesDir" of HKEY_LOCAL_MACHINE
// "Software\Microsoft\Windows\CurrentVersion", as stored (no backslash is
// added). Empty when the value is missing or of another type.
std::string GetCommonFilesFolder();
