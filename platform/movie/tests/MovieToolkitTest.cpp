// The toolkit as clients use it: loaded through the registry, picture
// movies written and read back, effects frame by frame, sound movies on
// the test clock, damaged input, and frames drawn into a real window.
#include "MovieAtoms.h"
#include "movie/TlMovieAtomWriter.h"
#include "MovieTestSupport.h"

#include "support/TempFolder.h"

#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

constexpr std::uint32_t kRed = 0x0000FF;  // 0xBBGGRR
constexpr std::uint32_t kBlue = 0xFF0000;


struct EffectCase {
    const char* name;
    std::uint32_t kind;
    long wipeId;    // 0: none
    long angle;     // for "slid"
    bool swapped;   // sources swapped and the run reversed
    // Where the incoming picture shows halfway through, on a 40 x 40 frame.
    std::vector<std::pair<long, long>> incomingAtMiddle;
    std::vector<std::pair<long, long>> outgoingAtMiddle;
};

// The description the slideshow hands the toolkit.
std::vector<std::uint8_t> Description(const EffectCase& c)
{
    std::vector<std::uint8_t> atoms, tween;
    TlMovieAppendAtom(atoms, TlMovieCode('w', 'h', 'a', 't'), 1, TlMovieBigEndian(c.kind));
    TlMovieAppendAtom(atoms, TlMovieCode('s', 'r', 'c', ' '), 1, TlMovieBigEndian(TlMovieCode('s', 'r', 'c', 'B')));
    TlMovieAppendAtom(atoms, TlMovieCode('s', 'r', 'c', ' '), 2, TlMovieBigEndian(TlMovieCode('s', 'r', 'c', 'A')));
    TlMovieAppendAtom(tween, TlMovieCode('t', 'w', 'n', 't'), 1, {0, 0, 0, 3});
    const std::vector<std::uint8_t> forward = {0, 1, 0, 0, 0, 0, 0, 0}, reversed = {0, 0, 0, 0, 0, 1, 0, 0};
    TlMovieAppendAtom(tween, TlMovieCode('d', 'a', 't', 'a'), 1, c.swapped ? reversed : forward);
    TlMovieAppendAtom(atoms, TlMovieCode('p', 'c', 'n', 't'), 1, tween);
    if (c.wipeId != 0)
        TlMovieAppendAtom(atoms, TlMovieCode('w', 'p', 'I', 'D'), 1, TlMovieBigEndian(std::uint32_t(c.wipeId)));
    if (c.kind == TlMovieCode('s', 'l', 'i', 'd'))
        TlMovieAppendAtom(atoms, TlMovieCode('a', 'n', 'g', 'l'), 1, TlMovieBigEndian(std::uint32_t(c.angle << 16)));
    return atoms;
}

TlMovieImageDescription ImageDescription(std::uint32_t kind, long width, long height)
{
    return {kind, TlMovieCode('a', 'p', 'p', 'l'), 512, width, height, 72.0, 72.0};
}

TEST_F(MovieToolkitTest, APictureMovieSavedAndReopenedPlaysTheSamePixels)
{
    TempFolder folder;
    const std::string path = folder.File("tlss1.tmp");
    TlMovieBuffer* picture = SolidBuffer(40, 30, 0);
    long rowBytes = 0;
    std::uint8_t* pixels = Movies().BufferPixels(picture, &rowBytes);
    for (long y = 0; y < 30; ++y)
        for (long x = 0; x < 120; ++x)
            pixels[y * rowBytes + x] = std::uint8_t(x < 60 ? x * 4 : (x * y) & 0xFF);
    // GDI drawing through the buffer's context lands in the same pixels.
    RECT box = {0, 0, 5, 5};
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(Movies().BufferContext(picture), &box, green);
    DeleteObject(green);

    TlMovie* movie = nullptr;
    TlMovieTrack* track = nullptr;
    TlMovieMedia* media = nullptr;
    ASSERT_EQ(kTlMovieOk,
              Movies().CreateMovieFile(path.c_str(), TlMovieCode('T', 'V', 'O', 'D'), -2, 0x90000000, &movie));
    ASSERT_EQ(kTlMovieOk, Movies().NewTrack(movie, 40, 30, &track));
    ASSERT_EQ(kTlMovieOk, Movies().NewMedia(track, kTlMovieVideo, kTlMovieTimeScale, &media));
    ASSERT_EQ(kTlMovieOk, Movies().AddSample(media, picture, kTlMovieRle, 0x300, 1500));
    ASSERT_EQ(kTlMovieOk, Movies().InsertMedia(track, media));
    ASSERT_EQ(kTlMovieOk, Movies().SaveMovie(movie));
    Movies().DisposeMovie(movie);

    TlMovie* reopened = nullptr;
    ASSERT_EQ(kTlMovieOk, Movies().OpenMovie(path.c_str(), &reopened));
    EXPECT_EQ(1500, Movies().GetDuration(reopened));
    TlMovieBuffer* played = SolidBuffer(40, 30, 0x777777);
    ASSERT_EQ(kTlMovieOk, Movies().RenderFrame(reopened, 700, played));
    EXPECT_EQ(0x00FF00u, Pixel(played, 2, 2));
    for (long y = 0; y < 30; ++y)
        EXPECT_EQ(0, std::memcmp(pixels + y * rowBytes, Movies().BufferPixels(played, nullptr) + y * rowBytes, 120))
            << y;
    EXPECT_EQ(kTlMovieOk, Movies().ScaleSegment(reopened, 0, 1500, 2052));
    EXPECT_EQ(2052, Movies().GetDuration(reopened));
    Movies().DisposeMovie(reopened);
}

