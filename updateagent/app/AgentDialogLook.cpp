#include "app/AgentDialogLook.h"

#include "ui/ShowMessageBox.h"

HICON ApplyAgentLook(TDialog& dialog, int controlId, UINT textId)
{
    HICON icon = LoadIconA(dialog.Resource().Instance(), MAKEINTRESOURCEA(kAgentIconId));
    SendMessageW(dialog.Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(dialog.Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    TWideString text;
    dialog.Resource().LoadText(kAgentCaptionId, text);
    dialog.SetText(text);
    text = TWideString();
    dialog.Resource().LoadText(textId, text);
    SetWindowTextW(dialog.GetDlgItem(controlId), text.Text());
    return icon;
}

void BringToFront(HWND window)
{
    SetForegroundWindow(window);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool ShowAgentBox(const TResource& resource, UINT textId, int kind)
{
    TWideString caption;
    TWideString text;
    resource.LoadText(kAgentCaptionId, caption);
    resource.LoadText(textId, text);
    return ShowMessageBox(caption, text, kind, nullptr);
}
