#include "TlRawNotices.h"

#include "TlRawPluginHost.h"

#include <algorithm>

namespace {

enum : unsigned {
    kStringOk = 24,
    kStringCancel = 25,
    kStringTitle = 30,
    kStringDontShowAgain = 31,
    kStringNonRaw = 32,
    kStringEdited = 60,
};

void SetItemString(HWND dialog, int item, unsigned stringId)
{
    wchar_t text[512] = {};
    LoadStringW(TlRawOwnModule(), stringId, text, 512);
    if (item == 0)
        SetWindowTextW(dialog, text);
    else
        SetDlgItemTextW(dialog, item, text);
}

INT_PTR CALLBACK NonRawProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetItemString(dialog, 0, kStringTitle);
        SetItemString(dialog, kTlRawNonRawTextId, kStringNonRaw);
        SetItemString(dialog, kTlRawDontShowAgainId, kStringDontShowAgain);
        SetItemString(dialog, IDOK, kStringOk);
        SetItemString(dialog, IDCANCEL, kStringCancel);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            auto* ticked = reinterpret_cast<bool*>(GetWindowLongPtrW(dialog, DWLP_USER));
            *ticked = IsDlgButtonChecked(dialog, kTlRawDontShowAgainId) == BST_CHECKED;
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK EditedProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    SetItemString(dialog, 0, kStringTitle);
    SetItemString(dialog, kTlRawEditedTextId, kStringEdited);
    return TRUE;
}

} // namespace

bool TlRawRunNonRawNotice(HWND owner, bool* dontShowAgain)
{
    bool ticked = false;
    const INT_PTR answer = DialogBoxParamW(TlRawOwnModule(), MAKEINTRESOURCEW(kTlRawNonRawNoticeId), owner,
                                           &NonRawProc, reinterpret_cast<LPARAM>(&ticked));
    *dontShowAgain = answer == IDOK && ticked;
    return answer == IDOK;
}

POINT TlRawCentredOn(const RECT& around, SIZE size, const RECT& screen)
{
    long x = around.left + ((around.right - around.left) - size.cx) / 2;
    long y = around.top + ((around.bottom - around.top) - size.cy) / 2;
    x = std::max(std::min(x, screen.right - size.cx), screen.left);
    y = std::max(std::min(y, screen.bottom - size.cy), screen.top);
    return {x, y};
}

HWND TlRawOpenEditedNotice(HWND editorWindow)
{
    HWND notice = CreateDialogParamW(TlRawOwnModule(), MAKEINTRESOURCEW(kTlRawEditedNoticeId), editorWindow,
                                     &EditedProc, 0);
    if (!notice)
        return nullptr;
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT around = screen;
    if (editorWindow)
        GetWindowRect(editorWindow, &around);
    RECT own = {};
    GetWindowRect(notice, &own);
    const POINT at = TlRawCentredOn(around, {own.right - own.left, own.bottom - own.top}, screen);
    // Shown without taking the focus from the editor, which goes on reading.
    SetWindowPos(notice, HWND_TOP, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(notice);
    return notice;
}

void TlRawCloseEditedNotice(HWND notice)
{
    if (notice && IsWindow(notice))
        DestroyWindow(notice);
}
