#include "TlRawNumericEdit.h"

#include "TlRawPluginHost.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

const UINT_PTR kEditSubclassId = 0x5445; // any fixed id of ours

int IntegerDigits(double value)
{
    double whole = std::floor(std::fabs(value));
    int digits = 1;
    while (whole >= 10.0) {
        whole /= 10.0;
        ++digits;
    }
    return digits;
}

bool StartsWith(const std::string& text, std::size_t at, const std::string& part)
{
    return !part.empty() && text.compare(at, part.size(), part) == 0;
}

} // namespace

int TlRawNumericTextLimit(double minimum, double maximum, int decimals)
{
    return std::max(IntegerDigits(minimum), IntegerDigits(maximum)) + std::max(decimals, 0) + 2;
}

bool TlRawNumericTextValid(const std::string& text, bool separators, const TlRawNumberFormat& format)
{
    std::size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if ((c >= '0' && c <= '9') || c == '-' || c == '+') {
            ++at;
        } else if (separators && StartsWith(text, at, format.decimal)) {
            at += format.decimal.size();
        } else if (separators && StartsWith(text, at, format.thousand)) {
            at += format.thousand.size();
        } else {
            return false;
        }
    }
    return true;
}

CTlRawNumericEdit::~CTlRawNumericEdit()
{
    if (m_window && IsWindow(m_window)) {
        RemoveWindowSubclass(m_window, &CTlRawNumericEdit::Proc, kEditSubclassId);
        DestroyWindow(m_window);
    }
}

bool CTlRawNumericEdit::Create(const RECT& rect, HWND parent, int id)
{
    if (m_window)
        return false;
    m_window = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                               rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), TlRawOwnModule(), nullptr);
    if (!m_window)
        return false;
    SetWindowSubclass(m_window, &CTlRawNumericEdit::Proc, kEditSubclassId, reinterpret_cast<DWORD_PTR>(this));
    return true;
}

void CTlRawNumericEdit::SetRange(double minimum, double maximum, int decimals, bool separators)
{
    m_minimum = minimum;
    m_maximum = maximum;
    m_decimals = decimals;
    m_separators = separators;
    if (minimum == maximum) {
        m_mode = kNoRange;
        m_textLimit = 0;
    } else {
        m_mode = kRange;
        m_textLimit = TlRawNumericTextLimit(minimum, maximum, decimals);
    }
    if (m_window)
        SendMessageW(m_window, EM_SETLIMITTEXT, WPARAM(m_textLimit), 0);
}

void CTlRawNumericEdit::SetText(const std::string& text)
{
    SetWindowTextA(m_window, text.c_str());
}

std::string CTlRawNumericEdit::Text() const
{
    const int length = GetWindowTextLengthA(m_window);
    std::vector<char> text(std::size_t(std::max(length, 0)) + 1);
    GetWindowTextA(m_window, text.data(), int(text.size()));
    return text.data();
}

double CTlRawNumericEdit::Value() const
{
    const TlRawNumberFormat& format = TlRawProcessNumberFormat();
    const std::string text = Text();
    std::string plain;
    for (std::size_t at = 0; at < text.size();) {
        if (StartsWith(text, at, format.decimal)) {
            plain += '.';
            at += format.decimal.size();
        } else if (StartsWith(text, at, format.thousand)) {
            at += format.thousand.size();
        } else {
            plain += text[at++];
        }
    }
    return std::strtod(plain.c_str(), nullptr);
}

bool CTlRawNumericEdit::IsValid(const std::string& text) const
{
    return TlRawNumericTextValid(text, m_separators, TlRawProcessNumberFormat());
}

HBRUSH CTlRawNumericEdit::Colours(HDC dc) const
{
    const bool enabled = IsWindowEnabled(m_window) != FALSE;
    const int back = enabled ? COLOR_WINDOW : COLOR_BTNFACE;
    SetBkColor(dc, GetSysColor(back));
    SetTextColor(dc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    return GetSysColorBrush(back);
}

bool CTlRawNumericEdit::AcceptsCharacter(wchar_t character) const
{
    if (character < L' ')
        return true; // editing keys: backspace, the clipboard's control characters
    if (character > 0x7F)
        return false;
    const std::string text(1, char(character));
    if (IsValid(text))
        return true;
    // A separator of several characters passes one character at a time.
    const TlRawNumberFormat& format = TlRawProcessNumberFormat();
    return m_separators &&
           (format.decimal.find(char(character)) != std::string::npos ||
            format.thousand.find(char(character)) != std::string::npos);
}

LRESULT CALLBACK CTlRawNumericEdit::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data)
{
    auto* self = reinterpret_cast<CTlRawNumericEdit*>(data);
    if (message == WM_CHAR && !self->AcceptsCharacter(wchar_t(wParam))) {
        MessageBeep(MB_OK);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &CTlRawNumericEdit::Proc, kEditSubclassId);
        self->m_window = nullptr;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
