// The exposure's edit: a standard edit that takes only digits, signs and,
// when allowed, the user's decimal and thousands separators, limited to
// the characters its range and decimals need.
#pragma once

#include "TlRawNumberFormat.h"

#include <windows.h>

#include <string>

// Characters a number of the range needs: the larger count of integer
// digits of the minimum and the maximum, the decimals, a sign and the
// decimal point.
int TlRawNumericTextLimit(double minimum, double maximum, int decimals);
// True when every character of `text` is a digit, "-" or "+", or (when
// `separators`) the decimal or thousands separator of `format`.
bool TlRawNumericTextValid(const std::string& text, bool separators, const TlRawNumberFormat& format);

class CTlRawNumericEdit {
public:
    enum RangeMode { kNoRange = 0, kRange = 2 };

    CTlRawNumericEdit() = default;
    CTlRawNumericEdit(const CTlRawNumericEdit&) = delete;
    CTlRawNumericEdit& operator=(const CTlRawNumericEdit&) = delete;
    ~CTlRawNumericEdit();

    bool Create(const RECT& rect, HWND parent, int id);
    // Equal bounds switch the range off and lift the text limit.
    void SetRange(double minimum, double maximum, int decimals, bool separators);
    void SetText(const std::string& text);
    std::string Text() const;
    // The text as a number in the user's format (separators removed).
    double Value() const;
    bool IsValid(const std::string& text) const;

    // For the parent's WM_CTLCOLOREDIT and WM_CTLCOLORSTATIC: window colours
    // when enabled, button face and grey text when disabled.
    HBRUSH Colours(HDC dc) const;

    HWND Window() const { return m_window; }
    RangeMode Mode() const { return m_mode; }
    int TextLimit() const { return m_textLimit; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR data);
    bool AcceptsCharacter(wchar_t character) const;

    HWND m_window = nullptr;
    RangeMode m_mode = kNoRange;
    double m_minimum = 0.0;
    double m_maximum = 0.0;
    int m_decimals = 0;
    bool m_separators = false;
    int m_textLimit = 0;
};
