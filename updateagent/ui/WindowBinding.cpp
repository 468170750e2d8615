#include "ui/WindowBinding.h"

WNDPROC BindAndSubclass(HWND window, void* wrapper, WNDPROC procedure)
{
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(wrapper));
    return reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

bool ReadWindowText(HWND window, TWideString& text)
{
    text = TWideString();
    if (!IsWindow(window))
        return false;
    const int length = GetWindowTextLengthW(window);
    wchar_t* buffer = text.GetBuffer(length + 1);
    text.ReleaseBuffer(GetWindowTextW(window, buffer, length + 1));
    return true;
}
