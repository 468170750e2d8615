// The file information drawn on a picture, checked on its pixels.
#include "SlideOverlay.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class OverlayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_dc = CreateCompatibleDC(nullptr);
        m_previous = SelectObject(m_dc, m_bitmap);
        m_pixels = static_cast<std::uint8_t*>(bits);
        // Mid grey everywhere.
        std::memset(m_pixels, 200, std::size_t(kRowBytes) * kHeight);
    }
    void TearDown() override
    {
        SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }

    const std::uint8_t* At(long x, long y) const { return m_pixels + y * kRowBytes + 3 * x; }

    static constexpr long kWidth = 640, kHeight = 480, kRowBytes = 640 * 3;
    HBITMAP m_bitmap = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_previous = nullptr;
    std::uint8_t* m_pixels = nullptr;
};

TEST_F(OverlayTest, TheBoxSitsBottomRightDarkensThePictureAndCarriesTheText)
{
    ShowRecord record;
    record.fileName = "holiday-at-the-lake-with-the-whole-family.jpg";
    record.width = 3008;
    record.height = 2000;
    record.fileSize = 2048 * 1024 + 1000;
    record.dateText = "2024-05-01 10:11:12";
    record.infoText1 = "first";
    record.infoText2 = "second";
    const std::vector<std::string> lines = OverlayLines(record);
    ASSERT_EQ(5u, lines.size());
    EXPECT_EQ("3008x2000  2048 KB", lines[1]);

    const RECT area = {0, 0, kWidth, kHeight};
    HGDIOBJ font = SelectObject(m_dc, SlideDialogFont());
    TEXTMETRICA metrics{};
    GetTextMetricsA(m_dc, &metrics);
    SIZE widest{};
    GetTextExtentPoint32A(m_dc, lines[0].c_str(), int(lines[0].size()), &widest);
    SelectObject(m_dc, font);

    const RECT box = DrawOverlay(m_dc, m_pixels, kRowBytes, area, record);
    EXPECT_EQ(std::max(150L, widest.cx) + 16, box.right - box.left);
    EXPECT_EQ(5 * metrics.tmHeight + 28, box.bottom - box.top);
    EXPECT_EQ(kWidth - 15, box.right);
    EXPECT_EQ(kHeight - 15, box.bottom);

    // Outside untouched; inside (away from edge and text) black at alpha 100 over 200.
    EXPECT_EQ(200, At(box.left - 2, box.top + 10)[0]);
    EXPECT_EQ(200, At(box.right + 2, box.bottom + 2)[1]);
    const std::uint8_t darkened = std::uint8_t((200 * 155 + 127) / 255);
    const std::uint8_t* inside = At(box.right - 4, box.bottom - 4);
    EXPECT_EQ(darkened, inside[0]);
    EXPECT_EQ(darkened, inside[2]);

    // The text colour appears where the lines are drawn.
    int textPixels = 0;
    for (long y = box.top + 8; y < box.top + 8 + 5 * metrics.tmHeight; ++y)
        for (long x = box.left + 8; x < box.right - 8; ++x) {
            const std::uint8_t* p = At(x, y);
            if (p[0] == 128 && p[1] == 255 && p[2] == 255)
                ++textPixels;
        }
    EXPECT_GT(textPixels, 50);
}

TEST_F(OverlayTest, ASizeLineWithoutDimensionsShowsOnlyKilobytes)
{
    const struct {
        int width, height;
        long long bytes;
        const char* line;
    } cases[] = {{0, 100, 5000, "4 KB"}, {100, 0, 1023, "0 KB"}, {64, 48, 1024, "64x48  1 KB"}};
    for (const auto& c : cases) {
        ShowRecord record;
        record.width = c.width;
        record.height = c.height;
        record.fileSize = c.bytes;
        EXPECT_EQ(c.line, OverlayLines(record)[1]);
    }
}

TEST_F(OverlayTest, ShortLinesGiveTheNarrowestBox)
{
    const RECT area = {0, 0, kWidth, kHeight};
    HGDIOBJ font = SelectObject(m_dc, SlideDialogFont());
    const RECT box = OverlayBox(m_dc, area, {"a", "b", "c", "d", "e"});
    SelectObject(m_dc, font);
    EXPECT_EQ(166, box.right - box.left);
}

} // namespace
