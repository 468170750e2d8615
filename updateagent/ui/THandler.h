// Message handlers of the agent's windows and controls, and the maps that
// hold them by key (message number, command id or notification code).
#pragma once

#include <windows.h>

#include <map>

// What a handler receives.
struct TMsgContext {
    HWND window = nullptr;
    int key = 0;
    // lParam for plain messages, zero for commands and notifications.
    LPARAM plainParam = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

using THandlerCallback = LRESULT (*)(TMsgContext& context, void* user);

struct THandler {
    void* user = nullptr;
    THandlerCallback callback = nullptr;
};

class THandlerMap {
public:
    // False when the key is taken: a handler is never replaced.
    bool Add(int key, const THandler& handler);
    const THandler* Find(int key) const;
    void Clear() { m_handlers.clear(); }

private:
    std::map<int, THandler> m_handlers;
};

// Notification handlers by notification code, then by control id.
class TNotifyMap {
public:
    bool Add(int code, int controlId, const THandler& handler);
    const THandler* Find(int code, int controlId) const;
    void Clear() { m_codes.clear(); }

private:
    std::map<int, THandlerMap> m_codes;
};
