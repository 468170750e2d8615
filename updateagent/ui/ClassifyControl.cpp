#include "ui/ClassifyControl.h"

#include "base/TWideString.h"

namespace {
constexpr int kClassNameLength = 50;

// Group boxes share the check box's low style bits and are classed with them.
int ClassifyButton(HWND window)
{
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    if ((style & 0xB) == 0xB)
        return kControlOwnerDraw;
    if ((style & 3) == 3)
        return kControlCheckBox;
    if ((style & 9) == 9)
        return kControlRadio;
    return kControlButton;
}
}

int ClassifyControl(HWND window)
{
    if (!window)
        return kControlNone;
    wchar_t name[kClassNameLength] = {};
    if (GetClassNameW(window, name, kClassNameLength) == 0)
        return kControlNone;
    const TWideString className(name);
    const struct {
        const wchar_t* name;
        int kind;
    } kinds[] = {
        {L"static", kControlStatic},
        {L"edit", kControlEdit},
        {L"listbox", kControlListBox},
        {L"combobox", kControlComboBox},
        {L"msctls_trackbar32", kControlSlider},
        {L"msctls_updown32", kControlArrows},
        {L"msctls_progress32", kControlProgress},
    };
    if (className.CompareNoCase(L"button") == 0)
        return ClassifyButton(window);
    for (const auto& entry : kinds)
        if (className.CompareNoCase(entry.name) == 0)
            return entry.kind;
    return kControlUnknown;
}
