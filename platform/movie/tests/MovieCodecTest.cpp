// The toolkit's run-length code, movie file reader, atom parser and sound
// readers on their own: round trips, and damaged input that must give an
// error rather than a read past the data.
#include "MovieAtoms.h"
#include "movie/TlMovieAtomWriter.h"
#include "MovieFile.h"
#include "MovieRle.h"
#include "MovieMp3Decoder.h"
#include "MovieSound.h"
#include "movie/TlMovie.h"

#include "MovieTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

namespace {

MovieFrame MakeFrame(long width, long height, const std::function<std::uint32_t(long, long)>& colour)
{
    MovieFrame frame;
    EXPECT_TRUE(frame.Allocate(width, height));
    for (long y = 0; y < height; ++y)
        for (long x = 0; x < width; ++x) {
            const std::uint32_t c = colour(x, y);
            frame.Row(y)[3 * x] = std::uint8_t(c);
            frame.Row(y)[3 * x + 1] = std::uint8_t(c >> 8);
            frame.Row(y)[3 * x + 2] = std::uint8_t(c >> 16);
        }
    return frame;
}

bool SamePixels(const MovieFrame& a, const MovieFrame& b)
{
    if (a.width != b.width || a.height != b.height)
        return false;
    for (long y = 0; y < a.height; ++y)
        if (std::memcmp(a.Row(y), b.Row(y), std::size_t(a.width) * 3) != 0)
            return false;
    return true;
}

TEST(MovieRle, FramesRoundTrip)
{
    struct Case {
        const char* name;
        long width, height;
        std::function<std::uint32_t(long, long)> colour;
    };
    const Case cases[] = {
        {"one pixel", 1, 1, [](long, long) { return 0x123456u; }},
        {"one colour across rows", 37, 5, [](long, long) { return 0xABCDEFu; }},
        {"runs of 129 and 130", 259, 1, [](long x, long) { return x < 129 ? 1u : 2u; }},
        {"no two alike", 301, 3, [](long x, long y) { return std::uint32_t(x * 7919 + y * 104729); }},
        {"pairs", 64, 4, [](long x, long) { return std::uint32_t(x / 2); }},
        {"odd width padding", 3, 7, [](long x, long y) { return std::uint32_t((x + y) % 2 ? 0xFF0000 : 0xFF); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MovieFrame frame = MakeFrame(c.width, c.height, c.colour);
        const std::vector<std::uint8_t> code = MovieRleEncode(frame);
        MovieFrame back;
        ASSERT_TRUE(back.Allocate(c.width, c.height));
        ASSERT_TRUE(MovieRleDecode(code.data(), code.size(), back));
        EXPECT_TRUE(SamePixels(frame, back));
    }
}

TEST(MovieRle, DamagedCodeIsRefused)
{
    const MovieFrame frame = MakeFrame(10, 2, [](long x, long) { return std::uint32_t(x < 5 ? 1 : x); });
    const std::vector<std::uint8_t> code = MovieRleEncode(frame);
    MovieFrame back;
    ASSERT_TRUE(back.Allocate(10, 2));
    // Every cut of the code is too short.
    for (std::size_t cut = 0; cut < code.size(); ++cut)
        EXPECT_FALSE(MovieRleDecode(code.data(), cut, back)) << cut;
    // A run longer than the frame, and bytes left over.
    const std::vector<std::uint8_t> tooLong = {255, 1, 2, 3};
    EXPECT_FALSE(MovieRleDecode(tooLong.data(), tooLong.size(), back));
    std::vector<std::uint8_t> extra = code;
    extra.insert(extra.end(), {0, 1, 2, 3});
    EXPECT_FALSE(MovieRleDecode(extra.data(), extra.size(), back));
}

TEST(MovieFile, EveryCutOrDamagedHeaderIsAnError)
{
    MovieFileData movie;
    movie.width = 4;
    movie.height = 3;
    movie.samples.push_back({kTlMovieRle, 600, {0x80, 1, 2, 3}});
    movie.samples.push_back({kTlMovieRle, 1200, {1, 1, 2, 3, 4, 5, 6}});
    const std::vector<std::uint8_t> bytes = MovieFileBytes(movie);

    MovieFileData back;
    ASSERT_EQ(kTlMovieOk, MovieParseFile(bytes.data(), bytes.size(), back));
    EXPECT_EQ(2u, back.samples.size());
    EXPECT_EQ(1200, back.samples[1].duration);
    EXPECT_EQ(movie.samples[1].data, back.samples[1].data);

    for (std::size_t cut = 0; cut < bytes.size(); ++cut)
        EXPECT_EQ(kTlMovieErrBadFile, MovieParseFile(bytes.data(), cut, back)) << cut;

    struct Damage {
        const char* name;
        std::size_t offset;
        std::uint8_t value;
    };
    const Damage damages[] = {
        {"magic", 0, 'X'}, {"version", 4, 2}, {"zero width", 24, 0},
        {"huge height", 31, 0x7F}, {"sample size past the end", 44, 0xFF},
    };
    for (const Damage& damage : damages) {
        std::vector<std::uint8_t> damaged = bytes;
        damaged[damage.offset] = damage.value;
        if (damage.offset == 24)
            damaged[24] = damaged[25] = damaged[26] = damaged[27] = 0;
        EXPECT_EQ(kTlMovieErrBadFile, MovieParseFile(damaged.data(), damaged.size(), back)) << damage.name;
    }
}

std::vector<std::uint8_t> Atom(const char* type, std::uint32_t id, const std::vector<std::uint8_t>& payload)
{
    std::vector<std::uint8_t> out;
    TlMovieAppendAtom(out, TlMovieCode(type[0], type[1], type[2], type[3]), id, payload);
    return out;
}

std::vector<std::uint8_t> Code(const char* text)
{
    return {std::uint8_t(text[0]), std::uint8_t(text[1]), std::uint8_t(text[2]), std::uint8_t(text[3])};
}

std::vector<std::uint8_t> Join(std::initializer_list<std::vector<std::uint8_t>> parts)
{
    std::vector<std::uint8_t> out;
    for (const auto& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

TEST(MovieAtoms, AnEffectDescriptionIsRead)
{
    const auto atoms = Join({Atom("what", 1, Code("smpt")), Atom("src ", 1, Code("srcB")),
                             Atom("src ", 2, Code("srcA")), Atom("wpID", 1, {0, 0, 0, 119}),
                             Atom("pcnt", 1, Join({Atom("twnt", 1, {0, 0, 0, 3}),
                                                   Atom("data", 1, {0, 0, 0, 0, 0, 1, 0, 0})}))});
    std::vector<MovieAtom> parsed;
    ASSERT_TRUE(MovieParseAtoms(atoms.data(), atoms.size(), parsed));
    MovieEffectParams params;
    ASSERT_TRUE(MovieReadEffect(parsed, params));
    EXPECT_EQ(TlMovieCode('s', 'm', 'p', 't'), params.kind);
    EXPECT_EQ(TlMovieCode('s', 'r', 'c', 'B'), params.source1);
    EXPECT_EQ(TlMovieCode('s', 'r', 'c', 'A'), params.source2);
    EXPECT_EQ(119, params.wipeId);
    EXPECT_DOUBLE_EQ(0.0, params.start);
    EXPECT_DOUBLE_EQ(1.0, params.end);
}

TEST(MovieAtoms, MalformedContainersAreRefused)
{
    const auto what = Atom("what", 1, Code("dslv"));
    const auto sources = Join({Atom("src ", 1, Code("srcB")), Atom("src ", 2, Code("srcA"))});
    std::vector<std::uint8_t> sizeTooSmall = what;
    sizeTooSmall[3] = 11;
    std::vector<std::uint8_t> sizePastEnd = what;
    sizePastEnd[3] = 17;
    std::vector<std::uint8_t> nested = Atom("pcnt", 1, Atom("data", 1, {0, 1}));
    nested[15] = 0x40; // the inner atom claims more than its container
    std::vector<std::uint8_t> deep = Atom("data", 1, {});
    for (int i = 0; i < 12; ++i)
        deep = Atom("pcnt", 1, deep);

    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        bool parses;
    };
    const Case cases[] = {
        {"a header cut short", {0, 0, 0, 12, 'w', 'h'}, false},
        {"size below the header", sizeTooSmall, false},
        {"size past the end", sizePastEnd, false},
        {"an inner atom past its container", nested, false},
        {"nesting too deep", deep, false},
        {"no effect kind", sources, true},
        {"a source missing", Join({what, Atom("src ", 1, Code("srcB"))}), true},
        {"a kind of the wrong size", Join({Atom("what", 1, {1, 2}), sources}), true},
        {"a data pair of the wrong size",
         Join({what, sources, Atom("pcnt", 1, Atom("data", 1, {0, 1, 0, 0}))}), true},
    };
    for (const Case& c : cases) {
        std::vector<MovieAtom> parsed;
        MovieEffectParams params;
        const bool parses = MovieParseAtoms(c.bytes.data(), c.bytes.size(), parsed);
        EXPECT_EQ(c.parses, parses) << c.name;
        if (parses) {
            EXPECT_FALSE(MovieReadEffect(parsed, params)) << c.name;
        }
    }
}

TEST(MovieSoundFiles, LengthsComeFromTheFile)
{
    const std::string wav = WavBytes(8000, 1, 16, 2.5);
    MovieSoundFile sound;
    ASSERT_EQ(kTlMovieOk,
              MovieReadWav(reinterpret_cast<const std::uint8_t*>(wav.data()), wav.size(), sound));
    EXPECT_EQ(1500, sound.duration);
    EXPECT_TRUE(sound.pcm);

    // MPEG 1 layer III, 128 kbit/s, 44100 Hz: 417-byte frames of 1152 samples.
    std::vector<std::uint8_t> mp3 = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0};
    const int frames = 100;
    for (int i = 0; i < frames; ++i) {
        std::vector<std::uint8_t> frame(417, 0);
        frame[0] = 0xFF;
        frame[1] = 0xFB;
        frame[2] = 0x90;
        frame[3] = 0x00;
        mp3.insert(mp3.end(), frame.begin(), frame.end());
    }
    MovieSoundFile music;
    ASSERT_EQ(kTlMovieOk, MovieReadMp3(mp3.data(), mp3.size(), music));
    EXPECT_EQ(long(frames * 1152LL * 600 / 44100), music.duration);
}

// Half a second of a 440 Hz tone, MPEG 1 layer III, mono, 32 kHz at 32 kbit/s:
// 15 frames of 144 bytes and 1152 samples.
const std::string kToneMp3 = std::string(TL_MOVIE_TESTDATA) + "tone-440hz-32k-mono.mp3";
constexpr int kToneFrames = 15;

TEST(MovieSoundFiles, AnMp3FileKeepsItsFramesForTheCodec)
{
    MovieSoundFile sound;
    ASSERT_EQ(kTlMovieOk, MovieReadSound(kToneMp3, sound));
    EXPECT_EQ(kToneFrames * 1152 * 600 / 32000, sound.duration);
    EXPECT_FALSE(sound.pcm);
    EXPECT_TRUE(sound.samples.empty());
    EXPECT_EQ(1, sound.mp3.channels);
    EXPECT_EQ(32000, sound.mp3.sampleRate);
    EXPECT_EQ(32000, sound.mp3.bitrate);
    EXPECT_EQ(144, sound.mp3.frameLength);
    EXPECT_EQ(1152, sound.mp3.samplesPerFrame);
    EXPECT_EQ(std::size_t(kToneFrames * 144), sound.mp3.frames.size());
}

TEST(MovieSoundFiles, TheSystemCodecDecodesMp3ToPcm)
{
    MovieSoundFile sound;
    ASSERT_EQ(kTlMovieOk, MovieReadSound(kToneMp3, sound));
    const long duration = sound.duration;
    const MovieMp3Decoded result = MovieDecodeMp3(sound);
    if (result == MovieMp3Decoded::kNoCodec)
        GTEST_SKIP() << "no MPEG Layer-3 codec is installed in this prefix: decoding is not checked";
    ASSERT_EQ(MovieMp3Decoded::kOk, result);
    EXPECT_TRUE(sound.pcm);
    EXPECT_EQ(WAVE_FORMAT_PCM, sound.format.wFormatTag);
    EXPECT_EQ(1, sound.format.nChannels);
    EXPECT_EQ(32000u, sound.format.nSamplesPerSec);
    EXPECT_EQ(16, sound.format.wBitsPerSample);
    EXPECT_EQ(duration, sound.duration);
    EXPECT_TRUE(sound.mp3.frames.empty());

    // Every frame decoded, give or take the codec's delay of about a frame.
    std::vector<std::int16_t> pcm(sound.samples.size() / 2);
    std::memcpy(pcm.data(), sound.samples.data(), pcm.size() * 2);
    EXPECT_NEAR(double(kToneFrames * 1152), double(pcm.size()), 2 * 1152.0);
    // The tone itself, away from the ends where the encoder fades in and out.
    ASSERT_GT(pcm.size(), 12000u);
    const std::size_t from = 3000, to = 11000;
    int crossings = 0;
    double energy = 0;
    for (std::size_t i = from; i < to; ++i) {
        crossings += (pcm[i - 1] < 0) != (pcm[i] < 0);
        energy += double(pcm[i]) * pcm[i];
    }
    const double seconds = double(to - from) / 32000;
    EXPECT_NEAR(440.0, crossings / 2.0 / seconds, 440.0 * 0.03);
    EXPECT_NEAR(12000 / std::sqrt(2.0), std::sqrt(energy / double(to - from)), 1500.0);
}

TEST(MovieSoundFiles, DamagedFilesAreRefused)
{
    const std::string wav = WavBytes(8000, 1, 16, 0.5);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(wav.data());
    MovieSoundFile sound;
    // Cut inside the header: no format or no data chunk.
    for (std::size_t cut : {0u, 4u, 11u, 12u, 20u, 35u, 43u})
        EXPECT_EQ(kTlMovieErrBadSound, MovieReadWav(bytes, cut, sound)) << cut;
    // A data chunk cut short plays as far as it goes.
    ASSERT_EQ(kTlMovieOk, MovieReadWav(bytes, 44 + 1600, sound));
    EXPECT_EQ(600 * 1600 / 16000, sound.duration);
    // A chunk whose length runs past the file, before any data.
    std::string skipped = wav;
    skipped[16] = char(0xFF);
    skipped[17] = char(0xFF);
    EXPECT_EQ(kTlMovieErrBadSound,
              MovieReadWav(reinterpret_cast<const std::uint8_t*>(skipped.data()), skipped.size(), sound));
    const std::vector<std::uint8_t> noise = {0xFF, 0xFB, 0x90};
    EXPECT_EQ(kTlMovieErrBadSound, MovieReadMp3(noise.data(), noise.size(), sound));
    const std::vector<std::uint8_t> tagOnly = {'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};
    EXPECT_EQ(kTlMovieErrBadSound, MovieReadMp3(tagOnly.data(), tagOnly.size(), sound));
}

} // namespace
