#include "dialog/TlvProgressDlg.h"

#include "lang/TlvStringResource.h"
#include "task/ITlTask.h"
#include "task/TlvUploadNotices.h"

#include "runbase/TlvMessageCodes.h"

#include <commctrl.h>

#include <algorithm>

namespace {

// Rows of the column, from the top: upper line, middle line, bar, lower
// line, button; the hidden static sits on the upper line.
constexpr int kBarHeight = 16;
constexpr int kRowGap = 6;
constexpr int kFullBar = 100;

// The bar's position from the host's progress words (done, total) at
// `record`; -1 without words.
int ProgressPercent(TlvWord record)
{
    if (record == 0)
        return -1;
    const auto* pair = reinterpret_cast<const long*>(record);
    if (pair[1] == 0)
        return kFullBar;
    const long long percent = static_cast<long long>(pair[0]) * kFullBar / pair[1];
    return int(std::clamp<long long>(percent, 0, kFullBar));
}

} // namespace

CTlvProgressDlg::CTlvProgressDlg(const CTlvLangResource* language) noexcept : m_language(language) {}

CTlvProgressDlg::~CTlvProgressDlg()
{
    DestroyWindow();
}

BOOL CTlvProgressDlg::Create()
{
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    return CDialog::Create(kDialogId, nullptr);
}

unsigned long CTlvProgressDlg::Initialize(ITlvMessage* entry, ITlvHost* host, ITlTask* task)
{
    m_entry = entry;
    m_host = host;
    m_task = task;
    return 0;
}

unsigned long CTlvProgressDlg::Notify(TlvWord code, TlvWord, TlvWord, TlvWord record, TlvWord, TlvWord,
                                      TlvWord subValue, TlvWord, TlvWord replyTag)
{
    if (m_hWnd == nullptr)
        return 1;
    const bool finished = subValue == kTlvNoticeFinished;
    switch (code) {
    case TLV_MSG_UPLOAD_ITEM_BEGIN:
        SetPaintedItem(reinterpret_cast<CTlvModuleItem*>(record));
        Invalidate(FALSE);
        return 0;
    case TLV_MSG_UPLOAD_ITEM_END:
        SetPaintedItem(nullptr);
        Invalidate(FALSE);
        UpdateWindow();
        return 0;
    case TLV_MSG_UPLOAD_LOGGED_IN:
        if (!finished)
            SetProgressText(nullptr, CTlvStringResource(m_language, kLoggedInText).c_str());
        ShowButtonAndWindow(subValue);
        return 0;
    case TLV_MSG_UPLOAD_ALBUMS_READY:
        ShowButtonAndWindow(subValue);
        return 0;
    case TLV_MSG_UPLOAD_BEGIN:
        Layout(!finished);
        if (!finished)
            ShowWindow(SW_SHOWNOACTIVATE);
        return 0;
    case TLV_MSG_UPLOAD_END:
        Reset();
        return 0;
    case TLV_MSG_REQUEST_PROGRESS: {
        const int percent = ProgressPercent(record);
        if (replyTag != kTlvRenderReplyTag || percent < 0)
            return 1;
        SetBar(percent);
        return 0;
    }
    default:
        return 1;
    }
}

void CTlvProgressDlg::SetProgressText(const char* upper, const char* lower)
{
    const std::pair<UINT, const char*> lines[] = {{kUpperLine, upper}, {kLowerLine, lower}};
    for (const auto& line : lines) {
        HWND control = GetDlgItem(int(line.first));
        if (line.second == nullptr || control == nullptr)
            continue;
        ::SetWindowTextA(control, line.second);
        ::UpdateWindow(control);
    }
}

void CTlvProgressDlg::Reset()
{
    if (m_hWnd == nullptr)
        return;
    SetBar(0);
    SetPaintedItem(nullptr);
    ShowWindow(SW_HIDE);
    Layout(false);
}

int CTlvProgressDlg::GetCompactWidth() const
{
    return kBarWidth + 2 * GetMargin();
}

int CTlvProgressDlg::GetWideWidth() const
{
    return GetCompactWidth() + CTlThumbnailItemPainter::kFrameWidth + GetMargin();
}

BOOL CTlvProgressDlg::OnInitDialog()
{
    MakeControls();
    RestorePlacement();
    Layout(false);
    return FALSE;
}

void CTlvProgressDlg::OnCancel()
{
    if (m_task != nullptr)
        m_task->Abort();
}

BOOL CTlvProgressDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_PAINT) {
        Paint();
        *result = 0;
        return TRUE;
    }
    if (message == WM_DESTROY)
        SavePlacement();
    return CTlDialog::OnWndMsg(message, wParam, lParam, result);
}

