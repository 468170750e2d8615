#include "filters/dust/TlDustShooting.h"

#include "filters/dust/TlDustPages.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {
constexpr std::uint32_t kShootingMagic = 0x54747344; // "DstT" as stored
constexpr std::uint32_t kMinShootingHeader = 12;

// Reads words in order from the block's data, as far as it reaches.
class CWordReader {
public:
    CWordReader(const unsigned char* bytes, std::size_t size, std::size_t at) : m_bytes(bytes), m_size(size), m_at(at)
    {
    }
    template <typename T>
    void Next(T* value)
    {
        if (m_size >= 4 && m_at <= m_size - 4)
            *value = static_cast<T>(DustWord(m_bytes, m_size, m_at));
        m_at += 4;
    }

private:
    const unsigned char* m_bytes;
    std::size_t m_size;
    std::size_t m_at;
};
} // namespace

void WriteDustShooting(const TlDustShooting& s, unsigned char (&block)[kDustShootingBytes])
{
    const std::uint32_t words[15] = {kShootingMagic, s.version,    s.headerSize,  s.captureMode,        s.curveId,
                                     s.aperture,     s.lens,       std::uint32_t(s.sensitivity), s.gains[0],
                                     s.gains[1],     s.cfaRepeat,  s.cfaCodes,    s.toneKey,     s.toneVariant,
                                     s.toneBlock};
    for (int i = 0; i < 15; ++i)
        PutDustWord(block + 4 * i, words[i]);
}

IKelvraError* ReadDustShooting(const unsigned char* bytes, std::size_t size, TlDustShooting* shooting)
{
    if (bytes == nullptr)
        size = 0;
    const std::uint32_t header = DustWord(bytes, size, 8);
    if (DustWord(bytes, size, 0) != kShootingMagic || header < kMinShootingHeader)
        return DustError(__LINE__, kDustBadRecord);
    TlDustShooting read;
    read.version = DustWord(bytes, size, 4);
    read.headerSize = header;
    CWordReader words(bytes, size, header);
    if (read.version >= 2)
        words.Next(&read.captureMode);
    if (read.version >= 4) {
        words.Next(&read.curveId);
        words.Next(&read.aperture);
        words.Next(&read.lens);
        words.Next(&read.sensitivity);
    }
    words.Next(&read.gains[0]);
    words.Next(&read.gains[1]);
    words.Next(&read.cfaRepeat);
    words.Next(&read.cfaCodes);
    words.Next(&read.toneKey);
    words.Next(&read.toneVariant);
    if (read.version >= 3)
        words.Next(&read.toneBlock);
    *shooting = read;
    return nullptr;
}

std::uint32_t DustApertureCode(double fNumber)
{
    static const struct {
        double fNumber;
        std::uint32_t code;
    } kTable[] = {{29, 116}, {25, 112}, {22, 108}, {14, 92}, {13, 88},
                  {11, 84},  {3.5, 44}, {2.2, 28}, {1.2, 8}, {1.1, 4}};
    for (const auto& entry : kTable) {
        if (entry.fNumber == fNumber)
            return entry.code;
    }
    if (!(fNumber > 0))
        return 0;
    const double code = std::floor(24.0 * std::log2(fNumber) + 0.5);
    return code > 0 ? std::uint32_t(code) : 0;
}

bool IsKnownDustCurve(std::uint32_t curveId)
{
    return curveId == 257 || curveId == 258 || curveId == 259 || curveId == 260 || curveId == 1025 ||
           curveId == 1026;
}

