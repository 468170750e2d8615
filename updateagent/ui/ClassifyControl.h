// The kind of a dialog's child control, from its window class and, for
// buttons, its style; it chooses the control's wrapper.
#pragma once

#include <windows.h>

enum ControlKind {
    kControlNone = -1,
    kControlUnknown = 0,
    kControlStatic = 1,
    kControlEdit = 2,
    kControlButton = 3,
    kControlRadio = 4,
    kControlCheckBox = 5,
    kControlProgress = 6,
    kControlSlider = 7,
    kControlListBox = 8,
    kControlComboBox = 9,
    kControlOwnerDraw = 11,
    kControlArrows = 13,
};

// kControlNone for a null window or one whose class cannot be read.
int ClassifyControl(HWND window);