void CTlvProgressDlg::MakeControls()
{
    m_cancelText = CTlvStringResource(m_language, kCancelText).Text();
    MakeControl(WC_STATICA, "", SS_LEFT, kHiddenStatic);
    MakeControl(WC_STATICA, "", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS | WS_VISIBLE, kUpperLine);
    MakeControl(WC_STATICA, "", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS | WS_VISIBLE, kMiddleLine);
    HWND bar = MakeControl(PROGRESS_CLASSA, "", WS_VISIBLE, kProgressBar);
    ::SendMessageA(bar, PBM_SETRANGE32, 0, kFullBar);
    HWND button = MakeControl(WC_BUTTONA, m_cancelText.c_str(), BS_PUSHBUTTON | WS_TABSTOP, kCancelButton);
    MakeControl(WC_STATICA, "", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS | WS_VISIBLE, kLowerLine);

    // As wide as its caption, at least the minimum, plus the padding.
    HDC dc = ::GetDC(button);
    HGDIOBJ previous = SelectObject(dc, GetFont());
    SIZE text{};
    GetTextExtentPoint32A(dc, m_cancelText.c_str(), int(m_cancelText.size()), &text);
    SelectObject(dc, previous);
    ::ReleaseDC(button, dc);
    m_buttonWidth = std::max<int>(text.cx, kMinimumButtonText) + kButtonPadding;
}

HWND CTlvProgressDlg::MakeControl(const char* windowClass, const char* text, DWORD style, UINT id)
{
    HWND control = CreateWindowExA(0, windowClass, text, WS_CHILD | style, 0, 0, 0, 0, m_hWnd,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), AfxGetInstanceHandle(),
                                   nullptr);
    if (control != nullptr)
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetFont()), FALSE);
    return control;
}

void CTlvProgressDlg::Layout(bool wide)
{
    m_wide = wide;
    const int columnLeft = wide ? GetWideWidth() - GetCompactWidth() : 0;
    const int line = LineHeight();
    int top = GetMargin();
    PlaceCentred(GetDlgItem(kHiddenStatic), columnLeft, top, kBarWidth, line);
    PlaceCentred(GetDlgItem(kUpperLine), columnLeft, top, kBarWidth, line);
    top += line + kRowGap;
    PlaceCentred(GetDlgItem(kMiddleLine), columnLeft, top, kBarWidth, line);
    top += line + kRowGap;
    PlaceCentred(GetDlgItem(kProgressBar), columnLeft, top, kBarWidth, kBarHeight);
    top += kBarHeight + kRowGap;
    PlaceCentred(GetDlgItem(kLowerLine), columnLeft, top, kBarWidth, line);
    top += line + GetMargin();
    PlaceCentred(GetDlgItem(kCancelButton), columnLeft, top, m_buttonWidth, line * 14 / 8 + kRowGap);

    // The window keeps its place and height and takes the layout's width.
    RECT window{}, client{};
    GetWindowRect(&window);
    GetClientRect(&client);
    const int frameWidth = (window.right - window.left) - (client.right - client.left);
    const int width = (wide ? GetWideWidth() : GetCompactWidth()) + frameWidth;
    SetWindowPos(m_hWnd, nullptr, 0, 0, width, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate();
}

void CTlvProgressDlg::PlaceCentred(HWND control, int columnLeft, int top, int width, int height)
{
    if (control != nullptr)
        ::MoveWindow(control, columnLeft + (GetCompactWidth() - width) / 2, top, width, height, FALSE);
}

void CTlvProgressDlg::ShowButtonAndWindow(TlvWord subValue)
{
    const bool finished = subValue == kTlvNoticeFinished;
    ::ShowWindow(GetDlgItem(kCancelButton), finished ? SW_SHOWNOACTIVATE : SW_HIDE);
    ShowWindow(finished ? SW_HIDE : SW_SHOWNOACTIVATE);
}

void CTlvProgressDlg::SetBar(int position)
{
    ::SendMessageA(GetDlgItem(kProgressBar), PBM_SETPOS, WPARAM(position), 0);
}

void CTlvProgressDlg::SetPaintedItem(CTlvModuleItem* item)
{
    m_painter.SetItem(item);
}

void CTlvProgressDlg::Paint()
{
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(m_hWnd, &paint);
    if (dc != nullptr && m_wide)
        m_painter.Paint(dc, GetMargin(), GetMargin(), "");
    EndPaint(m_hWnd, &paint);
}

void CTlvProgressDlg::RestorePlacement()
{
    const CTlvStringResource name(m_language, kPlacementValueText);
    TlRegistryValue value;
    if (!name.Found() || !m_settings.ReadValue(name.Text(), value) || value.data.size() != sizeof(WINDOWPLACEMENT))
        return;
    WINDOWPLACEMENT placement{};
    std::copy(value.data.begin(), value.data.end(), reinterpret_cast<unsigned char*>(&placement));
    placement.length = sizeof placement;
    // The window stays hidden until a notice shows it.
    placement.showCmd = SW_HIDE;
    SetWindowPlacement(m_hWnd, &placement);
}

void CTlvProgressDlg::SavePlacement()
{
    const CTlvStringResource name(m_language, kPlacementValueText);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (name.Found() && GetWindowPlacement(m_hWnd, &placement))
        m_settings.WriteBinary(name.Text(), &placement, sizeof placement);
}

int CTlvProgressDlg::LineHeight() const
{
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ previous = SelectObject(dc, GetFont());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ::ReleaseDC(m_hWnd, dc);
    return metrics.tmHeight > 0 ? int(metrics.tmHeight) : GetFontHeight();
}
