// A show in a real full-screen window on the real clock, stepped by its own
// thread as the player thread steps it, and the failure of Prepare.
#include "ShowFixture.h"

#include "SlideshowMessages.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;
constexpr char kBackdropClass[] = "TlMovieFullScreen";

class NoWindowSequencer : public SlideshowSequencer {
public:
    using SlideshowSequencer::SlideshowSequencer;

protected:
    bool CreateShowWindow(const RECT&) override { return false; }
};

// For looking, under Xvfb with the X11 driver: the whole screen as a BMP file
// at the path TL_SCREENSHOT names, taken halfway through the first fade.
void SaveScreenWhenAsked()
{
    const char* path = std::getenv("TL_SCREENSHOT");
    if (path == nullptr)
        return;
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD size = DWORD(((width * 3 + 3) & ~3) * height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + size;
    if (FILE* out = std::fopen(path, "wb")) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&header, sizeof header, 1, out);
        std::fwrite(bits, size, 1, out);
        std::fclose(out);
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

using RealShowTest = ShowFixture;

TEST_F(RealShowTest, PrepareWithoutASlideWindowEndsFullScreenModeAgain)
{
    MakeShow({{kRed}});
    NoWindowSequencer failing(Show().Environment());
    ASSERT_EQ(0u, failing.Build(m_settings, &m_playerHost));
    EXPECT_EQ(-1, failing.Prepare());
    EXPECT_EQ(nullptr, FindWindowA(kBackdropClass, nullptr));

    SlideshowSequencer working(Show().Environment());
    ASSERT_EQ(0u, working.Build(m_settings, &m_playerHost));
    ASSERT_EQ(0, working.Prepare());
    EXPECT_NE(nullptr, FindWindowA(kBackdropClass, nullptr));
    EXPECT_NE(nullptr, FindWindowA("SlideShowWnd", nullptr));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), working.SlideArea().right);
    working.Finish();
    EXPECT_EQ(nullptr, FindWindowA(kBackdropClass, nullptr));
}

TEST_F(RealShowTest, ThreePicturesCrossFadeInAWindowOnTheRealClock)
{
    Movies().SetClock(nullptr);
    m_settings.imageDuration = 300;
    MakeShow({{kRed}, {kGreen}, {kBlue}});
    SlideshowSequencer& show = Show();
    ASSERT_EQ(0, show.Prepare());
    HWND slide = show.SlideWindow();
    const RECT area = show.SlideArea();
    show.SetWindowThread(GetCurrentThreadId());

    std::atomic<bool> over{false};
    std::thread player([&] {
        while (show.Step() == 0)
            Sleep(2);
        over = true;
    });

    std::vector<int> shown;
    COLORREF middle = CLR_INVALID;
    const DWORD started = GetTickCount();
    // A bound against a show that never ends, not a timing goal.
    while (!over && GetTickCount() - started < 60000) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        MediaItem* current = show.Current();
        if (current != nullptr && (shown.empty() || shown.back() != current->Index()))
            shown.push_back(current->Index());
        // Halfway through the fade from the first picture to the second.
        if (current != nullptr && current->Index() == 2 && middle == CLR_INVALID && current->Movie() != nullptr) {
            const long time = Movies().GetTime(current->Movie());
            if (time >= 500 && time <= 700) {
                Movies().ServiceMovie(current->Movie(), 50);
                HDC dc = GetDC(slide);
                middle = GetPixel(dc, (area.right - area.left) / 2, (area.bottom - area.top) / 2);
                ReleaseDC(slide, dc);
                SaveScreenWhenAsked();
            }
        }
        Sleep(1);
    }
    player.join();
    EXPECT_TRUE(over);
    EXPECT_EQ(std::vector<int>({0, 1, 2, 3, 4, 5, 6}), shown);
    ASSERT_NE(CLR_INVALID, middle);
    EXPECT_GT(GetRValue(middle), 40);
    EXPECT_LT(GetRValue(middle), 215);
    EXPECT_GT(GetGValue(middle), 40);
    EXPECT_LT(GetGValue(middle), 215);
    EXPECT_EQ(0, GetBValue(middle));

    show.Finish();
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    EXPECT_TRUE(TempFolder::Matching(std::string(folder) + "tlss*.tmp").empty());
    EXPECT_EQ(nullptr, FindWindowA(kBackdropClass, nullptr));
}

} // namespace
