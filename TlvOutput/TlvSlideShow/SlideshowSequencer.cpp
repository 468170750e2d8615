#include "SlideshowSequencer.h"

#include "PlayerHost.h"
#include "SlideshowMessages.h"

#include "runbase/TlvFilePath.h"
#include "runbase/TlvResultCodes.h"
#include "runbase/TlvSourceData.h"

#include <algorithm>

namespace {

constexpr int kPrepareAheadCount = 10;
constexpr long kCurrentAllowance = 50;
constexpr long kMusicAllowance = 250;
// While more than this is left of a slide, the next items are prepared.
constexpr long kPrepareWhileLeft = 1200;
constexpr long kSourceFlagsFile = 34;

} // namespace

SlideshowSequencer::SlideshowSequencer(const SlideshowEnvironment& environment)
    : m_environment(environment), m_lock("SlideshowSequencer", -1)
{
    m_lock.Init();
}

SlideshowSequencer::~SlideshowSequencer()
{
    Finish();
}

void SlideshowSequencer::DisposeItems()
{
    m_current = nullptr;
    m_items.clear();
    m_music.reset();
    m_blank.reset();
}

void SlideshowSequencer::Finish()
{
    {
        Tl::CSyncLock locked(m_lock);
        m_stop = true;
        DisposeItems();
    }
    m_window.reset();
    if (m_fullScreen && m_environment.movies)
        m_environment.movies->EndFullScreen();
    m_fullScreen = false;
    DeleteLeftTempMovies();
}

unsigned long SlideshowSequencer::Build(SlideshowSettings& settings, SlideshowPlayerHost* playerHost)
{
    Tl::CSyncLock locked(m_lock);
    DisposeItems();
    m_settings = &settings;
    m_playerHost = playerHost;
    m_blank.reset(new TimedItem(*this, -1, 0));
    const std::vector<ShowRecord>& records = settings.Records();
    m_recordCount = records.size();
    int index = 0;
    m_items.emplace_back(new TransitionItem(*this, index++));
    for (const ShowRecord& record : records) {
        if (record.kind == kShowItemMovie) {
            std::string path;
            CTlvSourceData* source = nullptr;
            if (m_environment.items != nullptr &&
                !TlvFailed(m_environment.items->GetSourceData(record.ItemId(), kSourceFlagsFile, 0, &source)) &&
                source != nullptr)
                path = source->m_filePath.GetFullPath();
            m_items.emplace_back(new MovieItem(*this, index++, record, path));
        } else {
            m_items.emplace_back(new SlideItem(*this, index++, record));
        }
        m_items.emplace_back(new TransitionItem(*this, index++));
    }
    if (settings.sound && !settings.selectedMusic.empty()) {
        m_music.reset(new SoundItem(*this, settings.selectedMusic));
        m_music->Open();
        // Music that cannot be played leaves the show without music.
        if (!m_music->IsOpen())
            m_music.reset();
    }
    return TLV_OK;
}

long SlideshowSequencer::Prepare()
{
    const TlMovieEntry& movies = Movies();
    HWND backdrop = nullptr;
    long width = 0, height = 0;
    if (movies.BeginFullScreen(m_settings->background, &backdrop, &width, &height) == kTlMovieOk) {
        m_fullScreen = true;
        m_area = {0, 0, width, height};
    }
    if (!CreateShowWindow(m_area)) {
        m_window.reset();
        // Nothing would end full-screen mode later: end it now.
        if (m_fullScreen)
            movies.EndFullScreen();
        m_fullScreen = false;
        return -1;
    }
    m_frame = m_window->Frame();
    m_slideWindow = m_window->Slide();
    Reset();
    return 0;
}

bool SlideshowSequencer::CreateShowWindow(const RECT& rect)
{
    m_window.reset(new ShowWindowStandIn);
    return m_window->Create(*this, rect) && m_window->Slide() != nullptr;
}

void SlideshowSequencer::SetShowWindows(HWND frame, HWND slide, const RECT& area)
{
    Tl::CSyncLock locked(m_lock);
    m_frame = frame;
    m_slideWindow = slide;
    m_area = area;
}

