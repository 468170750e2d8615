#include "MovieSound.h"

#include "../TlMovie.h"
#include "MovieFile.h"
#include "MovieMp3Decoder.h"

#include <algorithm>
#include <cstring>

namespace {

std::uint32_t Little32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

std::uint16_t Little16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

long UnitsOf(unsigned long long numerator, unsigned long long perSecond)
{
    return long(numerator * kTlMovieTimeScale / perSecond);
}

// MPEG audio frame header fields for layer III.
const int kBitrates[2][16] = {
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}, // MPEG 1
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},     // MPEG 2 and 2.5
};
const int kSampleRates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};

struct Mp3Frame {
    std::size_t length;
    int samples;
    int sampleRate;
    int bitrate;
    int channels;
    bool padded;
};

bool ReadMp3Frame(const std::uint8_t* p, std::size_t left, Mp3Frame& frame)
{
    if (left < 4 || p[0] != 0xFF || (p[1] & 0xE0) != 0xE0)
        return false;
    const int version = (p[1] >> 3) & 3; // 0: 2.5, 2: 2, 3: 1
    const int layer = (p[1] >> 1) & 3;   // 1: layer III
    const int bitrateIndex = p[2] >> 4, rateIndex = (p[2] >> 2) & 3, padding = (p[2] >> 1) & 1;
    if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return false;
    const bool mpeg1 = version == 3;
    const int bitrate = kBitrates[mpeg1 ? 0 : 1][bitrateIndex] * 1000;
    frame.bitrate = bitrate;
    frame.channels = (p[3] >> 6) == 3 ? 1 : 2;
    frame.padded = padding != 0;
    frame.sampleRate = kSampleRates[mpeg1 ? 0 : version == 2 ? 1 : 2][rateIndex];
    frame.samples = mpeg1 ? 1152 : 576;
    frame.length = std::size_t((mpeg1 ? 144 : 72) * bitrate / frame.sampleRate + padding);
    return frame.length >= 4 && frame.length <= left;
}

} // namespace

long MovieReadWav(const std::uint8_t* bytes, std::size_t size, MovieSoundFile& sound)
{
    if (bytes == nullptr || size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
        return kTlMovieErrBadSound;
    bool haveFormat = false;
    std::size_t at = 12;
    while (size - at >= 8) {
        const std::uint8_t* chunk = bytes + at;
        const std::size_t length = Little32(chunk + 4);
        const std::size_t body = at + 8;
        const std::size_t available = std::min(length, size - body);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (available < 16)
                return kTlMovieErrBadSound;
            sound.format.wFormatTag = Little16(bytes + body);
            sound.format.nChannels = Little16(bytes + body + 2);
            sound.format.nSamplesPerSec = Little32(bytes + body + 4);
            sound.format.nAvgBytesPerSec = Little32(bytes + body + 8);
            sound.format.nBlockAlign = Little16(bytes + body + 12);
            sound.format.wBitsPerSample = Little16(bytes + body + 14);
            sound.format.cbSize = 0;
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat || sound.format.nAvgBytesPerSec == 0)
                return kTlMovieErrBadSound;
            // A cut data chunk plays as far as it goes.
            sound.samples.assign(bytes + body, bytes + body + available);
            sound.duration = UnitsOf(sound.samples.size(), sound.format.nAvgBytesPerSec);
            sound.pcm = sound.format.wFormatTag == WAVE_FORMAT_PCM;
            return kTlMovieOk;
        }
        if (length > size - body)
            break;
        at = body + length + (length & 1);
    }
    return kTlMovieErrBadSound;
}

