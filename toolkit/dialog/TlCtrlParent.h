// Metrics and window styles for laying out controls made in code, from the
// process-wide dialog fonts. Every class that lays out controls derives
// from it.
//
// The order of the virtual operations is fixed (dialogs of other modules
// call through this table): add only at the end.
#pragma once

#include <windows.h>

class CCtrlParent {
public:
    CCtrlParent() noexcept;
    virtual ~CCtrlParent();
    CCtrlParent(const CCtrlParent&) = delete;
    CCtrlParent& operator=(const CCtrlParent&) = delete;

    // Fonts: h and w are the dialog font's character height and average
    // width, h2 and w2 the second font's.
    virtual int GetFontHeight() const;         // h
    virtual int GetFontWidth() const;          // w
    virtual int GetSecondFontHeight() const;   // h2
    virtual int GetSecondFontWidth() const;    // w2
    virtual int GetEditHeight() const;         // h + 4
    virtual int GetComboHeight() const;        // h + 4
    virtual int GetButtonHeight() const;       // h x 14 / 8
    virtual int GetListHeight(int lines) const; // button height x (lines + 1)
    virtual int GetCheckHeight() const;        // h x 14 / 8
    virtual int GetAtLeastMinimum(int n) const; // the larger of n and 20
    virtual int GetMargin() const;             // 12
    virtual int GetLabelWidth() const;         // 35
    virtual int GetRowStep() const;            // 24
    virtual int GetColumnStep() const;         // 24
    virtual int GetGroupStep() const;          // 24
    virtual int GetListExtraWidth() const;     // 2 w + 12 + a vertical scroll bar
    virtual int GetGap() const;                // 8
    virtual int GetSmallGap() const;           // 6
    virtual int GetLineSpacing() const;        // h x 3 / 8
    virtual int GetParagraphSpacing() const;   // h x 3 / 8
    virtual int GetIndent() const;             // w
    virtual int GetCheckIndent() const;        // w
    virtual int GetLabelOffset() const;        // h x 7 / 8
    virtual int GetEditOffset() const;         // h x 7 / 8
    virtual int GetCheckOffset() const;        // h x 7 / 8
    virtual int GetButtonOffset() const;       // h x 7 / 8
    // Styles of child controls.
    virtual int GetChildStyle() const;         // visible child in a tab group
    virtual int GetEditStyle() const;
    virtual int GetCheckBoxStyle() const;
    virtual int GetRadioStyle() const;
    virtual int GetLabelStyle() const;         // left, no wrap
    virtual int GetStaticStyle() const;
    virtual int GetCentredStyle() const;
    virtual int GetRightStyle() const;
    virtual int GetPushButtonStyle() const;
    virtual int GetDefaultButtonStyle() const;
    virtual int GetListBoxStyle() const;
    virtual int GetDropDownStyle() const;
    virtual int GetDropDownListStyle() const;
    virtual int GetGroupStyle() const;

    // Measures both fonts on the desktop window and keeps them (not owned) as
    // the process's layout fonts; a library does this once at its start. A
    // null font measures as 0.
    static void SetLayoutFonts(HFONT dialogFont, HFONT secondFont);
    static HFONT GetDialogFont();
    static HFONT GetSecondFont();
    // Hands a library to the kit, which frees it when the last living
    // CCtrlParent goes (at once when none lives). A library kept before is
    // freed first.
    static void KeepLibrary(HMODULE library);
    static long GetLivingCount();
};
