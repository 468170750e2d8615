#include "TlRawSliderArrows.h"

#include "TlRawPluginHost.h"

#include <cstdint>
#include <mutex>
#include <list>

namespace {

const unsigned kArrowBitmapId = 3202;
const COLORREF kArtworkBackground = RGB(255, 0, 255);
const int kCellCount = 6;

struct Entry {
    COLORREF colour;
    int users;
    TlRawArrowSet set;
};

std::mutex g_lock;
std::list<Entry>& Table()
{
    static std::list<Entry> table;
    return table;
}

Entry* Find(COLORREF colour)
{
    for (Entry& entry : Table())
        if (entry.colour == colour)
            return &entry;
    return nullptr;
}

// One cell of the strip as a bitmap of its own, the artwork's background
// replaced by the slider's.
HBITMAP MakeCell(HBITMAP strip, int cell, int cellWidth, int height, COLORREF background)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = cellWidth;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return nullptr;
    HDC source = CreateCompatibleDC(nullptr);
    HDC target = CreateCompatibleDC(nullptr);
    HGDIOBJ oldSource = SelectObject(source, strip);
    HGDIOBJ oldTarget = SelectObject(target, bitmap);
    BitBlt(target, 0, 0, cellWidth, height, source, cell * cellWidth, 0, SRCCOPY);
    GdiFlush();
    const std::uint32_t key = 0xFF00FFu;
    const std::uint32_t replacement =
        (std::uint32_t(GetRValue(background)) << 16) | (GetGValue(background) << 8) | GetBValue(background);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < cellWidth * height; ++i)
        if ((pixels[i] & 0xFFFFFFu) == key)
            pixels[i] = replacement;
    SelectObject(source, oldSource);
    SelectObject(target, oldTarget);
    DeleteDC(source);
    DeleteDC(target);
    return bitmap;
}

void Free(TlRawArrowSet& set)
{
    for (auto& side : set.cells)
        for (HBITMAP& cell : side)
            if (cell)
                DeleteObject(cell);
    if (set.background)
        DeleteObject(set.background);
    if (set.strip)
        DeleteObject(set.strip);
    set = TlRawArrowSet{};
}

bool Make(COLORREF background, TlRawArrowSet* set)
{
    *set = TlRawArrowSet{};
    set->strip = static_cast<HBITMAP>(
        LoadImageW(TlRawOwnModule(), MAKEINTRESOURCEW(kArrowBitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP info = {};
    if (!set->strip || !GetObjectW(set->strip, sizeof(info), &info) || info.bmWidth < kCellCount) {
        Free(*set);
        return false;
    }
    const int cellWidth = info.bmWidth / kCellCount;
    for (int side = 0; side < 2; ++side)
        for (int look = 0; look < 3; ++look)
            set->cells[side][look] = MakeCell(set->strip, side * 3 + look, cellWidth, info.bmHeight, background);
    set->background = CreateSolidBrush(background);
    for (auto& side : set->cells)
        for (HBITMAP cell : side)
            if (!cell) {
                Free(*set);
                return false;
            }
    return set->background != nullptr;
}

} // namespace

const TlRawArrowSet* TlRawAcquireArrows(COLORREF background)
{
    std::lock_guard<std::mutex> lock(g_lock);
    if (Entry* entry = Find(background)) {
        ++entry->users;
        return &entry->set;
    }
    Entry entry = {background, 1, {}};
    if (!Make(background, &entry.set))
        return nullptr;
    Table().push_back(entry);
    return &Table().back().set;
}

void TlRawReleaseArrows(COLORREF background)
{
    std::lock_guard<std::mutex> lock(g_lock);
    auto& table = Table();
    for (auto it = table.begin(); it != table.end(); ++it) {
        if (it->colour != background)
            continue;
        if (--it->users == 0) {
            Free(it->set);
            table.erase(it);
        }
        return;
    }
}

int TlRawArrowUsers(COLORREF background)
{
    std::lock_guard<std::mutex> lock(g_lock);
    const Entry* entry = Find(background);
    return entry ? entry->users : 0;
}
