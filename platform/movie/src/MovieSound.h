// Sound files the toolkit plays: their length from the file, and playback
// through the system's waveform audio when a device takes the sound; MP3
// files are decoded by the system's audio codecs when they first play on a
// device. Without a device (or for a compressed file with no codec at hand)
// the sound plays silently: its clock and length stay true.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The MPEG audio layer III frames of an MP3 file, as its codec takes them.
struct MovieMp3Stream {
    int channels = 0;
    int sampleRate = 0;
    int bitrate = 0;         // bits per second, of the first frame
    int frameLength = 0;     // bytes of the first frame without its padding
    int samplesPerFrame = 0;
    std::vector<std::uint8_t> frames;
};

struct MovieSoundFile {
    long duration = 0; // units of 1/600 s
    bool pcm = false;  // samples that can go to the device as they are
    WAVEFORMATEX format{};
    std::vector<std::uint8_t> samples;
    MovieMp3Stream mp3; // frames not yet decoded
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
    static bool DeviceTakes(const WAVEFORMATEX& format);
    // Compressed sound becomes PCM when a device is there to hear it.
    void DecodeForDevice();
    void CloseDevice();

    MovieSoundFile m_sound;
    HWAVEOUT m_device = nullptr;
    WAVEHDR m_header{};
    bool m_prepared = false;
};
