// A program built beside the test program (in the same folder), run as a
// process of its own: for tests of what several processes do at once, or of
// what a process leaves behind when it is killed.
#pragma once

#include <windows.h>

#include <string>

class SiblingProcess {
public:
    // Starts `program`, a file name in the test program's folder, with
    // `arguments` after its quoted path. The process inherits the test's
    // standard handles, so what it prints shows in the test's output;
    // with `output` (an inheritable handle) its standard output and error
    // go there instead, for tests of what it prints.
    SiblingProcess(const std::string& program, const std::string& arguments, HANDLE output = nullptr);
    // Waits for the process to end.
    ~SiblingProcess();
    SiblingProcess(const SiblingProcess&) = delete;
    SiblingProcess& operator=(const SiblingProcess&) = delete;

    bool IsStarted() const { return m_process != nullptr; }
    DWORD ProcessId() const { return m_process != nullptr ? GetProcessId(m_process) : 0; }
    // Waits for the process to end: its exit code, or -1 when it never started.
    long Wait();

private:
    HANDLE m_process = nullptr;
};

// What a sibling does to stand for a process killed midway: it ends at once
// with kKilledExitCode, and none of its destructors runs.
constexpr long kKilledExitCode = 77;
[[noreturn]] void EndAsKilled();
