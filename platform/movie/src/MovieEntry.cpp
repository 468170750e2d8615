// The toolkit's client entry. Every call takes the toolkit's lock, so the
// player thread and the window thread may call at once; no call sends a
// window message while it holds the lock.
#include "../TlMovie.h"

#include "MovieEffects.h"
#include "MovieObjects.h"
#include "MovieRle.h"
#include "MovieWindows.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <set>

namespace {

std::recursive_mutex g_lock;
int g_openCount = 0;
std::set<TlMovie*> g_movies;
TlMovieClock g_clock = nullptr;

long long SystemClock()
{
    static const long long frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart / frequency * kTlMovieTimeScale + now.QuadPart % frequency * kTlMovieTimeScale / frequency;
}

long long ClockNow()
{
    return g_clock ? g_clock() : SystemClock();
}

using Guard = std::lock_guard<std::recursive_mutex>;

template <class Make>
long Create(Make make)
{
    try {
        return make();
    } catch (const std::bad_alloc&) {
        return kTlMovieErrMemory;
    } catch (...) {
        return kTlMovieErrParam;
    }
}

long Open()
{
    Guard guard(g_lock);
    ++g_openCount;
    return kTlMovieOk;
}

void DisposeMovie(TlMovie* movie)
{
    Guard guard(g_lock);
    if (g_movies.erase(movie) != 0)
        delete movie;
}

void Close()
{
    Guard guard(g_lock);
    if (g_openCount == 0 || --g_openCount != 0)
        return;
    for (TlMovie* movie : g_movies)
        delete movie;
    g_movies.clear();
    MovieEndFullScreen();
}

long BeginFullScreen(const std::uint16_t rgb[3], HWND* window, long* width, long* height)
{
    if (g_openCount == 0)
        return kTlMovieErrNotOpen;
    return MovieBeginFullScreen(rgb, window, width, height);
}

long EndFullScreen()
{
    return MovieEndFullScreen();
}

long SetWindowHook(HWND window, TlMovieWindowHook hook, void* context)
{
    return MovieSetWindowHook(window, hook, context);
}

long NewBuffer(long width, long height, std::uint32_t pixelFormat, TlMovieBuffer** buffer)
{
    if (buffer == nullptr)
        return kTlMovieErrParam;
    *buffer = nullptr;
    if (pixelFormat != kTlMovieBGR24 || width < 1 || height < 1 || width > kMovieLargestSide ||
        height > kMovieLargestSide)
        return kTlMovieErrParam;
    return Create([&] {
        std::unique_ptr<TlMovieBuffer> made(new TlMovieBuffer);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        made->bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        made->dc = CreateCompatibleDC(nullptr);
        if (made->bitmap == nullptr || made->dc == nullptr)
            return kTlMovieErrMemory;
        made->previous = SelectObject(made->dc, made->bitmap);
        made->bits = static_cast<std::uint8_t*>(bits);
        made->width = width;
        made->height = height;
        made->rowBytes = MovieFrame::RowBytesFor(width);
        *buffer = made.release();
        return kTlMovieOk;
    });
}

HDC BufferContext(TlMovieBuffer* buffer)
{
    return buffer ? buffer->dc : nullptr;
}

std::uint8_t* BufferPixels(TlMovieBuffer* buffer, long* rowBytes)
{
    if (buffer == nullptr)
        return nullptr;
    GdiFlush();
    if (rowBytes != nullptr)
        *rowBytes = buffer->rowBytes;
    return buffer->bits;
}

void DisposeBuffer(TlMovieBuffer* buffer)
{
    delete buffer;
}

long Register(TlMovie* movie, TlMovie** out)
{
    Guard guard(g_lock);
    g_movies.insert(movie);
    *out = movie;
    return kTlMovieOk;
}

long CreateMovieFile(const char* path, std::uint32_t creator, long script, std::uint32_t flags, TlMovie** movie)
{
    if (path == nullptr || movie == nullptr)
        return kTlMovieErrParam;
    *movie = nullptr;
    Guard guard(g_lock);
    if (g_openCount == 0)
        return kTlMovieErrNotOpen;
    return Create([&] {
        std::unique_ptr<TlMovie> made(new TlMovie);
        made->path = path;
        made->file.creator = creator;
        made->file.script = std::int32_t(script);
        made->file.flags = flags;
        // The file exists from now on, as an empty movie.
        if (long result = MovieWriteFile(made->path, made->file))
            return result;
        return Register(made.release(), movie);
    });
}

long NewTrack(TlMovie* movie, long width, long height, TlMovieTrack** track)
{
    if (movie == nullptr || track == nullptr || width < 1 || height < 1 || width > kMovieLargestSide ||
        height > kMovieLargestSide)
        return kTlMovieErrParam;
    Guard guard(g_lock);
    return Create([&] {
        std::unique_ptr<TlMovieTrack> made(new TlMovieTrack);
        made->movie = movie;
        made->width = width;
        made->height = height;
        *track = made.get();
        movie->tracks.push_back(std::move(made));
        return kTlMovieOk;
    });
}

long NewMedia(TlMovieTrack* track, std::uint32_t mediaType, long timeScale, TlMovieMedia** media)
{
    if (track == nullptr || media == nullptr || mediaType != kTlMovieVideo || timeScale <= 0)
        return kTlMovieErrParam;
    Guard guard(g_lock);
    return Create([&] {
        std::unique_ptr<TlMovieMedia> made(new TlMovieMedia);
        made->track = track;
        made->type = mediaType;
        made->timeScale = timeScale;
        *media = made.get();
        track->media.push_back(std::move(made));
        return kTlMovieOk;
    });
}

long AddSample(TlMovieMedia* media, TlMovieBuffer* buffer, std::uint32_t codec, long, long duration)
{
    if (media == nullptr || buffer == nullptr || codec != kTlMovieRle || duration <= 0 ||
        buffer->width != media->track->width || buffer->height != media->track->height)
        return kTlMovieErrParam;
    Guard guard(g_lock);
    return Create([&] {
        MovieFrame frame;
        if (!buffer->CopyTo(frame))
            return kTlMovieErrMemory;
        MovieFileSample sample;
        sample.codec = codec;
        sample.duration = duration;
        sample.data = MovieRleEncode(frame);
        media->samples.push_back(std::move(sample));
        return kTlMovieOk;
    });
}

long InsertMedia(TlMovieTrack* track, TlMovieMedia* media)
{
    if (track == nullptr || media == nullptr || media->track != track)
        return kTlMovieErrParam;
    Guard guard(g_lock);
    TlMovie* movie = track->movie;
    // One picture track per movie file: a second track must match its size.
    if (!movie->file.samples.empty() && (movie->file.width != track->width || movie->file.height != track->height))
        return kTlMovieErrParam;
    return Create([&] {
        movie->file.width = track->width;
        movie->file.height = track->height;
        movie->file.timeScale = media->timeScale;
        movie->file.samples.insert(movie->file.samples.end(), media->samples.begin(), media->samples.end());
        media->samples.clear();
        // Frames are decoded when the movie is first drawn: a movie made
        // only to be saved never is.
        movie->frames.clear();
        return kTlMovieOk;
    });
}

long SaveMovie(TlMovie* movie)
{
    if (movie == nullptr || movie->path.empty())
        return kTlMovieErrParam;
    Guard guard(g_lock);
    return Create([&] { return MovieWriteFile(movie->path, movie->file); });
}

long OpenMovie(const char* path, TlMovie** movie)
{
    if (path == nullptr || movie == nullptr)
        return kTlMovieErrParam;
    *movie = nullptr;
    Guard guard(g_lock);
    if (g_openCount == 0)
        return kTlMovieErrNotOpen;
    return Create([&] {
        std::unique_ptr<TlMovie> made(new TlMovie);
        if (long result = MovieReadFile(path, made->file))
            return result;
        if (made->file.samples.empty())
            return kTlMovieErrBadFile;
        if (long result = made->LoadSamples())
            return result;
        return Register(made.release(), movie);
    });
}

long NewEffectMovie(const void* atoms, std::size_t size, const TlMovieImageDescription* description,
                    TlMovieBuffer* sourceA, TlMovieBuffer* sourceB, long duration, TlMovie** movie)
{
    if (movie == nullptr)
        return kTlMovieErrParam;
    *movie = nullptr;
    if (atoms == nullptr || description == nullptr || sourceA == nullptr || sourceB == nullptr || duration <= 0 ||
        sourceA->width != sourceB->width || sourceA->height != sourceB->height)
        return kTlMovieErrParam;
    Guard guard(g_lock);
    if (g_openCount == 0)
        return kTlMovieErrNotOpen;
    return Create([&] {
        std::vector<MovieAtom> parsed;
        std::unique_ptr<TlMovie> made(new TlMovie);
        made->kind = TlMovie::kEffect;
        if (!MovieParseAtoms(static_cast<const std::uint8_t*>(atoms), size, parsed) ||
            !MovieReadEffect(parsed, made->effect))
            return kTlMovieErrBadAtoms;
        if (!MovieEffectKnown(made->effect) || description->codec != made->effect.kind)
            return kTlMovieErrUnknownEffect;
        const std::uint32_t nameA = TlMovieCode('s', 'r', 'c', 'A'), nameB = TlMovieCode('s', 'r', 'c', 'B');
        auto sourceNamed = [&](std::uint32_t name) {
            return name == nameA ? sourceA : name == nameB ? sourceB : nullptr;
        };
        TlMovieBuffer* first = sourceNamed(made->effect.source1);
        TlMovieBuffer* second = sourceNamed(made->effect.source2);
        if (first == nullptr || second == nullptr || first == second)
            return kTlMovieErrBadAtoms;
        if (!first->CopyTo(made->source1) || !second->CopyTo(made->source2))
            return kTlMovieErrMemory;
        made->effectDuration = duration;
        return Register(made.release(), movie);
    });
}

long OpenSoundMovie(const char* path, TlMovie** movie)
{
    if (path == nullptr || movie == nullptr)
        return kTlMovieErrParam;
    *movie = nullptr;
    Guard guard(g_lock);
    if (g_openCount == 0)
        return kTlMovieErrNotOpen;
    return Create([&] {
        MovieSoundFile sound;
        if (long result = MovieReadSound(path, sound))
            return result;
        std::unique_ptr<TlMovie> made(new TlMovie);
        made->kind = TlMovie::kSound;
        made->sound.reset(new MovieSoundPlayer(std::move(sound)));
        return Register(made.release(), movie);
    });
}

bool Known(TlMovie* movie)
{
    return movie != nullptr && g_movies.count(movie) != 0;
}

long PlaceMovie(TlMovie* movie, HWND window, const RECT* rect)
{
    Guard guard(g_lock);
    if (!Known(movie) || rect == nullptr)
        return kTlMovieErrParam;
    movie->window = window;
    movie->rect = *rect;
    movie->lastDrawn = -1;
    return kTlMovieOk;
}

long StartMovie(TlMovie* movie)
{
    Guard guard(g_lock);
    if (!Known(movie))
        return kTlMovieErrParam;
    if (movie->playing)
        return kTlMovieOk;
    movie->clockAtStart = ClockNow();
    movie->playing = true;
    if (movie->sound)
        movie->sound->Play(movie->timeAtStart);
    return kTlMovieOk;
}

long StopMovie(TlMovie* movie)
{
    Guard guard(g_lock);
    if (!Known(movie))
        return kTlMovieErrParam;
    movie->timeAtStart = movie->Time(ClockNow());
    movie->playing = false;
    if (movie->sound)
        movie->sound->Pause();
    return kTlMovieOk;
}

long GoToBeginning(TlMovie* movie)
{
    Guard guard(g_lock);
    if (!Known(movie))
        return kTlMovieErrParam;
    movie->timeAtStart = 0;
    movie->clockAtStart = ClockNow();
    movie->lastDrawn = -1;
    if (movie->sound && movie->playing)
        movie->sound->Play(0);
    return kTlMovieOk;
}

// Picture movies made in this process decode their samples at first use.
long EnsureFrames(TlMovie* movie)
{
    if (movie->kind != TlMovie::kPicture || movie->frames.size() == movie->file.samples.size())
        return kTlMovieOk;
    return movie->LoadSamples();
}

long Draw(TlMovie* movie, bool always)
{
    if (movie->kind == TlMovie::kSound || movie->window == nullptr)
        return kTlMovieOk;
    if (long result = EnsureFrames(movie))
        return result;
    const long time = movie->Time(ClockNow());
    if (!always && time == movie->lastDrawn)
        return kTlMovieOk;
    if (!movie->Render(time, movie->scratch))
        return kTlMovieErrMemory;
    movie->lastDrawn = time;
    MovieDrawFrame(movie->window, movie->rect, movie->scratch);
    return kTlMovieOk;
}

long ServiceMovie(TlMovie* movie, long)
{
    Guard guard(g_lock);
    if (!Known(movie))
        return kTlMovieErrParam;
    return Create([&] { return Draw(movie, false); });
}

long UpdateMovie(TlMovie* movie)
{
    Guard guard(g_lock);
    if (!Known(movie))
        return kTlMovieErrParam;
    return Create([&] { return Draw(movie, true); });
}

int IsMovieDone(TlMovie* movie)
{
    Guard guard(g_lock);
    return !Known(movie) || movie->Time(ClockNow()) >= movie->Duration();
}

long GetDuration(TlMovie* movie)
{
    Guard guard(g_lock);
    return Known(movie) ? movie->Duration() : 0;
}

long GetTime(TlMovie* movie)
{
    Guard guard(g_lock);
    return Known(movie) ? movie->Time(ClockNow()) : 0;
}

long ScaleSegment(TlMovie* movie, long start, long oldDuration, long newDuration)
{
    Guard guard(g_lock);
    if (!Known(movie) || oldDuration <= 0 || newDuration <= 0 || start < 0)
        return kTlMovieErrParam;
    if (movie->kind == TlMovie::kEffect) {
        movie->effectDuration = newDuration;
        return kTlMovieOk;
    }
    if (movie->kind != TlMovie::kPicture)
        return kTlMovieErrParam;
    long at = 0;
    for (MovieFileSample& sample : movie->file.samples) {
        const long begins = at;
        at += sample.duration;
        if (begins >= start && begins < start + oldDuration)
            sample.duration = std::max(1L, long((long long)sample.duration * newDuration / oldDuration));
    }
    return kTlMovieOk;
}

long RenderFrame(TlMovie* movie, long time, TlMovieBuffer* buffer)
{
    Guard guard(g_lock);
    if (!Known(movie) || buffer == nullptr)
        return kTlMovieErrParam;
    return Create([&] {
        if (long result = EnsureFrames(movie))
            return result;
        MovieFrame frame;
        if (!movie->Render(time, frame))
            return kTlMovieErrParam;
        if (frame.width != buffer->width || frame.height != buffer->height)
            return kTlMovieErrParam;
        GdiFlush();
        for (long y = 0; y < frame.height; ++y)
            std::memcpy(buffer->bits + std::size_t(y) * std::size_t(buffer->rowBytes), frame.Row(y),
                        std::size_t(frame.width) * 3);
        return kTlMovieOk;
    });
}

void SetClock(TlMovieClock clock)
{
    Guard guard(g_lock);
    g_clock = clock;
}

long long Now()
{
    Guard guard(g_lock);
    return ClockNow();
}

int IsSoundAudible(TlMovie* movie)
{
    Guard guard(g_lock);
    return Known(movie) && movie->sound && movie->sound->Audible();
}

const TlMovieEntry kEntry = {
    sizeof(TlMovieEntry), Open, Close, BeginFullScreen, EndFullScreen, SetWindowHook, NewBuffer, BufferContext,
    BufferPixels, DisposeBuffer, CreateMovieFile, NewTrack, NewMedia, AddSample, InsertMedia, SaveMovie,
    OpenMovie, NewEffectMovie, OpenSoundMovie, DisposeMovie, PlaceMovie, StartMovie, StopMovie, GoToBeginning,
    ServiceMovie, UpdateMovie, IsMovieDone, GetDuration, GetTime, ScaleSegment, RenderFrame, SetClock, Now,
    IsSoundAudible,
};

} // namespace

extern "C" const TlMovieEntry* __cdecl TlMovieGetEntry()
{
    return &kEntry;
}