void SlideshowSequencer::Reset()
{
    Tl::CSyncLock locked(m_lock);
    m_running = true;
    m_slideNumber = 0;
    m_index = 0;
    m_current = nullptr;
    m_stop = false;
}

bool SlideshowSequencer::OnWindowThread() const
{
    return m_windowThread == 0 || m_windowThread == GetCurrentThreadId();
}

void SlideshowSequencer::PostToFrame(UINT message, WPARAM wParam, LPARAM lParam) const
{
    if (m_frame != nullptr)
        PostMessageA(m_frame, message, wParam, lParam);
}

const TimedItem* SlideshowSequencer::OutgoingOf(int index) const
{
    if (index <= 0 || index > int(m_items.size()))
        return m_blank.get();
    const MediaItem* before = m_items[std::size_t(index - 1)].get();
    return before->IsSlide() ? static_cast<const TimedItem*>(before) : m_blank.get();
}

const TimedItem* SlideshowSequencer::IncomingOf(int index) const
{
    std::size_t next = std::size_t(index + 1);
    if (next >= m_items.size()) {
        if (m_settings == nullptr || !m_settings->loop || m_items.size() < 2)
            return m_blank.get();
        next = 1;
    }
    const MediaItem* after = m_items[next].get();
    return after->IsSlide() ? static_cast<const TimedItem*>(after) : m_blank.get();
}

MediaItem* SlideshowSequencer::ItemWithId(TlvItemId id) const
{
    for (const auto& item : m_items) {
        if (!item->IsTransition() && item->Id() == id)
            return item.get();
    }
    return nullptr;
}

long SlideshowSequencer::SlideDuration()
{
    Tl::CSyncLock locked(m_lock);
    long duration = long(m_settings ? m_settings->imageDuration : 2400);
    if (m_music == nullptr || m_settings == nullptr || !m_settings->matchSound)
        return duration;
    long slides = 0, sum = 0;
    if (m_current != nullptr && m_current->Index() > 0) {
        for (std::size_t i = std::size_t(m_current->Index() - 1); i < m_items.size(); ++i) {
            const MediaItem& item = *m_items[i];
            if (item.IsSlide())
                ++slides;
            else if (item.IsTransition() && item.HasEffect())
                sum += TransitionItem::kLength;
            else if (item.IsMovie())
                sum += item.Length();
        }
    }
    const long remaining = m_music->Length() - Movies().GetTime(m_music->Movie());
    if (remaining - sum > 0 && slides > 0)
        duration = long(double((remaining - sum) / slides) * 0.9);
    return duration;
}

void SlideshowSequencer::PrepareAhead(int from)
{
    Tl::CSyncLock locked(m_lock);
    m_lastPreparedWork = 0;
    const bool loop = m_settings->loop;
    std::vector<MediaItem*> ahead;
    std::size_t i = std::size_t(std::max(0, from));
    for (std::size_t seen = 0; ahead.size() < kPrepareAheadCount && seen < m_items.size() * 2; ++seen, ++i) {
        if (i >= m_items.size()) {
            if (!loop || m_items.size() < 2)
                break;
            i = 1;
        }
        MediaItem* item = m_items[i].get();
        if (item->CountsAsStep() && std::find(ahead.begin(), ahead.end(), item) == ahead.end())
            ahead.push_back(item);
    }
    for (MediaItem* item : ahead) {
        if (item == m_current)
            continue;
        if (item->NeedsRebuild())
            item->DisposeBuilt();
        if (item->IsSlide()) {
            auto* slide = static_cast<SlideItem*>(item);
            if (!slide->IsReady() && !slide->IsLoading())
                slide->StartLoading(false);
        }
        if (!item->IsReady())
            continue;
        if (!item->IsBuilt()) {
            item->Build();
            ++m_lastPreparedWork;
            return;
        }
        if (!item->IsPlayable() && item->Open()) {
            ++m_lastPreparedWork;
            return;
        }
    }
}

