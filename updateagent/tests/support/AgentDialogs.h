// Helpers of the tests that run the agent's dialogs: the language library,
// and a thread that finds a dialog or box of this process and presses it.
#pragma once

#include <windows.h>

#include <string>

constexpr DWORD kDialogWaitMs = 20000;
// The id of a message box's text control.
constexpr int kBoxTextControl = 0xFFFF;

struct FoundDialog {
    HWND window = nullptr;
    bool topmost = false;
    std::wstring text;
};

// Waits on a thread of its own for a visible window of this process that
// holds the control `marker`, reads that control's text, and posts the
// command `command` to the window.
class DialogPresser {
public:
    DialogPresser(int marker, int command);
    ~DialogPresser();
    DialogPresser(const DialogPresser&) = delete;
    DialogPresser& operator=(const DialogPresser&) = delete;

    // Waits for the search to end.
    const FoundDialog& Result();

private:
    static BOOL CALLBACK Consider(HWND window, LPARAM self);
    static DWORD WINAPI Run(LPVOID self);

    int m_marker;
    int m_command;
    FoundDialog m_found;
    HANDLE m_thread = nullptr;
};

// "CorvaneLang.dll" beside the test program, with the common controls ready.
struct LanguageLibrary {
    LanguageLibrary();
    ~LanguageLibrary();
    LanguageLibrary(const LanguageLibrary&) = delete;
    LanguageLibrary& operator=(const LanguageLibrary&) = delete;

    std::wstring Text(UINT id) const;
    HMODULE module;
};
