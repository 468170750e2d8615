// The media items of a show: pictures, movies, the transitions between them
// and the music. Each item builds and plays its own movie through the movie
// toolkit; the sequencer decides when.
#pragma once

#include "ShowRecord.h"

#include "host/api/TlvHostApi.h"
#include "movie/TlMovie.h"

#include <cstdint>
#include <string>

class IKelvraImage;
class ITlvItemService;
class SlideshowSequencer;

// The item service's image of an item (its long side at most 4096), or why
// there is none (0x1101 when the service gives nothing).
unsigned long ItemServiceImage(ITlvItemService* items, TlvItemId id, IKelvraImage** image);

class MediaItem {
public:
    MediaItem(SlideshowSequencer& sequencer, int index, TlvItemId id);
    virtual ~MediaItem();
    MediaItem(const MediaItem&) = delete;
    MediaItem& operator=(const MediaItem&) = delete;

    int Index() const { return m_index; }
    TlvItemId Id() const { return m_id; }

    virtual bool IsSlide() const { return false; }
    virtual bool IsTransition() const { return false; }
    virtual bool IsMovie() const { return false; }
    virtual bool HasEffect() const { return false; }
    virtual bool PlaysOwnFile() const { return false; }
    virtual bool CountsAsStep() const { return true; }
    virtual bool IsReady() const = 0;
    virtual bool NeedsRebuild() const { return false; }
    // What it plays has been made (a movie file, an effect); nothing to make
    // counts as made.
    virtual bool IsBuilt() const { return true; }
    bool IsOpen() const { return m_movie != nullptr; }
    // Ready, made and open where it has a movie: it can be shown now.
    virtual bool IsPlayable() const { return IsReady() && IsBuilt() && (IsOpen() || !NeedsMovie()); }
    // Each answers whether it did the (expensive) work.
    virtual bool Build() { return false; }
    virtual bool Open() { return false; }

    // The movie (and its temporary file).
    virtual void DisposeMovie();
    // The movie, the picture buffer and the image.
    virtual void DisposeAll();
    // What an item that needs rebuilding makes again: its movie and buffer.
    virtual void DisposeBuilt() { DisposeMovie(); }

    // Places the movie in the slide area and plays it from its start.
    void Show();
    // Its movie is open and not at its end.
    bool IsPlaying() const;
    virtual void Service(long allowance);
    virtual void Redraw();
    void Pause();
    void Resume();
    long Length() const;
    TlMovie* Movie() const { return m_movie; }

protected:
    virtual bool NeedsMovie() const { return true; }
    const TlMovieEntry& Movies() const;

    SlideshowSequencer& m_sequencer;
    int m_index;
    TlvItemId m_id;
    bool m_paused = false;
    TlMovie* m_movie = nullptr;
};

// A picture shown for a time; without a picture (the blank item) only the
// background.
class TimedItem : public MediaItem {
public:
    TimedItem(SlideshowSequencer& sequencer, int index, TlvItemId id);
    ~TimedItem() override;

    bool IsReady() const override { return true; }
    // Its buffer or movie was made for another slide area.
    bool NeedsRebuild() const override;
    bool IsBuilt() const override { return !m_tempFile.empty() || m_movie != nullptr; }
    bool Build() override;
    bool Open() override;
    void DisposeMovie() override;
    void DisposeAll() override;
    void DisposeBuilt() override;

    // Draws the picture into the buffer of the slide area when there is none.
    TlMovieBuffer* EnsureBuffer();
    bool HasBuffer() const { return m_buffer != nullptr; }
    double Duration() const { return m_duration; }

protected:
    // A picture whose movie could not be made is shown without one.
    bool NeedsMovie() const override { return m_tempFile != "-"; }
    // The background, then what the item shows on it.
    virtual void DrawPicture(HDC dc, std::uint8_t* pixels, long rowBytes, const RECT& area);
    void DisposeBuffer();

    double m_duration = 2400;
    TlMovieBuffer* m_buffer = nullptr;
    RECT m_bufferArea{};
    RECT m_builtArea{};
    std::string m_tempFile;
};

class SlideItem : public TimedItem {
public:
    SlideItem(SlideshowSequencer& sequencer, int index, const ShowRecord& record);

    bool IsSlide() const override { return true; }
    bool IsReady() const override;
    bool NeedsRebuild() const override;
    void DisposeAll() override;

    const ShowRecord& Record() const { return m_record; }
    bool IsLoading() const { return m_loading; }
    unsigned long LoadError() const { return m_loadError; }
    bool HasImage() const { return m_image != nullptr; }
    bool OverlayDrawn() const { return m_overlayDrawn; }

    // Starts getting the image: on another thread than the window's, posts
    // the reload request to the show window.
    void StartLoading(bool showingNow);
    // On the window thread: the item service's image, else the host's.
    void LoadImage(bool showingNow);
    // From the sequencer's ReloadItem: the new image (none: a load error).
    void TakeImage(IKelvraImage* image, unsigned long error);

    // Host requests for this picture.
    unsigned long Rotate(int angle);
    unsigned long RunEditFunction(unsigned long functionId, HWND frame);
    unsigned long SetMark(bool marked);
    bool IsMarked() const;

protected:
    void DrawPicture(HDC dc, std::uint8_t* pixels, long rowBytes, const RECT& area) override;

private:
    void DrawImage(std::uint8_t* pixels, long rowBytes, const RECT& area);

    ShowRecord m_record;
    bool m_overlayDrawn = false;
    bool m_loading = false;
    unsigned long m_loadError = 0;
    IKelvraImage* m_image = nullptr; // the host's
};

// A movie file of the show, played as it is.
class MovieItem : public MediaItem {
public:
    MovieItem(SlideshowSequencer& sequencer, int index, const ShowRecord& record, std::string path);

    bool IsMovie() const override { return true; }
    bool PlaysOwnFile() const override { return true; }
    bool IsReady() const override { return true; }
    bool IsPlayable() const override { return IsOpen() || m_failed; }
    bool Open() override;
    // With "ShowFileInfo" the overlay is drawn over every frame.
    void Service(long allowance) override;
    void Redraw() override;
    const ShowRecord& Record() const { return m_record; }

private:
    ShowRecord m_record;
    std::string m_path;
    bool m_failed = false;
};

class TransitionItem : public MediaItem {
public:
    static constexpr long kLength = 1200;

    TransitionItem(SlideshowSequencer& sequencer, int index);

    bool IsTransition() const override { return true; }
    bool HasEffect() const override;
    bool CountsAsStep() const override { return HasEffect(); }
    bool IsReady() const override;
    bool NeedsRebuild() const override;
    bool IsBuilt() const override { return !HasEffect() || m_movie != nullptr || m_failed; }
    bool IsPlayable() const override { return IsReady() && IsBuilt(); }
    bool Build() override;
    void DisposeMovie() override;

    // The effect it plays (drawn from the deck for "Random").
    std::uint32_t Kind() const { return m_kind; }
    int Parameter() const { return m_parameter; }

private:
    bool NeedsMovie() const override { return HasEffect() && !m_failed; }

    std::uint32_t m_settingKind = 0;
    int m_settingParameter = 0;
    std::uint32_t m_kind = 0;
    int m_parameter = 0;
    const TimedItem* m_outgoing = nullptr;
    const TimedItem* m_incoming = nullptr;
    RECT m_area{};
    bool m_failed = false;
};

// The music of the show.
class SoundItem : public MediaItem {
public:
    SoundItem(SlideshowSequencer& sequencer, std::string path);

    bool PlaysOwnFile() const override { return true; }
    bool IsReady() const override { return true; }
    bool Open() override;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};
