#include "MovieMp3Decoder.h"

#include <mmreg.h>
#include <msacm.h>

#include <algorithm>

namespace {

// Source bytes handed to the codec at a time.
constexpr std::size_t kChunkBytes = 8192;
// The shortest layer III frame (8 kbit/s at 24 kHz); bounds the frames a chunk holds.
constexpr std::size_t kShortestFrame = 24;

MPEGLAYER3WAVEFORMAT CodedFormat(const MovieMp3Stream& stream)
{
    MPEGLAYER3WAVEFORMAT format{};
    format.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    format.wfx.nChannels = WORD(stream.channels);
    format.wfx.nSamplesPerSec = DWORD(stream.sampleRate);
    format.wfx.nAvgBytesPerSec = DWORD(stream.bitrate / 8);
    format.wfx.nBlockAlign = 1;
    format.wfx.wBitsPerSample = 0;
    format.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    format.wID = MPEGLAYER3_ID_MPEG;
    format.fdwFlags = MPEGLAYER3_FLAG_PADDING_ISO;
    format.nBlockSize = WORD(stream.frameLength);
    format.nFramesPerBlock = 1;
    format.nCodecDelay = 0;
    return format;
}

class AcmStream {
public:
    ~AcmStream()
    {
        if (m_handle != nullptr)
            acmStreamClose(m_handle, 0);
    }
    MMRESULT Open(WAVEFORMATEX* from, WAVEFORMATEX* to)
    {
        return acmStreamOpen(&m_handle, nullptr, from, to, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME);
    }
    // Converts `length` bytes at `source` into `target`; false on a codec error.
    bool Convert(const std::uint8_t* source, std::size_t length, std::vector<std::uint8_t>& target, DWORD flags,
                 std::size_t& used, std::size_t& made)
    {
        ACMSTREAMHEADER header{};
        header.cbStruct = sizeof header;
        header.pbSrc = const_cast<LPBYTE>(source);
        header.cbSrcLength = DWORD(length);
        header.pbDst = target.data();
        header.cbDstLength = DWORD(target.size());
        if (acmStreamPrepareHeader(m_handle, &header, 0) != MMSYSERR_NOERROR)
            return false;
        const bool converted = acmStreamConvert(m_handle, &header, flags) == MMSYSERR_NOERROR;
        used = header.cbSrcLengthUsed;
        made = std::min<std::size_t>(header.cbDstLengthUsed, target.size());
        acmStreamUnprepareHeader(m_handle, &header, 0);
        return converted;
    }

private:
    HACMSTREAM m_handle = nullptr;
};

} // namespace

WAVEFORMATEX MovieMp3PcmFormat(const MovieMp3Stream& stream)
{
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = WORD(stream.channels);
    format.nSamplesPerSec = DWORD(stream.sampleRate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = WORD(stream.channels * 2);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    format.cbSize = 0;
    return format;
}

MovieMp3Decoded MovieDecodeMp3(MovieSoundFile& sound)
{
    const MovieMp3Stream& stream = sound.mp3;
    if (stream.frames.empty() || stream.channels < 1 || stream.sampleRate < 1 || stream.samplesPerFrame < 1)
        return MovieMp3Decoded::kFailed;
    MPEGLAYER3WAVEFORMAT coded = CodedFormat(stream);
    WAVEFORMATEX pcm = MovieMp3PcmFormat(stream);
    AcmStream codec;
    const MMRESULT opened = codec.Open(&coded.wfx, &pcm);
    if (opened != MMSYSERR_NOERROR)
        return opened == ACMERR_NOTPOSSIBLE ? MovieMp3Decoded::kNoCodec : MovieMp3Decoded::kFailed;

    // Room for every frame a chunk can hold, so that the codec never keeps
    // decoded sound back for a later call.
    const std::size_t framesPerChunk = kChunkBytes / kShortestFrame + 2;
    std::vector<std::uint8_t> target(framesPerChunk * std::size_t(stream.samplesPerFrame) * pcm.nBlockAlign);
    std::vector<std::uint8_t> decoded;
    std::size_t at = 0;
    DWORD flags = ACM_STREAMCONVERTF_BLOCKALIGN | ACM_STREAMCONVERTF_START;
    while (at < stream.frames.size()) {
        const std::size_t length = std::min(kChunkBytes, stream.frames.size() - at);
        if (at + length == stream.frames.size())
            flags |= ACM_STREAMCONVERTF_END;
        std::size_t used = 0, made = 0;
        if (!codec.Convert(stream.frames.data() + at, length, target, flags, used, made))
            return MovieMp3Decoded::kFailed;
        decoded.insert(decoded.end(), target.begin(), target.begin() + std::ptrdiff_t(made));
        if (used == 0)
            break; // a codec that takes nothing more would never finish
        at += std::min(used, length);
        flags &= ~DWORD(ACM_STREAMCONVERTF_START);
    }
    decoded.resize(decoded.size() - decoded.size() % pcm.nBlockAlign);
    if (decoded.empty())
        return MovieMp3Decoded::kFailed;
    sound.format = pcm;
    sound.samples = std::move(decoded);
    sound.pcm = true;
    sound.mp3 = MovieMp3Stream{};
    return MovieMp3Decoded::kOk;
}
