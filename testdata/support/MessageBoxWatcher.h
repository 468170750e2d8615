// Finds a message box of a process, reads its text and presses its button,
// so that no box hangs a headless test. A box a library shows while it
// starts holds the loader lock: watch it from another process, or from a
// watcher started before the library is loaded.
#pragma once

#include <windows.h>

#include <string>

struct WatchedBox {
    bool found = false;
    std::string caption;
    std::string text;
};

// Waits up to `timeoutMs` for a message box of process `processId`; the
// first one found is read and closed through its first button.
WatchedBox CloseMessageBoxOf(DWORD processId, DWORD timeoutMs);

// Watches this process from a thread of its own, from construction until a
// box was closed or the time is up.
class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(DWORD timeoutMs);
    // Waits for the watch to end.
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    // Waits for the watch to end and answers what it found.
    const WatchedBox& Result();

private:
    static DWORD WINAPI Watch(LPVOID self);

    DWORD m_timeoutMs;
    WatchedBox m_box;
    HANDLE m_running = nullptr;
    HANDLE m_thread = nullptr;
};
