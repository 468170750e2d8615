// The thumbnail of the item in work: a black frame of 136 x 156, light grey
// bands around a 126 x 126 square and under it, the item's picture fitted
// into the square by its longer side, and a caption line below.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CTlvModuleItem;

class CTlThumbnailItemPainter {
public:
    static constexpr int kThumbnailSide = 126;
    static constexpr int kCaptionHeight = 20;
    static constexpr int kFrameWidth = 136;
    static constexpr int kFrameHeight = 156;
    static constexpr COLORREF kBandColour = RGB(196, 196, 196);
    static constexpr COLORREF kSquareColour = RGB(255, 255, 255);

    CTlThumbnailItemPainter() noexcept;
    ~CTlThumbnailItemPainter();
    CTlThumbnailItemPainter(const CTlThumbnailItemPainter&) = delete;
    CTlThumbnailItemPainter& operator=(const CTlThumbnailItemPainter&) = delete;

    // The item whose picture is painted (not owned); null paints the frame only.
    void SetItem(CTlvModuleItem* item);
    CTlvModuleItem* GetItem() const { return m_item; }

    // Paints the frame with its top left corner at (left, top); `caption`
    // (may be null) is a path or name whose file-name part is shown.
    void Paint(HDC dc, int left, int top, const char* caption);

    // `text` as it fits `width` pixels on one line of `dc`'s font: whole, or
    // cut and ended with "...".
    static std::string FitCaption(HDC dc, const std::string& text, int width);
    // Where a picture of `width` x `height` goes in the square, relative to
    // the square's corner; empty for a picture of no width or height.
    static RECT FitPicture(long width, long height);

private:
    // Reads the item's 24-bit picture into bottom-up rows for painting, once per item.
    bool LoadPicture();
    void PaintPicture(HDC dc, const RECT& square);
    void PaintCaption(HDC dc, const RECT& line, const char* caption);

    HFONT m_font = nullptr;
    CTlvModuleItem* m_item = nullptr;
    bool m_loaded = false;
    long m_width = 0;
    long m_height = 0;
    // Blue, green, red per pixel, rows padded to four bytes, top row first.
    std::vector<unsigned char> m_pixels;
};