long MovieReadMp3(const std::uint8_t* bytes, std::size_t size, MovieSoundFile& sound)
{
    if (bytes == nullptr)
        return kTlMovieErrBadSound;
    std::size_t at = 0;
    if (size >= 10 && std::memcmp(bytes, "ID3", 3) == 0) {
        const std::size_t tag = (std::size_t(bytes[6] & 0x7F) << 21) | (std::size_t(bytes[7] & 0x7F) << 14) |
                                (std::size_t(bytes[8] & 0x7F) << 7) | std::size_t(bytes[9] & 0x7F);
        at = std::min(size, 10 + tag);
    }
    unsigned long long samples = 0;
    Mp3Frame first{}, frame{};
    const std::size_t start = at;
    while (ReadMp3Frame(bytes + at, size - at, frame)) {
        if (samples == 0)
            first = frame;
        else if (frame.sampleRate != first.sampleRate || frame.channels != first.channels)
            break;
        samples += unsigned(frame.samples);
        at += frame.length;
    }
    if (samples == 0)
        return kTlMovieErrBadSound;
    sound.duration = UnitsOf(samples, unsigned(first.sampleRate));
    sound.pcm = false;
    sound.samples.clear();
    MovieMp3Stream& stream = sound.mp3;
    stream.channels = first.channels;
    stream.sampleRate = first.sampleRate;
    stream.bitrate = first.bitrate;
    stream.frameLength = int(first.length) - (first.padded ? 1 : 0);
    stream.samplesPerFrame = first.samples;
    stream.frames.assign(bytes + start, bytes + at);
    return kTlMovieOk;
}

long MovieReadSound(const std::string& path, MovieSoundFile& sound)
{
    std::vector<std::uint8_t> bytes;
    if (!MovieReadWholeFile(path, bytes))
        return kTlMovieErrFile;
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), "RIFF", 4) == 0)
        return MovieReadWav(bytes.data(), bytes.size(), sound);
    return MovieReadMp3(bytes.data(), bytes.size(), sound);
}

MovieSoundPlayer::MovieSoundPlayer(MovieSoundFile sound) : m_sound(std::move(sound)) {}

MovieSoundPlayer::~MovieSoundPlayer()
{
    CloseDevice();
}

void MovieSoundPlayer::CloseDevice()
{
    if (m_device == nullptr)
        return;
    waveOutReset(m_device);
    if (m_prepared)
        waveOutUnprepareHeader(m_device, &m_header, sizeof m_header);
    waveOutClose(m_device);
    m_device = nullptr;
    m_prepared = false;
}

bool MovieSoundPlayer::DeviceTakes(const WAVEFORMATEX& format)
{
    return waveOutOpen(nullptr, WAVE_MAPPER, &format, 0, 0, WAVE_FORMAT_QUERY) == MMSYSERR_NOERROR;
}

void MovieSoundPlayer::DecodeForDevice()
{
    if (m_sound.pcm || m_sound.mp3.frames.empty() || !DeviceTakes(MovieMp3PcmFormat(m_sound.mp3)))
        return;
    // Tried once: a sound no codec takes plays silently from then on.
    if (MovieDecodeMp3(m_sound) != MovieMp3Decoded::kOk)
        m_sound.mp3.frames.clear();
}

void MovieSoundPlayer::Play(long time)
{
    CloseDevice();
    DecodeForDevice();
    if (!m_sound.pcm || m_sound.samples.empty() || m_sound.format.nBlockAlign == 0)
        return;
    if (waveOutOpen(&m_device, WAVE_MAPPER, &m_sound.format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
        m_device = nullptr;
        return;
    }
    unsigned long long offset = (unsigned long long)(std::max(0L, time)) * m_sound.format.nAvgBytesPerSec /
                                kTlMovieTimeScale;
    offset -= offset % m_sound.format.nBlockAlign;
    if (offset >= m_sound.samples.size())
        return;
    m_header = WAVEHDR{};
    m_header.lpData = reinterpret_cast<LPSTR>(m_sound.samples.data() + offset);
    m_header.dwBufferLength = DWORD(m_sound.samples.size() - offset);
    if (waveOutPrepareHeader(m_device, &m_header, sizeof m_header) != MMSYSERR_NOERROR)
        return;
    m_prepared = true;
    waveOutWrite(m_device, &m_header, sizeof m_header);
}

void MovieSoundPlayer::Pause()
{
    CloseDevice();
}
