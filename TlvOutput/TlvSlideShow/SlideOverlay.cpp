#include "SlideOverlay.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kLineCount = 5;
constexpr int kNarrowestText = 150;
constexpr int kMargin = 15;
constexpr int kTextInset = 8;
constexpr int kOverlayAlpha = 100;
constexpr COLORREF kTextColour = RGB(255, 255, 128);

int LineHeight(HDC dc)
{
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    return metrics.tmHeight;
}

// Black over the picture with constant alpha: each channel keeps (255 - alpha) / 255.
void Darken(std::uint8_t* pixels, long rowBytes, const RECT& box)
{
    for (long y = box.top; y < box.bottom; ++y) {
        std::uint8_t* row = pixels + y * rowBytes;
        for (long x = box.left * 3; x < box.right * 3; ++x)
            row[x] = static_cast<std::uint8_t>((row[x] * (255 - kOverlayAlpha) + 127) / 255);
    }
}

} // namespace

HFONT SlideDialogFont()
{
    HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
    if (font == nullptr)
        font = GetStockObject(SYSTEM_FONT);
    return static_cast<HFONT>(font);
}

std::vector<std::string> OverlayLines(const ShowRecord& record)
{
    char size[96];
    const long long kilobytes = record.fileSize / 1024;
    if (record.width == 0 || record.height == 0)
        std::snprintf(size, sizeof size, "%lld KB", kilobytes);
    else
        std::snprintf(size, sizeof size, "%dx%d  %lld KB", record.width, record.height, kilobytes);
    return {record.fileName, size, record.dateText, record.infoText1, record.infoText2};
}

RECT OverlayBox(HDC dc, const RECT& area, const std::vector<std::string>& lines)
{
    int widest = kNarrowestText;
    for (const std::string& line : lines) {
        SIZE extent{};
        GetTextExtentPoint32A(dc, line.c_str(), int(line.size()), &extent);
        widest = std::max<int>(widest, extent.cx);
    }
    const int width = widest + 16;
    const int height = kLineCount * LineHeight(dc) + 28;
    RECT box;
    box.left = area.right - width - kMargin;
    box.top = area.bottom - height - kMargin;
    box.right = box.left + width;
    box.bottom = box.top + height;
    return box;
}

RECT DrawOverlay(HDC dc, std::uint8_t* pixels, long rowBytes, const RECT& area, const ShowRecord& record)
{
    HGDIOBJ previousFont = SelectObject(dc, SlideDialogFont());
    const std::vector<std::string> lines = OverlayLines(record);
    const RECT box = OverlayBox(dc, area, lines);
    RECT visible;
    IntersectRect(&visible, &box, &area);
    GdiFlush();
    Darken(pixels, rowBytes, visible);
    RECT edge = box;
    DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
    const int lineHeight = LineHeight(dc);
    SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = SetTextColor(dc, kTextColour);
    for (std::size_t i = 0; i < lines.size(); ++i)
        TextOutA(dc, box.left + kTextInset, box.top + kTextInset + int(i) * lineHeight, lines[i].c_str(),
                 int(lines[i].size()));
    SetTextColor(dc, previousColour);
    SelectObject(dc, previousFont);
    GdiFlush();
    return box;
}

void DrawOverlayOnWindow(HWND window, const RECT& area, const ShowRecord& record)
{
    HDC dc = GetDC(window);
    if (dc == nullptr)
        return;
    HGDIOBJ font = SelectObject(dc, SlideDialogFont());
    RECT box = OverlayBox(dc, area, OverlayLines(record));
    SelectObject(dc, font);
    IntersectRect(&box, &box, &area);
    const long width = box.right - box.left, height = box.bottom - box.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = width > 0 && height > 0
                         ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                         : nullptr;
    HDC memory = bitmap ? CreateCompatibleDC(dc) : nullptr;
    if (memory != nullptr) {
        // Only the box is copied out, drawn on and copied back.
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, dc, box.left, box.top, SRCCOPY);
        RECT shifted = area;
        OffsetRect(&shifted, -box.left, -box.top);
        DrawOverlay(memory, static_cast<std::uint8_t*>(bits), (width * 3 + 3) & ~3L, shifted, record);
        BitBlt(dc, box.left, box.top, width, height, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    if (bitmap != nullptr)
        DeleteObject(bitmap);
    ReleaseDC(window, dc);
}
