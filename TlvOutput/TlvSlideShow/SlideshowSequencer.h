// The sequencer: turns the show records into media items and plays them
// one after another in the show window, with the music, on the player
// thread's steps; times are in units of 1/600 s.
#pragma once

#include "MediaItems.h"
#include "SlideshowSettings.h"
#include "ShowWindowStandIn.h"
#include "TransitionTable.h"

#include "host/api/TlvHostServices.h"
#include "infra/TlSync.h"
#include "movie/TlMovie.h"

#include <memory>
#include <vector>

class SlideshowPlayerHost;

// What a show runs against: the movie toolkit and the host.
struct SlideshowEnvironment {
    const TlMovieEntry* movies = nullptr;
    ITlvItemService* items = nullptr;
    TlvHostCallback host = nullptr;
};

class SlideshowSequencer {
public:
    explicit SlideshowSequencer(const SlideshowEnvironment& environment);
    // Disposes every item and ends full-screen mode.
    virtual ~SlideshowSequencer();
    SlideshowSequencer(const SlideshowSequencer&) = delete;
    SlideshowSequencer& operator=(const SlideshowSequencer&) = delete;

    // The blank item and T0, P1, T1, ..., Pn, Tn from the settings' show
    // records, and the music when "Sound" is set. Answers 0.
    unsigned long Build(SlideshowSettings& settings, SlideshowPlayerHost* playerHost);
    // Full screen, the show window with its slide window, then Reset.
    // -1 when there is no slide window (full-screen mode ended again).
    long Prepare();
    void Reset();
    // One step; 1 when the show is over.
    int Step();
    void StepForward();
    void StepBack();
    void Pause();
    void Resume(bool redraw);
    bool IsPaused() const { return m_paused; }
    void SetTransition(int position);
    int CurrentTransitionPosition() const;
    // A path plays that music (at once while the show runs and is not paused);
    // null or empty: no music.
    void SetMusic(const char* path);
    // Disposes the item's movie, buffer and image and takes `image` (none:
    // the item service's). 0x1101 for an unknown id; else the service's result.
    unsigned long ReloadItem(TlvItemId id, IKelvraImage* image);
    void Stop();
    bool IsStopped() const { return m_stop; }
    long SlideDuration();
    void SetShowFileInfo(bool on);
    RandomDeck::Card DrawRandom() { return m_deck.Draw(); }
    // Stops the show: every item disposed, the music too, full-screen mode ended.
    void Finish();

    // Windows and threads.
    void SetWindowThread(DWORD threadId) { m_windowThread = threadId; }
    bool OnWindowThread() const;
    // Where movies play, when the show window is made by someone else.
    void SetShowWindows(HWND frame, HWND slide, const RECT& area);
    HWND Frame() const { return m_frame; }
    HWND SlideWindow() const { return m_slideWindow; }
    const RECT& SlideArea() const { return m_area; }
    // From the show window's thread: loads the image of item `id`.
    void LoadItemImage(TlvItemId id);
    // Paints the current item again (window thread).
    void Paint();

    // What the items use.
    const TlMovieEntry& Movies() const { return *m_environment.movies; }
    const SlideshowEnvironment& Environment() const { return m_environment; }
    SlideshowSettings& Settings() { return *m_settings; }
    const SlideshowSettings& Settings() const { return *m_settings; }
    SlideshowPlayerHost* PlayerHost() const { return m_playerHost; }
    // The pictures a transition at `index` blends (the blank item for none or a movie).
    const TimedItem* OutgoingOf(int index) const;
    const TimedItem* IncomingOf(int index) const;
    void PostToFrame(UINT message, WPARAM wParam, LPARAM lParam) const;

    // The state, for the show window and the tests.
    const std::vector<std::unique_ptr<MediaItem>>& Items() const { return m_items; }
    MediaItem* Current() const;
    int CurrentIndex() const;
    int SlideNumber() const { return m_slideNumber; }
    std::size_t RecordCount() const { return m_recordCount; }
    SoundItem* Music() const { return m_music.get(); }
    TimedItem* Blank() const { return m_blank.get(); }
    // How many movies preparing ahead built or opened in its last call.
    int LastPreparedWork() const { return m_lastPreparedWork; }

protected:
    // The show window with its slide window over `rect`; false when either
    // cannot be made.
    virtual bool CreateShowWindow(const RECT& rect);

private:
    MediaItem* ItemWithId(TlvItemId id) const;
    void PrepareAhead(int from);
    void MakeCurrent(int index);
    bool EnsurePlayable(MediaItem& item);
    void RescaleSlide(MediaItem& item);
    void StartMusic();
    void DisposeItems();
    void Jump(int direction);

    SlideshowEnvironment m_environment;
    std::vector<std::unique_ptr<MediaItem>> m_items;
    RECT m_area = {0, 0, 640, 480};
    bool m_running = false;
    bool m_paused = false;
    int m_index = 0;
    SlideshowSettings* m_settings = nullptr;
    std::unique_ptr<SoundItem> m_music;
    MediaItem* m_current = nullptr;
    std::unique_ptr<TimedItem> m_blank;
    std::size_t m_recordCount = 0;
    int m_slideNumber = 0;
    volatile bool m_stop = false;
    SlideshowPlayerHost* m_playerHost = nullptr;
    mutable Tl::CSyncCritical m_lock;
    DWORD m_windowThread = 0;
    bool m_fullScreen = false;
    RandomDeck m_deck;

    HWND m_frame = nullptr;
    HWND m_slideWindow = nullptr;
    std::unique_ptr<ShowWindowStandIn> m_window;
    int m_lastPreparedWork = 0;
};
