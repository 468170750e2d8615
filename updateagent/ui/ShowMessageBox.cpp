#include "ui/ShowMessageBox.h"

UINT MessageBoxStyleFor(int kind)
{
    switch (kind) {
    case kBoxError:
        return MB_TOPMOST | MB_ICONERROR;
    case kBoxInformation:
        return MB_TOPMOST | MB_ICONINFORMATION;
    case kBoxQuestion:
        return MB_TOPMOST | MB_ICONQUESTION | MB_YESNO;
    default:
        return MB_TOPMOST;
    }
}

bool ShowMessageBox(const TWideString& caption, const TWideString& text, int kind, HWND owner)
{
    const int answer = MessageBoxW(owner, text.Text(), caption.Text(), MessageBoxStyleFor(kind));
    return answer == IDYES || answer == IDOK;
}
