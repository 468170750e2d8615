#include "dialog/TlThumbnailItemPainter.h"

#include "dialog/TlCtrlParent.h"
#include "items/TlItemMediator.h"
#include "items/TlvModuleItem.h"

#include "kelvra/KelvraImage.h"

#include <algorithm>
#include <new>

namespace {

const char kEllipsis[] = "...";
// The frame's border, and the band between it and the square.
constexpr int kBorder = 1;
constexpr int kInset = (CTlThumbnailItemPainter::kFrameWidth - CTlThumbnailItemPainter::kThumbnailSide) / 2;

int TextWidth(HDC dc, const std::string& text)
{
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
    return size.cx;
}

void Fill(HDC dc, const RECT& rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

std::string FileNamePart(const char* caption)
{
    const std::string text = caption ? caption : "";
    const std::size_t slash = text.find_last_of("\\/");
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

HFONT MakeFont()
{
    HFONT model = CCtrlParent::GetDialogFont();
    if (model == nullptr)
        model = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA description{};
    if (model == nullptr || GetObjectA(model, sizeof description, &description) == 0)
        return nullptr;
    return CreateFontIndirectA(&description);
}

} // namespace

CTlThumbnailItemPainter::CTlThumbnailItemPainter() noexcept : m_font(MakeFont()) {}

CTlThumbnailItemPainter::~CTlThumbnailItemPainter()
{
    if (m_font != nullptr)
        DeleteObject(m_font);
}

void CTlThumbnailItemPainter::SetItem(CTlvModuleItem* item)
{
    if (item == m_item)
        return;
    m_item = item;
    m_loaded = false;
    m_pixels.clear();
    m_width = m_height = 0;
}

void CTlThumbnailItemPainter::Paint(HDC dc, int left, int top, const char* caption)
{
    const RECT frame{left, top, left + kFrameWidth, top + kFrameHeight};
    Fill(dc, frame, RGB(0, 0, 0));
    const RECT bands{frame.left + kBorder, frame.top + kBorder, frame.right - kBorder, frame.bottom - kBorder};
    Fill(dc, bands, kBandColour);
    const RECT square{left + kInset, top + kInset, left + kInset + kThumbnailSide, top + kInset + kThumbnailSide};
    Fill(dc, square, kSquareColour);
    PaintPicture(dc, square);
    const RECT line{square.left, square.bottom, square.right, square.bottom + kCaptionHeight};
    PaintCaption(dc, line, caption);
}

std::string CTlThumbnailItemPainter::FitCaption(HDC dc, const std::string& text, int width)
{
    if (TextWidth(dc, text) <= width)
        return text;
    std::string shown = text;
    while (!shown.empty() && TextWidth(dc, shown + kEllipsis) > width)
        shown.pop_back();
    return shown + kEllipsis;
}

RECT CTlThumbnailItemPainter::FitPicture(long width, long height)
{
    if (width <= 0 || height <= 0)
        return RECT{0, 0, 0, 0};
    const long longer = std::max(width, height);
    // Rounded to the nearest pixel, never thinner than one.
    const long fittedWidth = std::max(1L, (width * kThumbnailSide + longer / 2) / longer);
    const long fittedHeight = std::max(1L, (height * kThumbnailSide + longer / 2) / longer);
    const long x = (kThumbnailSide - fittedWidth) / 2;
    const long y = (kThumbnailSide - fittedHeight) / 2;
    return RECT{x, y, x + fittedWidth, y + fittedHeight};
}

bool CTlThumbnailItemPainter::LoadPicture()
{
    if (m_loaded)
        return !m_pixels.empty();
    m_loaded = true;
    CItemMediator* mediator = m_item ? m_item->GetMediator() : nullptr;
    ITlvItemRecord* record = mediator ? mediator->GetRecord() : nullptr;
    IKelvraImage* image = record ? record->GetImage() : nullptr;
    KelvraPixelFormat format = 0;
    long width = 0, height = 0;
    if (image == nullptr || image->GetColorSpace(&format) != nullptr || format != kKelvraRGB8 ||
        image->GetSize(&width, &height) != nullptr || width <= 0 || height <= 0)
        return false;
    try {
        const long sourceRowBytes = KelvraRowBytes(format, width);
        std::vector<unsigned char> rows(std::size_t(sourceRowBytes) * std::size_t(height));
        if (IKelvraError* error = KelvraReadRect(image, KelvraRect(0, 0, width, height), rows.data(), sourceRowBytes)) {
            IKelvraError::Release(error);
            return false;
        }
        const long paddedRowBytes = (sourceRowBytes + 3) & ~3L;
        m_pixels.assign(std::size_t(paddedRowBytes) * std::size_t(height), 0);
        for (long y = 0; y < height; ++y) {
            const unsigned char* from = &rows[std::size_t(y) * std::size_t(sourceRowBytes)];
            unsigned char* to = &m_pixels[std::size_t(y) * std::size_t(paddedRowBytes)];
            for (long x = 0; x < width; ++x, from += 3, to += 3) {
                to[0] = from[2];
                to[1] = from[1];
                to[2] = from[0];
            }
        }
    } catch (const std::bad_alloc&) {
        m_pixels.clear();
        return false;
    }
    m_width = width;
    m_height = height;
    return true;
}

void CTlThumbnailItemPainter::PaintPicture(HDC dc, const RECT& square)
{
    if (!LoadPicture())
        return;
    const RECT place = FitPicture(m_width, m_height);
    if (place.right == place.left)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const int previousMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, square.left + place.left, square.top + place.top, place.right - place.left,
                  place.bottom - place.top, 0, 0, m_width, m_height, m_pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(dc, previousMode);
}

void CTlThumbnailItemPainter::PaintCaption(HDC dc, const RECT& line, const char* caption)
{
    const std::string name = FileNamePart(caption);
    if (name.empty())
        return;
    HGDIOBJ previousFont = m_font ? SelectObject(dc, m_font) : nullptr;
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = SetTextColor(dc, RGB(0, 0, 0));
    std::string shown = FitCaption(dc, name, line.right - line.left);
    RECT rect = line;
    DrawTextA(dc, shown.c_str(), int(shown.size()), &rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    SetTextColor(dc, previousColour);
    SetBkMode(dc, previousMode);
    if (previousFont != nullptr)
        SelectObject(dc, previousFont);
}