void SlideshowSequencer::RescaleSlide(MediaItem& item)
{
    if (!item.IsSlide() || item.Movie() == nullptr)
        return;
    const long wanted = std::max(1L, SlideDuration());
    const long length = item.Length();
    if (length > 0 && length != wanted)
        Movies().ScaleSegment(item.Movie(), 0, length, wanted);
}

void SlideshowSequencer::MakeCurrent(int index)
{
    m_index = index;
    m_current = m_items[std::size_t(index)].get();
    RescaleSlide(*m_current);
    m_current->Show();
    PostToFrame(kShowMsgSlideChanged, 0, 0);
    if (m_slideWindow != nullptr)
        InvalidateRect(m_slideWindow, nullptr, FALSE);
}

void SlideshowSequencer::StartMusic()
{
    if (m_music != nullptr && m_music->Movie() != nullptr) {
        Movies().GoToBeginning(m_music->Movie());
        Movies().StartMovie(m_music->Movie());
    }
}

int SlideshowSequencer::Step()
{
    if (m_stop)
        return 1;
    // The window thread changes items too (jumps, reloads, music); it never
    // waits for this thread, which only posts to the window while it holds the lock.
    Tl::CSyncLock locked(m_lock);
    if (m_items.empty())
        return 1;
    if (m_current == nullptr) {
        if (m_items[std::size_t(m_index)]->IsPlayable()) {
            MakeCurrent(m_index);
            StartMusic();
        } else {
            PrepareAhead(m_index);
        }
        return 0;
    }
    if (m_music != nullptr && m_music->Movie() != nullptr) {
        m_music->Service(kMusicAllowance);
        if (m_settings->loop && !m_paused && Movies().IsMovieDone(m_music->Movie()))
            StartMusic();
    }
    if (m_current->IsPlaying() || m_paused) {
        if (m_paused)
            return 0;
        m_current->Service(kCurrentAllowance);
        PostToFrame(kShowMsgUpdateToolbar, 0, 0);
        if (m_current->IsSlide() && m_current->Length() - Movies().GetTime(m_current->Movie()) > kPrepareWhileLeft)
            PrepareAhead(m_index + 1);
        return 0;
    }
    int next = m_index + 1;
    for (std::size_t seen = 0; seen <= m_items.size(); ++seen, ++next) {
        if (next >= int(m_items.size())) {
            if (!m_settings->loop) {
                const bool songGoesOn = m_settings->matchSound && m_music != nullptr &&
                                        m_music->Movie() != nullptr && !Movies().IsMovieDone(m_music->Movie());
                return songGoesOn ? 0 : 1;
            }
            // T0 plays only once.
            next = 1;
            m_slideNumber = 0;
        }
        if (m_items[std::size_t(next)]->CountsAsStep())
            break;
    }
    MediaItem& found = *m_items[std::size_t(next)];
    if (!found.IsPlayable()) {
        PrepareAhead(next);
        return 0;
    }
    if (&found != m_current)
        m_current->DisposeMovie();
    if (found.IsSlide() || found.IsMovie())
        ++m_slideNumber;
    MakeCurrent(next);
    return 0;
}

bool SlideshowSequencer::EnsurePlayable(MediaItem& item)
{
    if (item.NeedsRebuild())
        item.DisposeBuilt();
    if (item.IsSlide()) {
        auto& slide = static_cast<SlideItem&>(item);
        if (!slide.IsReady() && OnWindowThread())
            slide.LoadImage(true);
    }
    if (!item.IsReady())
        return false;
    if (!item.IsBuilt())
        item.Build();
    if (!item.IsPlayable())
        item.Open();
    return item.IsPlayable();
}