TEST_F(MovieToolkitTest, EffectFramesRunFromTheOutgoingToTheIncomingPicture)
{
    const std::uint32_t wipe = TlMovieCode('s', 'm', 'p', 't'), iris = TlMovieCode('s', 'm', 'p', '2'),
                        slide = TlMovieCode('s', 'l', 'i', 'd');
    const std::pair<long, long> left = {5, 20}, right = {34, 20}, top = {20, 5}, bottom = {20, 34},
                                centre = {20, 20}, corner = {1, 1};
    const EffectCase cases[] = {
        {"Wipe Up", wipe, 2, 0, false, {bottom}, {top}},
        {"Wipe Right", wipe, 1, 0, true, {left}, {right}},
        {"Wipe Down", wipe, 2, 0, true, {top}, {bottom}},
        {"Wipe Left", wipe, 1, 0, false, {right}, {left}},
        {"Iris Open", iris, 119, 0, true, {centre}, {corner}},
        {"Iris Close", iris, 119, 0, false, {corner}, {centre}},
        {"Slide Up", slide, 0, 0, false, {bottom}, {top}},
        {"Slide Right", slide, 0, 90, false, {left}, {right}},
        {"Slide Down", slide, 0, 180, false, {top}, {bottom}},
        {"Slide Left", slide, 0, 270, false, {right}, {left}},
    };
    TlMovieBuffer* outgoing = SolidBuffer(40, 40, kRed);
    TlMovieBuffer* incoming = SolidBuffer(40, 40, kBlue);
    TlMovieBuffer* frame = SolidBuffer(40, 40, 0);
    for (const EffectCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::uint8_t> atoms = Description(c);
        const TlMovieImageDescription description = ImageDescription(c.kind, 40, 40);
        TlMovie* movie = nullptr;
        ASSERT_EQ(kTlMovieOk, Movies().NewEffectMovie(atoms.data(), atoms.size(), &description,
                                                      c.swapped ? incoming : outgoing,
                                                      c.swapped ? outgoing : incoming, 1200, &movie));
        EXPECT_EQ(1200, Movies().GetDuration(movie));
        ASSERT_EQ(kTlMovieOk, Movies().RenderFrame(movie, 0, frame));
        for (auto p : {left, right, top, bottom, centre, corner})
            EXPECT_EQ(kRed, Pixel(frame, p.first, p.second));
        ASSERT_EQ(kTlMovieOk, Movies().RenderFrame(movie, 600, frame));
        for (auto p : c.incomingAtMiddle)
            EXPECT_EQ(kBlue, Pixel(frame, p.first, p.second)) << p.first << "," << p.second;
        for (auto p : c.outgoingAtMiddle)
            EXPECT_EQ(kRed, Pixel(frame, p.first, p.second)) << p.first << "," << p.second;
        ASSERT_EQ(kTlMovieOk, Movies().RenderFrame(movie, 1200, frame));
        for (auto p : {left, right, top, bottom, centre, corner})
            EXPECT_EQ(kBlue, Pixel(frame, p.first, p.second));
        Movies().DisposeMovie(movie);
    }
}

TEST_F(MovieToolkitTest, ACrossFadeBlendsBothPicturesHalfway)
{
    const EffectCase fade = {"Cross Fade", TlMovieCode('d', 's', 'l', 'v'), 0, 0, false, {}, {}};
    const std::vector<std::uint8_t> atoms = Description(fade);
    const TlMovieImageDescription description = ImageDescription(fade.kind, 8, 8);
    TlMovie* movie = nullptr;
    ASSERT_EQ(kTlMovieOk, Movies().NewEffectMovie(atoms.data(), atoms.size(), &description, SolidBuffer(8, 8, kRed),
                                                  SolidBuffer(8, 8, kBlue), 1200, &movie));
    TlMovieBuffer* frame = SolidBuffer(8, 8, 0);
    const struct {
        long time;
        std::uint32_t expected;
    } steps[] = {{0, kRed}, {300, 0x4000BF}, {600, 0x800080}, {1200, kBlue}};
    for (const auto& step : steps) {
        ASSERT_EQ(kTlMovieOk, Movies().RenderFrame(movie, step.time, frame));
        EXPECT_EQ(step.expected, Pixel(frame, 3, 3)) << step.time;
    }
    Movies().DisposeMovie(movie);
}

