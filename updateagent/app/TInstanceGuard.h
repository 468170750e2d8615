// Lets one copy of the agent run at a time. The first copy owns the instance
// mutex until its process ends; later copies end quietly. The guard also
// knows the options that register the agent to start at log-on and remove
// that registration again.
#pragma once

#include <windows.h>

enum class GuardOption {
    Run,
    Register,
    Unregister,
    Usage,
};

// The guard's reading of the first two characters: "/" or "-" and a letter.
GuardOption ParseGuardOption(const char* commandLine);

class TInstanceGuard {
public:
    // True when this copy is to run the update flow. An option the guard
    // does not know shows its usage message and ends the process with 1.
    bool AcquireSingleInstance(const char* commandLine);

private:
    HANDLE m_stopEvent = nullptr;
    HANDLE m_mutex = nullptr;
};

// The value under the machine's Run key that starts the agent at log-on.
extern const char kAutoStartKey[];
extern const char kAutoStartValue[];
