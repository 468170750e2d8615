// The slideshow's movie work at 1920 x 1080: building one picture's movie
// (drawing the buffer, run-length coding it, writing the temporary movie
// file) and rendering transition frames of each effect kind. Run by hand
// under Wine after scripts/install-prefix, which registers the movie toolkit.
#include "EffectDescription.h"
#include "FourCC.h"
#include "PlayerHost.h"

#include "movie/TlMovieClient.h"

#include <windows.h>

#include <cstdio>

namespace {

const long kWidth = 1920;
const long kHeight = 1080;
const int kBuilds = 5;
const int kFrames = 30;

double Seconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

TlMovieBuffer* Picture(const TlMovieEntry& movies, int seed)
{
    TlMovieBuffer* buffer = nullptr;
    if (movies.NewBuffer(kWidth, kHeight, kTlMovieBGR24, &buffer) != kTlMovieOk)
        return nullptr;
    long rowBytes = 0;
    std::uint8_t* pixels = movies.BufferPixels(buffer, &rowBytes);
    // A photograph-like gradient: few runs, as real pictures have.
    for (long y = 0; y < kHeight; ++y)
        for (long x = 0; x < kWidth; ++x) {
            std::uint8_t* p = pixels + y * rowBytes + 3 * x;
            p[0] = std::uint8_t(x * 255 / kWidth + seed);
            p[1] = std::uint8_t(y * 255 / kHeight);
            p[2] = std::uint8_t((x + y + seed) & 0xFF);
        }
    return buffer;
}

void TimeBuild(const TlMovieEntry& movies)
{
    SlideshowPlayerHost host;
    double total = 0;
    for (int i = 0; i < kBuilds; ++i) {
        const double start = Seconds();
        TlMovieBuffer* buffer = Picture(movies, i);
        std::string name;
        TlMovie* movie = nullptr;
        TlMovieTrack* track = nullptr;
        TlMovieMedia* media = nullptr;
        const bool made = buffer && host.TempName(".tmp", name) &&
                          movies.CreateMovieFile(name.c_str(), TlFourCC("TVOD"), -2, 0x90000000, &movie) == 0 &&
                          movies.NewTrack(movie, kWidth, kHeight, &track) == 0 &&
                          movies.NewMedia(track, kTlMovieVideo, kTlMovieTimeScale, &media) == 0 &&
                          movies.AddSample(media, buffer, kTlMovieRle, 0x300, 2400) == 0 &&
                          movies.InsertMedia(track, media) == 0 && movies.SaveMovie(movie) == 0;
        total += Seconds() - start;
        if (movie)
            movies.DisposeMovie(movie);
        if (buffer)
            movies.DisposeBuffer(buffer);
        DeleteTempMovie(name);
        if (!made) {
            std::printf("picture movie: build failed\n");
            return;
        }
    }
    std::printf("picture movie %ldx%ld: %.1f ms per build\n", kWidth, kHeight, total * 1000 / kBuilds);
}

void TimeEffect(const TlMovieEntry& movies, const char* name, std::uint32_t kind, int parameter,
                TlMovieBuffer* from, TlMovieBuffer* to, TlMovieBuffer* frame)
{
    const EffectDescription description = MakeEffectDescription(kind, parameter);
    const TlMovieImageDescription image = {kind, TlFourCC("appl"), 512, kWidth, kHeight, 72.0, 72.0};
    TlMovie* movie = nullptr;
    if (movies.NewEffectMovie(description.atoms.data(), description.atoms.size(), &image,
                              description.swapped ? to : from, description.swapped ? from : to, 1200, &movie) != 0) {
        std::printf("%s: effect refused\n", name);
        return;
    }
    const double start = Seconds();
    for (int i = 0; i < kFrames; ++i)
        movies.RenderFrame(movie, long(i * 1200 / kFrames), frame);
    const double elapsed = Seconds() - start;
    std::printf("%-12s %.1f frames per second\n", name, kFrames / elapsed);
    movies.DisposeMovie(movie);
}

} // namespace

int main()
{
    TlMovieClient client;
    if (!client.Load()) {
        std::printf("the movie toolkit is not installed (run scripts/install-prefix)\n");
        return 1;
    }
    const TlMovieEntry& movies = client.Calls();
    movies.Open();
    TimeBuild(movies);
    TlMovieBuffer* from = Picture(movies, 0);
    TlMovieBuffer* to = Picture(movies, 99);
    TlMovieBuffer* frame = Picture(movies, 0);
    TimeEffect(movies, "Cross Fade", kEffectDissolve, 270, from, to, frame);
    TimeEffect(movies, "Wipe Left", kEffectWipe, 4, from, to, frame);
    TimeEffect(movies, "Iris Open", kEffectIris, 1, from, to, frame);
    TimeEffect(movies, "Slide Right", kEffectSlide, 90, from, to, frame);
    movies.DisposeBuffer(from);
    movies.DisposeBuffer(to);
    movies.DisposeBuffer(frame);
    movies.Close();
    return 0;
}