TEST_F(MovieToolkitTest, MalformedDescriptionsAndDamagedFilesGiveErrorCodes)
{
    TlMovieBuffer* a = SolidBuffer(4, 4, kRed);
    TlMovieBuffer* b = SolidBuffer(4, 4, kBlue);
    const std::uint32_t dissolve = TlMovieCode('d', 's', 'l', 'v');
    const TlMovieImageDescription description = ImageDescription(dissolve, 4, 4);
    std::vector<std::uint8_t> good = Description({"", dissolve, 0, 0, false, {}, {}});
    TlMovie* movie = nullptr;
    std::vector<std::uint8_t> cut(good.begin(), good.end() - 1);
    EXPECT_EQ(kTlMovieErrBadAtoms, Movies().NewEffectMovie(cut.data(), cut.size(), &description, a, b, 1200, &movie));
    EXPECT_EQ(nullptr, movie);
    std::vector<std::uint8_t> unknown = Description({"", TlMovieCode('z', 'o', 'o', 'm'), 0, 0, false, {}, {}});
    const TlMovieImageDescription zoom = ImageDescription(TlMovieCode('z', 'o', 'o', 'm'), 4, 4);
    EXPECT_EQ(kTlMovieErrUnknownEffect,
              Movies().NewEffectMovie(unknown.data(), unknown.size(), &zoom, a, b, 1200, &movie));
    std::vector<std::uint8_t> irisWithoutId = Description({"", TlMovieCode('s', 'm', 'p', '2'), 0, 0, false, {}, {}});
    const TlMovieImageDescription irisDescription = ImageDescription(TlMovieCode('s', 'm', 'p', '2'), 4, 4);
    EXPECT_EQ(kTlMovieErrUnknownEffect, Movies().NewEffectMovie(irisWithoutId.data(), irisWithoutId.size(),
                                                                &irisDescription, a, b, 1200, &movie));

    TempFolder folder;
    const std::string path = folder.File("whole.tmp");
    ASSERT_EQ(kTlMovieOk, Movies().CreateMovieFile(path.c_str(), 0, -2, 0, &movie));
    TlMovieTrack* track = nullptr;
    TlMovieMedia* media = nullptr;
    ASSERT_EQ(kTlMovieOk, Movies().NewTrack(movie, 4, 4, &track));
    ASSERT_EQ(kTlMovieOk, Movies().NewMedia(track, kTlMovieVideo, 600, &media));
    ASSERT_EQ(kTlMovieOk, Movies().AddSample(media, a, kTlMovieRle, 0x300, 600));
    ASSERT_EQ(kTlMovieOk, Movies().InsertMedia(track, media));
    ASSERT_EQ(kTlMovieOk, Movies().SaveMovie(movie));
    Movies().DisposeMovie(movie);
    const std::string whole = TempFolder::Read(path);
    for (std::size_t cut : {std::size_t(0), std::size_t(20), whole.size() - 1}) {
        TempFolder::Overwrite(path, whole.substr(0, cut));
        movie = nullptr;
        EXPECT_EQ(kTlMovieErrBadFile, Movies().OpenMovie(path.c_str(), &movie)) << cut;
        EXPECT_EQ(nullptr, movie);
    }
    // A whole file whose sample does not decode to the picture's size.
    std::string damaged = whole;
    damaged[24] = 5;
    TempFolder::Overwrite(path, damaged);
    EXPECT_EQ(kTlMovieErrBadFile, Movies().OpenMovie(path.c_str(), &movie));
    EXPECT_EQ(kTlMovieErrFile, Movies().OpenMovie(folder.File("missing.tmp").c_str(), &movie));
    EXPECT_EQ(kTlMovieErrFile, Movies().OpenSoundMovie(folder.File("missing.wav").c_str(), &movie));
}

