// The movie toolkit's client entry: one table of calls that the toolkit
// library hands out by its export "TlMovieGetEntry". Clients load the
// library at run time (TlMovieClient.h) and call only through the table.
//
// Times are in the movie's time scale (600 units per second for every
// movie the toolkit makes). Every call answers 0 or a negative error code
// and never throws; handles are opaque.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

struct TlMovie;
struct TlMovieBuffer;
struct TlMovieTrack;
struct TlMovieMedia;

constexpr long kTlMovieOk = 0;
constexpr long kTlMovieErrParam = -50;         // a null handle, a bad size or value
constexpr long kTlMovieErrNotOpen = -2000;     // the toolkit is not open
constexpr long kTlMovieErrMemory = -108;
constexpr long kTlMovieErrFile = -43;          // a file that cannot be made, opened or read
constexpr long kTlMovieErrBadFile = -2048;     // a movie file that is not one of ours or is damaged
constexpr long kTlMovieErrBadAtoms = -2010;    // a malformed effect description
constexpr long kTlMovieErrUnknownEffect = -2011;
constexpr long kTlMovieErrBadSound = -2049;    // a sound file that cannot be read
constexpr long kTlMovieErrWindow = -2050;      // a window that cannot be made or hooked

constexpr std::uint32_t TlMovieCode(char a, char b, char c, char d)
{
    return (std::uint32_t(std::uint8_t(a)) << 24) | (std::uint32_t(std::uint8_t(b)) << 16) |
           (std::uint32_t(std::uint8_t(c)) << 8) | std::uint32_t(std::uint8_t(d));
}

constexpr std::uint32_t kTlMovieVideo = TlMovieCode('v', 'i', 'd', 'e');
constexpr std::uint32_t kTlMovieBGR24 = TlMovieCode('2', '4', 'B', 'G');
constexpr std::uint32_t kTlMovieRle = TlMovieCode('r', 'l', 'e', ' ');
constexpr long kTlMovieTimeScale = 600;

// How an effect movie's frames are described.
struct TlMovieImageDescription {
    std::uint32_t codec;  // the effect kind
    std::uint32_t vendor; // "appl"
    long quality;         // 512
    long width;
    long height;
    double horizontalDpi; // 72
    double verticalDpi;   // 72
};

// Called for every message of a hooked window before its own procedure;
// answers true with `*result` set when it handled the message.
typedef bool(CALLBACK* TlMovieWindowHook)(HWND window, UINT message, WPARAM wParam, LPARAM lParam, void* context,
                                          LRESULT* result);
// A monotonic clock in units of 1/600 s.
typedef long long (*TlMovieClock)();

struct TlMovieEntry {
    unsigned long size; // sizeof(TlMovieEntry)

    // The toolkit is opened and closed in pairs; closing the last pair
    // disposes what is left.
    long (*Open)();
    void (*Close)();

    // A topmost borderless window over the main screen, filled with the
    // colour (16 bits per component); answers its size.
    long (*BeginFullScreen)(const std::uint16_t rgb[3], HWND* window, long* width, long* height);
    long (*EndFullScreen)();
    // Routes the window's messages through `hook` first; a null hook removes it.
    long (*SetWindowHook)(HWND window, TlMovieWindowHook hook, void* context);

    // An offscreen buffer ("24BG") with a drawing context on it.
    long (*NewBuffer)(long width, long height, std::uint32_t pixelFormat, TlMovieBuffer** buffer);
    HDC (*BufferContext)(TlMovieBuffer* buffer);
    // The top-left pixel (blue, green, red) and the bytes from row to row.
    std::uint8_t* (*BufferPixels)(TlMovieBuffer* buffer, long* rowBytes);
    void (*DisposeBuffer)(TlMovieBuffer* buffer);

    // A movie file at `path` (replaced when it exists), to be filled and saved.
    long (*CreateMovieFile)(const char* path, std::uint32_t creator, long script, std::uint32_t flags,
                            TlMovie** movie);
    long (*NewTrack)(TlMovie* movie, long width, long height, TlMovieTrack** track);
    long (*NewMedia)(TlMovieTrack* track, std::uint32_t mediaType, long timeScale, TlMovieMedia** media);
    // Compresses the buffer into one sample of `duration` and adds it.
    long (*AddSample)(TlMovieMedia* media, TlMovieBuffer* buffer, std::uint32_t codec, long quality,
                      long duration);
    long (*InsertMedia)(TlMovieTrack* track, TlMovieMedia* media);
    long (*SaveMovie)(TlMovie* movie);

    long (*OpenMovie)(const char* path, TlMovie** movie);
    // An effect over two one-sample sources, named "srcA" and "srcB" in the description.
    long (*NewEffectMovie)(const void* atoms, std::size_t size, const TlMovieImageDescription* description,
                           TlMovieBuffer* sourceA, TlMovieBuffer* sourceB, long duration, TlMovie** movie);
    // A movie that plays a WAV or MP3 file.
    long (*OpenSoundMovie)(const char* path, TlMovie** movie);
    void (*DisposeMovie)(TlMovie* movie);

    long (*PlaceMovie)(TlMovie* movie, HWND window, const RECT* rect);
    long (*StartMovie)(TlMovie* movie);
    long (*StopMovie)(TlMovie* movie);
    long (*GoToBeginning)(TlMovie* movie);
    // Draws the frame due now into the movie's window when it changed.
    long (*ServiceMovie)(TlMovie* movie, long allowance);
    // Draws the current frame again, whether it changed or not.
    long (*UpdateMovie)(TlMovie* movie);
    int (*IsMovieDone)(TlMovie* movie);
    long (*GetDuration)(TlMovie* movie);
    long (*GetTime)(TlMovie* movie);
    long (*ScaleSegment)(TlMovie* movie, long start, long oldDuration, long newDuration);

    // The frame at `time` into `buffer` (the movie's size); sound movies have none.
    long (*RenderFrame)(TlMovie* movie, long time, TlMovieBuffer* buffer);
    // Replaces the clock (null: the system's monotonic clock again).
    void (*SetClock)(TlMovieClock clock);
    long long (*Now)();
    // Whether a sound movie is heard (an audio device took it) or plays silently.
    int (*IsSoundAudible)(TlMovie* movie);
};

extern "C" typedef const TlMovieEntry*(__cdecl* TlMovieGetEntryFn)();
