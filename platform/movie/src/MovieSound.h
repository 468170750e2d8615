// Sound files the toolkit plays: their length from the file, and playback
// through the system's waveform audio when a device takes the sound.
// Without a device (or for a compressed file with no codec at hand) the
// sound plays silently: its clock and length stay true.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct MovieSoundFile {
    long duration = 0; // units of 1/600 s
    bool pcm = false;  // a WAV whose samples can go to the device as they are
    WAVEFORMATEX format{};
    std::vector<std::uint8_t> samples;
};

// kTlMovieOk or kTlMovieErrBadSound.
long MovieReadWav(const std::uint8_t* bytes, std::size_t size, MovieSoundFile& sound);
long MovieReadMp3(const std::uint8_t* bytes, std::size_t size, MovieSoundFile& sound);
// By the file's content: a RIFF/WAVE file, else MPEG audio.
long MovieReadSound(const std::string& path, MovieSoundFile& sound);

class MovieSoundPlayer {
public:
    explicit MovieSoundPlayer(MovieSoundFile sound);
    ~MovieSoundPlayer();
    MovieSoundPlayer(const MovieSoundPlayer&) = delete;
    MovieSoundPlayer& operator=(const MovieSoundPlayer&) = delete;

    long Duration() const { return m_sound.duration; }
    // Plays from `time` (units); silent when no device takes the sound.
    void Play(long time);
    void Pause();
    bool Audible() const { return m_device != nullptr; }

private:
    void CloseDevice();

    MovieSoundFile m_sound;
    HWAVEOUT m_device = nullptr;
    WAVEHDR m_header{};
    bool m_prepared = false;
};