TEST_F(MovieToolkitTest, ASoundMovieKeepsItsLengthAndClockWhetherHeardOrNot)
{
    TempFolder folder;
    struct SoundCase {
        const char* name;
        std::string path;
        long duration;
    };
    const SoundCase cases[] = {
        {"wav", folder.Write("song.wav", WavBytes(11025, 2, 16, 3.0)), 1800},
        // 15 frames of 1152 samples at 32 kHz.
        {"mp3", std::string(TL_MOVIE_TESTDATA) + "tone-440hz-32k-mono.mp3", 324},
    };
    for (const SoundCase& c : cases) {
        SCOPED_TRACE(c.name);
        TlMovie* sound = nullptr;
        ASSERT_EQ(kTlMovieOk, Movies().OpenSoundMovie(c.path.c_str(), &sound));
        EXPECT_EQ(c.duration, Movies().GetDuration(sound));
        EXPECT_EQ(0, Movies().GetTime(sound));
        ASSERT_EQ(kTlMovieOk, Movies().StartMovie(sound));
        // Heard or silent, the time is the clock's.
        const int audible = Movies().IsSoundAudible(sound);
        const long quarter = c.duration / 4;
        g_testClockNow += quarter;
        EXPECT_EQ(quarter, Movies().GetTime(sound));
        EXPECT_FALSE(Movies().IsMovieDone(sound));
        ASSERT_EQ(kTlMovieOk, Movies().StopMovie(sound));
        g_testClockNow += 1000;
        EXPECT_EQ(quarter, Movies().GetTime(sound));
        ASSERT_EQ(kTlMovieOk, Movies().StartMovie(sound));
        EXPECT_EQ(audible, Movies().IsSoundAudible(sound));
        g_testClockNow += c.duration - quarter - 1;
        EXPECT_FALSE(Movies().IsMovieDone(sound));
        g_testClockNow += 1;
        EXPECT_TRUE(Movies().IsMovieDone(sound));
        EXPECT_EQ(c.duration, Movies().GetTime(sound));
        ASSERT_EQ(kTlMovieOk, Movies().GoToBeginning(sound));
        EXPECT_EQ(0, Movies().GetTime(sound));
        EXPECT_FALSE(Movies().IsMovieDone(sound));
        Movies().DisposeMovie(sound);
    }
}

LRESULT CALLBACK PlainWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

int g_hookedPaints = 0;

bool CALLBACK CountPaints(HWND, UINT message, WPARAM, LPARAM, void* context, LRESULT*)
{
    if (message == WM_USER + 7)
        ++*static_cast<int*>(context);
    return false;
}

TEST_F(MovieToolkitTest, ServicingDrawsTheFrameDueIntoItsWindow)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PlainWindow;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "MovieTestWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "MovieTestWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    ASSERT_NE(nullptr, window);
    ASSERT_EQ(kTlMovieOk, Movies().SetWindowHook(window, &CountPaints, &g_hookedPaints));
    SendMessageA(window, WM_USER + 7, 0, 0);
    EXPECT_EQ(1, g_hookedPaints);

    const EffectCase wipe = {"", TlMovieCode('s', 'm', 'p', 't'), 1, 0, false, {}, {}};
    const std::vector<std::uint8_t> atoms = Description(wipe);
    const TlMovieImageDescription description = ImageDescription(wipe.kind, 20, 20);
    TlMovie* movie = nullptr;
    ASSERT_EQ(kTlMovieOk, Movies().NewEffectMovie(atoms.data(), atoms.size(), &description,
                                                  SolidBuffer(20, 20, kRed), SolidBuffer(20, 20, kBlue), 1200,
                                                  &movie));
    const RECT area = {10, 10, 50, 50};
    ASSERT_EQ(kTlMovieOk, Movies().PlaceMovie(movie, window, &area));
    ASSERT_EQ(kTlMovieOk, Movies().StartMovie(movie));
    g_testClockNow += 600;
    ASSERT_EQ(kTlMovieOk, Movies().ServiceMovie(movie, 50));
    HDC dc = GetDC(window);
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 15, 30));  // left half: still outgoing
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(dc, 45, 30));  // right half: incoming
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 60, 60));    // outside the movie's place
    ReleaseDC(window, dc);

    EXPECT_EQ(kTlMovieOk, Movies().SetWindowHook(window, nullptr, nullptr));
    SendMessageA(window, WM_USER + 7, 0, 0);
    EXPECT_EQ(1, g_hookedPaints);
    Movies().DisposeMovie(movie);
    DestroyWindow(window);
}

TEST_F(MovieToolkitTest, FullScreenAnswersTheScreenSize)
{
    const std::uint16_t black[3] = {0, 0, 0};
    HWND backdrop = nullptr;
    long width = 0, height = 0;
    ASSERT_EQ(kTlMovieOk, Movies().BeginFullScreen(black, &backdrop, &width, &height));
    EXPECT_TRUE(IsWindow(backdrop));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), width);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), height);
    EXPECT_TRUE(GetWindowLongA(backdrop, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(kTlMovieOk, Movies().EndFullScreen());
    EXPECT_FALSE(IsWindow(backdrop));
}

} // namespace
