#include "TlRawBitmapButton.h"

#include "TlRawPluginHost.h"

namespace {

// Paints the pattern where the source is black and keeps the destination
// where it is white: the mask's shape in the selected brush.
const DWORD kPatternWhereSourceBlack = 0x00B8074A;
const int kPictureInset = 4;

void DrawFrame(HDC dc, RECT rect, bool pressed)
{
    const int outerTopLeft = pressed ? COLOR_3DDKSHADOW : COLOR_3DHIGHLIGHT;
    const int outerBottomRight = pressed ? COLOR_3DHIGHLIGHT : COLOR_3DDKSHADOW;
    const int innerTopLeft = pressed ? COLOR_3DSHADOW : COLOR_3DLIGHT;
    const int innerBottomRight = pressed ? COLOR_3DLIGHT : COLOR_3DSHADOW;
    const int colours[2][2] = {{outerTopLeft, outerBottomRight}, {innerTopLeft, innerBottomRight}};
    for (const auto& pair : colours) {
        HBRUSH topLeft = GetSysColorBrush(pair[0]);
        HBRUSH bottomRight = GetSysColorBrush(pair[1]);
        const RECT top = {rect.left, rect.top, rect.right, rect.top + 1};
        const RECT left = {rect.left, rect.top, rect.left + 1, rect.bottom};
        const RECT bottom = {rect.left, rect.bottom - 1, rect.right, rect.bottom};
        const RECT right = {rect.right - 1, rect.top, rect.right, rect.bottom};
        FillRect(dc, &top, topLeft);
        FillRect(dc, &left, topLeft);
        FillRect(dc, &bottom, bottomRight);
        FillRect(dc, &right, bottomRight);
        InflateRect(&rect, -1, -1);
    }
}

} // namespace

CTlRawBitmapButton::~CTlRawBitmapButton()
{
    if (m_window && IsWindow(m_window)) {
        TlRawAttachOwnerDrawn(m_window, nullptr);
        DestroyWindow(m_window);
    }
    if (m_bitmap)
        DeleteObject(m_bitmap);
}

bool CTlRawBitmapButton::Create(unsigned bitmapId, const RECT& rect, HWND parent, int id)
{
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(TlRawOwnModule(), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    return bitmap && Create(bitmap, rect, parent, id);
}

bool CTlRawBitmapButton::Create(HBITMAP bitmap, const RECT& rect, HWND parent, int id)
{
    BITMAP info = {};
    if (m_window || !bitmap || !GetObjectW(bitmap, sizeof(info), &info)) {
        if (bitmap)
            DeleteObject(bitmap);
        return false;
    }
    m_bitmap = bitmap;
    m_size = {info.bmWidth / 2, info.bmHeight};
    m_window = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, rect.left,
                               rect.top, m_size.cx, m_size.cy, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), TlRawOwnModule(), nullptr);
    if (!m_window)
        return false;
    TlRawAttachOwnerDrawn(m_window, this);
    return true;
}

void CTlRawBitmapButton::Enable(bool enable)
{
    EnableWindow(m_window, enable);
}

void CTlRawBitmapButton::Draw(const DRAWITEMSTRUCT& item)
{
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));

    const int offset = kPictureInset + (pressed ? 1 : 0);
    // The picture's origin sits at the offset; what passes the edge is cut.
    const int width = (rect.right - rect.left) - offset;
    const int height = (rect.bottom - rect.top) - offset;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, m_bitmap);
    const int x = rect.left + offset;
    const int y = rect.top + offset;
    if (disabled) {
        HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(COLOR_GRAYTEXT));
        BitBlt(dc, x, y, width, height, source, 0, 0, kPatternWhereSourceBlack);
        SelectObject(dc, oldBrush);
    } else {
        BitBlt(dc, x, y, width, height, source, 0, 0, SRCAND);
        BitBlt(dc, x, y, width, height, source, m_size.cx, 0, SRCPAINT);
    }
    SelectObject(source, old);
    DeleteDC(source);

    DrawFrame(dc, rect, pressed);
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&rect, -3, -3);
        DrawFocusRect(dc, &rect);
    }
}
