// The thumbnail painter into a real memory device context: the frame, the
// bands, the picture fitted by its longer side and the caption line.
#include "TestImages.h"

#include "dialog/TlThumbnailItemPainter.h"
#include "items/TlItemMediator.h"
#include "items/TlvUploadItem.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kBand = RGB(196, 196, 196);
constexpr COLORREF kSquare = RGB(255, 255, 255);
constexpr COLORREF kPicture = RGB(200, 30, 60);
constexpr COLORREF kBackground = RGB(255, 0, 255);
// Where the frame's corner goes in the test bitmap.
constexpr int kLeft = 10, kTop = 10;

class PictureRecord : public ITlvItemRecord {
public:
    explicit PictureRecord(IKelvraImage* image) : m_image(image) {}
    IKelvraImage* GetImage() override { return m_image; }
    unsigned long GetPart(long, long, IKelvraImage**) override { return 0x1008; }

private:
    IKelvraImage* m_image;
};

class PictureMediator : public CItemMediator {
public:
    explicit PictureMediator(ITlvItemRecord* record) : m_record(record) {}
    unsigned long Attach(ITlvMessage*, ITlvHost*, TlvItemId) override { return 0; }
    void Detach() override {}
    ITlvItemRecord* GetRecord() override { return m_record; }
    IKelvraImage* GetPart(long) override { return nullptr; }
    unsigned long GetLocation(std::string&, std::string&) override { return 1; }
    const char* GetItemName() override { return "picture"; }

private:
    ITlvItemRecord* m_record;
};

// An item whose mediator answers a given record; the item owns the mediator.
class PictureItem : public CTlvUploadItem {
public:
    explicit PictureItem(ITlvItemRecord* record) { m_mediator = new PictureMediator(record); }
};

// A 32-bit memory bitmap selected into a memory DC, cleared to the background.
class MemoryCanvas {
public:
    MemoryCanvas(int width, int height)
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous = SelectObject(dc, bitmap);
        const RECT all{0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(kBackground);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    ~MemoryCanvas()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    // A pixel relative to the frame's corner.
    COLORREF At(int x, int y) const { return GetPixel(dc, kLeft + x, kTop + y); }

    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
};

TEST(ThumbnailPainter, TheFrameAndItsBands)
{
    MemoryCanvas canvas(160, 180);
    CTlThumbnailItemPainter painter;
    painter.Paint(canvas.dc, kLeft, kTop, "");
    const struct {
        int x, y;
        COLORREF colour;
    } points[] = {
        {0, 0, kBlack},     {135, 0, kBlack},  {0, 155, kBlack}, {135, 155, kBlack}, {-1, -1, kBackground},
        {136, 156, kBackground}, {1, 1, kBand}, {4, 4, kBand},   {134, 154, kBand},   {5, 5, kSquare},
        {130, 130, kSquare}, {5, 131, kBand},   {68, 150, kBand}, {131, 68, kBand},
    };
    for (const auto& p : points)
        EXPECT_EQ(p.colour, canvas.At(p.x, p.y)) << p.x << "," << p.y;
}

TEST(ThumbnailPainter, ThePictureIsFittedByItsLongerSideAndCentred)
{
    TestManagerPtr manager = MakeTestManager();
    const struct {
        long width, height;
        RECT block; // in frame coordinates
    } cases[] = {
        {252, 126, {5, 36, 131, 99}},
        {126, 252, {36, 5, 99, 131}},
        {40, 40, {5, 5, 131, 131}},
    };
    for (const auto& c : cases) {
        TlImagePtr image = MakeSolidImage(manager.get(), c.width, c.height, 200, 30, 60);
        ASSERT_TRUE(image);
        PictureRecord record(image.get());
        PictureItem item(&record);
        MemoryCanvas canvas(160, 180);
        CTlThumbnailItemPainter painter;
        painter.SetItem(&item);
        painter.Paint(canvas.dc, kLeft, kTop, nullptr);
        const RECT& b = c.block;
        EXPECT_EQ(kPicture, canvas.At(b.left, b.top)) << c.width;
        EXPECT_EQ(kPicture, canvas.At(b.right - 1, b.bottom - 1)) << c.width;
        EXPECT_EQ(kPicture, canvas.At((b.left + b.right) / 2, (b.top + b.bottom) / 2)) << c.width;
        if (b.top > 5) {
            EXPECT_EQ(kSquare, canvas.At(b.left, b.top - 1)) << c.width;
            EXPECT_EQ(kSquare, canvas.At(b.left, b.bottom)) << c.width;
        }
        if (b.left > 5) {
            EXPECT_EQ(kSquare, canvas.At(b.left - 1, b.top)) << c.width;
            EXPECT_EQ(kSquare, canvas.At(b.right, b.top)) << c.width;
        }
    }
}

TEST(ThumbnailPainter, APictureOfNoSizeOrNoRecordPaintsNothing)
{
    const struct {
        long width, height;
    } empty[] = {{0, 50}, {50, 0}, {0, 0}, {-3, 8}};
    for (const auto& c : empty) {
        const RECT place = CTlThumbnailItemPainter::FitPicture(c.width, c.height);
        EXPECT_EQ(place.left, place.right) << c.width << "x" << c.height;
    }
    PictureRecord noImage(nullptr);
    PictureItem item(&noImage);
    MemoryCanvas canvas(160, 180);
    CTlThumbnailItemPainter painter;
    painter.SetItem(&item);
    painter.Paint(canvas.dc, kLeft, kTop, nullptr);
    EXPECT_EQ(kSquare, canvas.At(68, 68));
}

TEST(ThumbnailPainter, ALongCaptionEndsWithAnEllipsis)
{
    MemoryCanvas canvas(160, 180);
    HGDIOBJ previous = SelectObject(canvas.dc, GetStockObject(DEFAULT_GUI_FONT));
    const std::string longName = "a very long file name of a picture taken at the harbour at dawn.jpg";
    const std::string shown = CTlThumbnailItemPainter::FitCaption(canvas.dc, longName, 126);
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ("...", shown.substr(shown.size() - 3));
    EXPECT_EQ(0u, longName.find(shown.substr(0, shown.size() - 3)));
    SIZE extent{};
    GetTextExtentPoint32A(canvas.dc, shown.c_str(), int(shown.size()), &extent);
    EXPECT_LE(extent.cx, 126);
    EXPECT_EQ("short.jpg", CTlThumbnailItemPainter::FitCaption(canvas.dc, "short.jpg", 126));
    SelectObject(canvas.dc, previous);

    // Only the file-name part is drawn, on the band under the square.
    CTlThumbnailItemPainter painter;
    painter.Paint(canvas.dc, kLeft, kTop, ("C:\\pictures\\" + longName).c_str());
    int inked = 0;
    for (int y = 131; y < 151; ++y) {
        for (int x = 5; x < 131; ++x)
            inked += canvas.At(x, y) == kBlack;
    }
    EXPECT_GT(inked, 20);
    EXPECT_EQ(kBand, canvas.At(2, 140)); // the text stays within its line
}

} // namespace