namespace {
constexpr std::uint32_t kCaptureModeTag = 0x80004;
constexpr std::uint32_t kSensitivityTag = 0x80002;
constexpr std::uint32_t kGainsTag = 0x8000C;
constexpr std::uint32_t kToneKeyTag = 0x8008D;
constexpr std::uint32_t kToneVariantTag = 0x80081;
constexpr std::uint32_t kToneBlockTag = 0x80097;
constexpr std::uint32_t kLensTag = 0x80098;
constexpr std::uint32_t kFNumberTag = 33437;
constexpr std::uint32_t kCfaPatternTag = 41730;

// The tag's bytes as stored (any type but 263); empty when missing or unreadable.
std::vector<unsigned char> TagBytes(const IKelvraTagControl* tags, std::uint32_t id)
{
    std::vector<unsigned char> bytes(tags->GetTagSize(id, 0));
    if (bytes.empty())
        return bytes;
    if (IKelvraError* error = tags->GetTag(id, kKelvraTagTypeBytes, std::uint32_t(bytes.size()), bytes.data(), 0)) {
        IKelvraError::Release(error);
        bytes.clear();
    }
    return bytes;
}

std::uint32_t LensValue(const std::vector<unsigned char>& lens)
{
    if (lens.size() < 31)
        return 0;
    std::uint32_t value = 0;
    unsigned kind = 0;
    if (std::memcmp(lens.data(), "0100", 4) == 0) {
        value = lens[13];
        kind = lens[6];
    } else if (std::memcmp(lens.data(), "0101", 4) == 0) {
        value = lens[4];
        kind = lens[11];
    } else {
        return 0;
    }
    switch (kind) {
    case 1:
    case 15:
        return 35;
    case 21:
        return 23;
    case 26:
        return 33;
    case 34:
        return 14;
    default:
        return value;
    }
}

// The pattern tag as the demosaicing reads it: two big-endian u16 sides,
// then the colour codes row by row.
IKelvraError* ReadCfaPattern(const std::vector<unsigned char>& bytes, TlDustShooting* shooting)
{
    if (bytes.empty())
        return nullptr;
    if (bytes.size() < 8 || bytes[0] != 0 || bytes[1] != 2 || bytes[2] != 0 || bytes[3] != 2)
        return DustError(__LINE__, kKelvraNotReady);
    shooting->cfaCodes = (std::uint32_t(bytes[4]) << 24) | (std::uint32_t(bytes[5]) << 16) |
                         (std::uint32_t(bytes[6]) << 8) | bytes[7];
    return nullptr;
}
} // namespace

IKelvraError* BuildDustShooting(const IKelvraTagControl* tags, TlDustShooting* shooting)
{
    if (tags == nullptr)
        return DustError(__LINE__, kKelvraMissingObject);
    TlDustShooting built;
    std::int32_t mode = 0;
    if (IKelvraError* error = tags->GetTag(kCaptureModeTag, kKelvraTagTypeLong, 4, &mode, 0))
        return DustWrap(__LINE__, error);
    built.captureMode = std::uint32_t(mode);
    std::uint32_t model = 0;
    if (IKelvraError* error = tags->GetShortTagValue(&model))
        return DustWrap(__LINE__, error);
    if (!IsKnownDustCurve(model))
        return DustError(__LINE__, kKelvraNotReady);
    built.curveId = model;
    double fNumber = 0;
    if (IKelvraError* error = tags->GetTag(kFNumberTag, kKelvraTagTypeDoubles, sizeof fNumber, &fNumber, 0))
        return DustWrap(__LINE__, error);
    built.aperture = DustApertureCode(fNumber);
    unsigned char lens[31] = {};
    if (IKelvraError* error = tags->GetTag(kLensTag, kKelvraTagTypeLensData, sizeof lens, lens, 0))
        return DustWrap(__LINE__, error);
    built.lens = LensValue(std::vector<unsigned char>(lens, lens + sizeof lens));
    if (built.lens == 0)
        return DustError(__LINE__, kKelvraNotReady);

    const std::vector<unsigned char> sensitivity = TagBytes(tags, kSensitivityTag);
    if (sensitivity.size() >= 4) {
        const unsigned first = sensitivity[0] | (sensitivity[1] << 8);
        const unsigned second = sensitivity[2] | (sensitivity[3] << 8);
        built.sensitivity = first == 1 ? -1 : first == 2 ? -2 : std::int32_t(second);
    }
    const std::vector<unsigned char> gains = TagBytes(tags, kGainsTag);
    if (gains.size() >= 2 * sizeof(double)) {
        for (int i = 0; i < 2; ++i) {
            double gain = 0;
            std::memcpy(&gain, gains.data() + i * sizeof(double), sizeof gain);
            if (gain > 0 && gain < 255)
                built.gains[i] = std::uint32_t(gain * 16777216.0);
        }
    }
    if (IKelvraError* error = ReadCfaPattern(TagBytes(tags, kCfaPatternTag), &built))
        return error;
    const std::vector<unsigned char> toneKey = TagBytes(tags, kToneKeyTag);
    if (toneKey.size() >= 4)
        built.toneKey = DustWord(toneKey.data(), toneKey.size(), 0);
    const std::vector<unsigned char> toneVariant = TagBytes(tags, kToneVariantTag);
    if (toneVariant.size() >= 4)
        built.toneVariant = DustWord(toneVariant.data(), toneVariant.size(), 0);
    const std::vector<unsigned char> toneBlock = TagBytes(tags, kToneBlockTag);
    if (!toneBlock.empty())
        built.toneBlock = toneBlock[0];
    *shooting = built;
    return nullptr;
}
