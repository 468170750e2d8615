// MP3 sound decoded to PCM by the system's audio codecs (the audio
// compression manager), for playback on a waveform device.
#pragma once

#include "MovieSound.h"

enum class MovieMp3Decoded {
    kOk,      // the sound now holds 16-bit PCM
    kNoCodec, // no installed codec takes the stream; the sound is unchanged
    kFailed,  // a codec took the stream but gave no sound; the sound is unchanged
};

// The PCM a stream decodes to: its rate and channels, 16 bits a sample.
WAVEFORMATEX MovieMp3PcmFormat(const MovieMp3Stream& stream);

// Decodes the whole of `sound.mp3`; its length in units stays the one the
// frames give.
MovieMp3Decoded MovieDecodeMp3(MovieSoundFile& sound);