void SlideshowSequencer::Jump(int direction)
{
    Tl::CSyncLock locked(m_lock);
    if (m_items.empty())
        return;
    int index = m_index + direction;
    while (index >= 1 && index < int(m_items.size()) && !(m_items[std::size_t(index)]->IsSlide() ||
                                                          m_items[std::size_t(index)]->IsMovie()))
        index += direction;
    if (index < 1 || index >= int(m_items.size()))
        return;
    MediaItem& found = *m_items[std::size_t(index)];
    if (!EnsurePlayable(found))
        return;
    // A jump before the first step starts the show as that step would.
    const bool starting = m_current == nullptr;
    if (m_current != nullptr) {
        m_current->Pause();
        if (m_current != &found)
            m_current->DisposeMovie();
    }
    m_slideNumber = std::max(0, m_slideNumber + direction);
    MakeCurrent(index);
    if (m_paused)
        m_current->Pause();
    else if (starting)
        StartMusic();
}

void SlideshowSequencer::StepForward()
{
    Jump(+1);
}

void SlideshowSequencer::StepBack()
{
    Jump(-1);
}

void SlideshowSequencer::Pause()
{
    Tl::CSyncLock locked(m_lock);
    if (m_current != nullptr)
        m_current->Pause();
    if (m_music != nullptr)
        m_music->Pause();
    m_paused = true;
}

void SlideshowSequencer::Resume(bool redraw)
{
    Tl::CSyncLock locked(m_lock);
    if (m_current != nullptr)
        m_current->Resume();
    if (m_music != nullptr && m_current != nullptr)
        m_music->Resume();
    m_paused = false;
    if (redraw && m_current != nullptr)
        m_current->Redraw();
}

void SlideshowSequencer::SetTransition(int position)
{
    Tl::CSyncLock locked(m_lock);
    PositionToPair(position, *m_settings);
}

int SlideshowSequencer::CurrentTransitionPosition() const
{
    return PairToPosition(m_settings->transitionKind, m_settings->transitionParameter);
}

void SlideshowSequencer::SetMusic(const char* path)
{
    Tl::CSyncLock locked(m_lock);
    m_music.reset();
    if (path == nullptr || *path == '\0') {
        m_settings->sound = false;
        return;
    }
    m_settings->sound = true;
    m_settings->selectedMusic = path;
    m_music.reset(new SoundItem(*this, path));
    m_music->Open();
    if (!m_music->IsOpen()) {
        m_music.reset();
        return;
    }
    if (m_running && m_current != nullptr && !m_paused)
        StartMusic();
}

unsigned long SlideshowSequencer::ReloadItem(TlvItemId id, IKelvraImage* image)
{
    Tl::CSyncLock locked(m_lock);
    MediaItem* item = ItemWithId(id);
    if (item == nullptr)
        return TLV_ERR_NOT_FOUND;
    item->DisposeAll();
    if (!item->IsSlide())
        return TLV_OK;
    auto* slide = static_cast<SlideItem*>(item);
    unsigned long result = TLV_OK;
    if (image == nullptr)
        result = ItemServiceImage(m_environment.items, id, &image);
    slide->TakeImage(TlvFailed(result) ? nullptr : image, result);
    return result;
}

void SlideshowSequencer::LoadItemImage(TlvItemId id)
{
    Tl::CSyncLock locked(m_lock);
    MediaItem* item = ItemWithId(id);
    if (item != nullptr && item->IsSlide())
        static_cast<SlideItem*>(item)->LoadImage(item == m_current);
}

void SlideshowSequencer::Stop()
{
    m_stop = true;
}

void SlideshowSequencer::SetShowFileInfo(bool on)
{
    Tl::CSyncLock locked(m_lock);
    m_settings->showFileInfo = on;
    if (m_current == nullptr || !m_current->IsSlide() || !m_current->NeedsRebuild())
        return;
    const int index = m_index;
    const bool paused = m_paused;
    if (EnsurePlayable(*m_current)) {
        MakeCurrent(index);
        if (paused)
            m_current->Pause();
    }
}

MediaItem* SlideshowSequencer::Current() const
{
    Tl::CSyncLock locked(m_lock);
    return m_current;
}

int SlideshowSequencer::CurrentIndex() const
{
    Tl::CSyncLock locked(m_lock);
    return m_index;
}

void SlideshowSequencer::Paint()
{
    Tl::CSyncLock locked(m_lock);
    if (m_current != nullptr)
        m_current->Redraw();
}
