#include "ShowFixture.h"

#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"
#include "pellio/PellioFormats.h"
#include "qrfsynth/QrfSynthFile.h"
#include "runbase/TlvResultCodes.h"
#include "MovieTestInstall.h"

long long g_showClock = 0;

namespace {

long long ShowClock()
{
    return g_showClock;
}

} // namespace

bool WriteSolidPicture(const std::string& path, long width, long height, std::uint32_t rgb)
{
    IKelvraManager* made = nullptr;
    if (IKelvraError* error = IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &made)) {
        IKelvraError::Release(error);
        return false;
    }
    QrfManagerPtr manager(made);
    IKelvraImage* image = nullptr;
    IKelvraError* error = manager->CreateImage(&image);
    if (error == nullptr)
        error = image->SetSize(width, height);
    if (error == nullptr)
        error = image->SetColorSpace(kKelvraRGB8);
    std::vector<std::uint8_t> rows(std::size_t(width * height * 3));
    for (std::size_t i = 0; i < rows.size(); i += 3) {
        rows[i] = std::uint8_t(rgb >> 16);
        rows[i + 1] = std::uint8_t(rgb >> 8);
        rows[i + 2] = std::uint8_t(rgb);
    }
    if (error == nullptr)
        error = image->AppendRows(rows.data(), height, width * 3);
    if (error == nullptr)
        error = QrfSave(image, {}, nullptr, kPellioFormatTiff, 0, path.c_str());
    if (image != nullptr)
        image->Release();
    IKelvraError::Release(error);
    return error == nullptr;
}

void ShowFixture::SetUp()
{
    ASSERT_TRUE(InstallMovieToolkitForTest(m_registry));
    ASSERT_TRUE(m_client.Load());
    ASSERT_EQ(kTlMovieOk, Movies().Open());
    g_showClock = 6000;
    Movies().SetClock(&ShowClock);
    m_settings.transitionKind = kEffectDissolve;
    m_settings.transitionParameter = 270;
    m_settings.imageDuration = 600;
}

void ShowFixture::TearDown()
{
    m_sequencer.reset();
    m_window.reset();
    if (m_items != nullptr)
        m_items->Release();
    m_items = nullptr;
    m_host.reset();
    if (m_client.IsLoaded()) {
        Movies().SetClock(nullptr);
        Movies().Close();
    }
}

void ShowFixture::MakeShow(const std::vector<ShowItem>& items)
{
    CTlHostScript script;
    for (std::size_t i = 0; i < items.size(); ++i) {
        TlHostItem item;
        item.id = TlvItemId(i + 1);
        const bool movie = items[i].kind == kShowItemMovie;
        item.path = m_folder.File("picture" + std::to_string(i + 1) + (movie ? ".mov" : ".tif"));
        item.sourceClass = DWORD(items[i].kind);
        if (movie)
            ASSERT_TRUE(WriteSolidMovie(item.path, items[i].rgb));
        else if (!items[i].missing)
            ASSERT_TRUE(WriteSolidPicture(item.path, 64, 48, items[i].rgb));
        else
            item.width = item.height = 48;
        script.items.push_back(item);
        ShowRecord record;
        record.kind = items[i].kind;
        record.idLow = int(i + 1);
        record.fileName = "picture" + std::to_string(i + 1) + ".tif";
        m_settings.InsertRecord(-1, record);
    }
    m_host.reset(new CTlHost(script));
    void* service = nullptr;
    ASSERT_EQ(TLV_OK, m_host->GetObject(TLV_SERVICE_ITEMS, &service));
    m_items = static_cast<ITlvItemService*>(service);

    SlideshowEnvironment environment;
    environment.movies = &Movies();
    environment.items = m_items;
    environment.host = CTlHost::GetCallback();
    m_sequencer.reset(new SlideshowSequencer(environment));
    ASSERT_EQ(TLV_OK, m_sequencer->Build(m_settings, &m_playerHost));
    const RECT area = {0, 0, 160, 120};
    m_window.reset(new ShowWindowStandIn);
    ASSERT_TRUE(m_window->Create(*m_sequencer, area));
    m_sequencer->SetShowWindows(m_window->Frame(), m_window->Slide(), area);
    m_sequencer->SetWindowThread(GetCurrentThreadId());
    m_sequencer->Reset();
}

std::vector<int> ShowFixture::Run(long tick, int limit, bool* ended)
{
    std::vector<int> shown;
    bool over = false;
    for (int i = 0; i < limit && !over; ++i) {
        over = m_sequencer->Step() != 0;
        EXPECT_LE(m_sequencer->LastPreparedWork(), 1);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        const int index = m_sequencer->Current() ? m_sequencer->CurrentIndex() : -1;
        if (index >= 0 && (shown.empty() || shown.back() != index))
            shown.push_back(index);
        g_showClock += tick;
    }
    if (ended != nullptr)
        *ended = over;
    return shown;
}

bool ShowFixture::WriteSolidMovie(const std::string& path, std::uint32_t rgb)
{
    const TlMovieEntry& movies = Movies();
    TlMovieBuffer* buffer = nullptr;
    if (movies.NewBuffer(160, 120, kTlMovieBGR24, &buffer) != kTlMovieOk)
        return false;
    RECT all = {0, 0, 160, 120};
    HBRUSH brush = CreateSolidBrush(RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
    FillRect(movies.BufferContext(buffer), &all, brush);
    DeleteObject(brush);
    TlMovie* movie = nullptr;
    TlMovieTrack* track = nullptr;
    TlMovieMedia* media = nullptr;
    const bool made = movies.CreateMovieFile(path.c_str(), 0, 0, 0, &movie) == kTlMovieOk &&
                      movies.NewTrack(movie, 160, 120, &track) == kTlMovieOk &&
                      movies.NewMedia(track, kTlMovieVideo, kTlMovieTimeScale, &media) == kTlMovieOk &&
                      movies.AddSample(media, buffer, kTlMovieRle, 0, 1200) == kTlMovieOk &&
                      movies.InsertMedia(track, media) == kTlMovieOk && movies.SaveMovie(movie) == kTlMovieOk;
    if (movie != nullptr)
        movies.DisposeMovie(movie);
    movies.DisposeBuffer(buffer);
    return made;
}

std::string ShowFixture::MakeWav(double seconds)
{
    return m_folder.Write("music" + std::to_string(int(seconds * 10)) + ".wav", WavBytes(8000, 1, 8, seconds));
}

std::uint32_t ShowFixture::FrameColour(long time, long x, long y)
{
    TlMovieBuffer* buffer = nullptr;
    const RECT& area = m_sequencer->SlideArea();
    if (Movies().NewBuffer(area.right - area.left, area.bottom - area.top, kTlMovieBGR24, &buffer) != kTlMovieOk)
        return 0xFFFFFFFF;
    std::uint32_t colour = 0xFFFFFFFF;
    MediaItem* current = m_sequencer->Current();
    if (current != nullptr && current->Movie() != nullptr &&
        Movies().RenderFrame(current->Movie(), time, buffer) == kTlMovieOk) {
        long rowBytes = 0;
        const std::uint8_t* p = Movies().BufferPixels(buffer, &rowBytes) + y * rowBytes + 3 * x;
        colour = (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
    }
    Movies().DisposeBuffer(buffer);
    return colour;
}
