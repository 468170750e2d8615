#include "support/MessageBoxWatcher.h"

#include <cstring>

namespace {

// The text control's id in a message box.
constexpr int kBoxTextId = 0xFFFF;
constexpr DWORD kLookEveryMs = 20;

struct Search {
    DWORD processId;
    HWND box;
};

BOOL CALLBACK FindBox(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    // A box is shown once its texts and buttons are in place.
    if (owner != search->processId || std::strcmp(className, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    search->box = window;
    return FALSE;
}

BOOL CALLBACK FindButton(HWND child, LPARAM data)
{
    char className[32] = {};
    GetClassNameA(child, className, sizeof className);
    // A box holds a button for every choice and hides those it does not offer.
    if (lstrcmpiA(className, "Button") != 0 || !IsWindowVisible(child))
        return TRUE;
    *reinterpret_cast<HWND*>(data) = child;
    return FALSE;
}

std::string TextOf(HWND window)
{
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

} // namespace

WatchedBox CloseMessageBoxOf(DWORD processId, DWORD timeoutMs)
{
    WatchedBox found;
    const DWORD start = GetTickCount();
    Search search{processId, nullptr};
    while (search.box == nullptr) {
        EnumWindows(&FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.box != nullptr)
            break;
        if (GetTickCount() - start >= timeoutMs)
            return found;
        Sleep(kLookEveryMs);
    }
    found.found = true;
    found.caption = TextOf(search.box);
    HWND text = GetDlgItem(search.box, kBoxTextId);
    if (text != nullptr)
        found.text = TextOf(text);
    HWND button = nullptr;
    EnumChildWindows(search.box, &FindButton, reinterpret_cast<LPARAM>(&button));
    if (button != nullptr)
        PostMessageA(search.box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    else
        PostMessageA(search.box, WM_CLOSE, 0, 0);
    return found;
}

MessageBoxWatcher::MessageBoxWatcher(DWORD timeoutMs) : m_timeoutMs(timeoutMs)
{
    // A thread starts under the loader lock: it must be running before the
    // caller loads a library whose start-up shows the box.
    m_running = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_thread = CreateThread(nullptr, 0, &MessageBoxWatcher::Watch, this, 0, nullptr);
    if (m_thread != nullptr && m_running != nullptr)
        WaitForSingleObject(m_running, INFINITE);
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    Result();
    if (m_thread != nullptr)
        CloseHandle(m_thread);
    if (m_running != nullptr)
        CloseHandle(m_running);
}

const WatchedBox& MessageBoxWatcher::Result()
{
    if (m_thread != nullptr)
        WaitForSingleObject(m_thread, INFINITE);
    return m_box;
}

DWORD WINAPI MessageBoxWatcher::Watch(LPVOID self)
{
    auto* watcher = static_cast<MessageBoxWatcher*>(self);
    // The first window calls of a thread set up its window state, which may
    // load libraries: done before the caller takes the loader lock.
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    Search warmUp{0, nullptr};
    EnumWindows(&FindBox, reinterpret_cast<LPARAM>(&warmUp));
    SetEvent(watcher->m_running);
    watcher->m_box = CloseMessageBoxOf(GetCurrentProcessId(), watcher->m_timeoutMs);
    return 0;
}
