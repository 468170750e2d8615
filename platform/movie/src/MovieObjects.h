// The toolkit's objects behind the client's opaque handles.
#pragma once

#include "../TlMovie.h"
#include "MovieAtoms.h"
#include "MovieFile.h"
#include "MovieFrame.h"
#include "MovieSound.h"

#include <memory>
#include <string>
#include <vector>

struct TlMovieBuffer {
    ~TlMovieBuffer();
    // Copies the buffer's pixels into a frame of its size.
    bool CopyTo(MovieFrame& frame) const;

    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    std::uint8_t* bits = nullptr;
    long width = 0;
    long height = 0;
    long rowBytes = 0;
};

struct TlMovieMedia {
    TlMovieTrack* track = nullptr;
    std::uint32_t type = 0;
    long timeScale = 0;
    std::vector<MovieFileSample> samples;
};

struct TlMovieTrack {
    TlMovie* movie = nullptr;
    long width = 0;
    long height = 0;
    std::vector<std::unique_ptr<TlMovieMedia>> media;
};

struct TlMovie {
    enum Kind { kPicture, kEffect, kSound };

    // The length of the movie in its units.
    long Duration() const;
    // The time now (playing: from the clock), within [0, Duration()].
    long Time(long long now) const;
    // The frame at `time` into `frame` (sized here); false for a sound.
    bool Render(long time, MovieFrame& frame) const;
    // Decodes the file's samples into frames; false for a damaged sample.
    long LoadSamples();

    Kind kind = kPicture;
    std::string path;
    MovieFileData file;
    std::vector<std::unique_ptr<TlMovieTrack>> tracks;
    std::vector<MovieFrame> frames; // one per sample of `file`

    MovieEffectParams effect;
    MovieFrame source1;
    MovieFrame source2;
    long effectDuration = 0;

    std::unique_ptr<MovieSoundPlayer> sound;

    HWND window = nullptr;
    RECT rect{};
    bool playing = false;
    long long clockAtStart = 0;
    long timeAtStart = 0;
    long lastDrawn = -1;
    MovieFrame scratch;
};

// Draws `frame` into the window's `rect`, stretched to fit.
bool MovieDrawFrame(HWND window, const RECT& rect, const MovieFrame& frame);
