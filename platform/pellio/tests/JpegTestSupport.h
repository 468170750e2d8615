// Pictures, metadata and file surgery shared by the JPEG codec tests. The
// segment lister here is deliberately independent of the codec's own walk,
// so that the tests check the written layout rather than the codec against
// itself.
#pragma once

#include "pellio/PellioJpeg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace jpegtest {

using Bytes = std::vector<std::uint8_t>;

struct ReleaseChain {
    void operator()(IKelvraError* chain) const { IKelvraError::Release(chain); }
};
using Chain = std::unique_ptr<IKelvraError, ReleaseChain>;

// The code of the chain's cause, or 0 for success.
inline long CauseCode(const IKelvraError* chain)
{
    const IKelvraError* cause = chain ? chain->FindCause() : nullptr;
    return cause ? cause->GetCode() : 0;
}

// Smooth ramps that a JPEG keeps well; red and blue run in different
// directions so that exchanged channels show.
inline PellioRaster MakePicture(KelvraPixelFormat format, long width, long height, long padding = 0)
{
    PellioRaster raster;
    raster.width = width;
    raster.height = height;
    raster.pixelFormat = format;
    const long channels = format == kKelvraGrey8 ? 1 : 3;
    raster.rowBytes = width * channels + padding;
    raster.bytes.assign(std::size_t(raster.rowBytes * height), 0xEE);
    for (long y = 0; y < height; ++y) {
        std::uint8_t* row = raster.bytes.data() + y * raster.rowBytes;
        for (long x = 0; x < width; ++x) {
            const int ramps[3] = {int(x * 255 / width), int(y * 200 / height) + 20, 230 - int(x * 200 / width)};
            for (long c = 0; c < channels; ++c)
                row[x * channels + c] = std::uint8_t(ramps[c]);
        }
    }
    return raster;
}

// Mean absolute difference over the pixels (row padding left out).
inline double MeanAbsoluteError(const PellioRaster& a, const PellioRaster& b)
{
    const long rowBytes = KelvraRowBytes(a.pixelFormat, a.width);
    double sum = 0;
    for (long y = 0; y < a.height; ++y) {
        for (long i = 0; i < rowBytes; ++i)
            sum += std::abs(int(a.bytes[y * a.rowBytes + i]) - int(b.bytes[y * b.rowBytes + i]));
    }
    return sum / (double(rowBytes) * double(a.height));
}

// Bytes that follow no simple pattern, so misplaced chunks show.
inline Bytes Noise(std::size_t count, std::uint32_t seed)
{
    Bytes bytes(count);
    for (std::uint8_t& byte : bytes) {
        seed = seed * 1664525u + 1013904223u;
        byte = std::uint8_t(seed >> 24);
    }
    return bytes;
}

inline PellioJpegMetadata FullMetadata()
{
    PellioJpegMetadata metadata;
    metadata.iccProfile = Noise(100000, 7);
    metadata.software = "Talvo export 2.1";
    metadata.dateTime = "2024:03:17 08:45:12";
    metadata.iptc = Noise(301, 11); // odd, so the resource needs its pad byte
    return metadata;
}

inline Bytes Encode(const PellioRaster& raster, const PellioJpegMetadata& metadata, int quality = 95)
{
    Bytes out;
    Chain error(PellioEncodeJpeg(raster, metadata, quality, out));
    EXPECT_EQ(nullptr, error.get()) << "cause " << CauseCode(error.get());
    return out;
}

inline Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

inline Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes Big16(unsigned value)
{
    return Bytes{std::uint8_t(value >> 8), std::uint8_t(value)};
}

inline Bytes Big32(std::uint32_t value)
{
    return Big16(value >> 16) + Big16(value & 0xFFFF);
}

// A whole marker segment with the given payload.
inline Bytes Segment(std::uint8_t marker, const Bytes& payload)
{
    return Bytes{0xFF, marker} + Big16(unsigned(payload.size() + 2)) + payload;
}

inline Bytes InsertAfterSoi(const Bytes& file, const Bytes& inserted)
{
    return Bytes(file.begin(), file.begin() + 2) + inserted + Bytes(file.begin() + 2, file.end());
}

struct Listed {
    std::uint8_t marker;
    std::size_t start;
    Bytes payload;
};

// The segments from SOI up to and including the first scan header.
inline std::vector<Listed> ListHeaderSegments(const Bytes& file)
{
    std::vector<Listed> listed;
    std::size_t pos = 2;
    while (pos + 4 <= file.size() && file[pos] == 0xFF) {
        const std::size_t length = std::size_t(file[pos + 2]) << 8 | file[pos + 3];
        if (length < 2 || pos + 2 + length > file.size())
            break;
        listed.push_back(Listed{file[pos + 1], pos, Bytes(file.begin() + pos + 4, file.begin() + pos + 2 + length)});
        if (file[pos + 1] == 0xDA)
            break;
        pos += 2 + length;
    }
    return listed;
}

inline bool StartsWith(const Bytes& bytes, const std::string& prefix)
{
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

} // namespace jpegtest
