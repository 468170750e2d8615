#include "MovieFile.h"

#include "../TlMovie.h"
#include "MovieFrame.h"

#include <windows.h>

#include <cstring>

namespace {

const char kMagic[4] = {'T', 'L', 'M', 'V'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kHeaderSize = 36;
constexpr std::size_t kSampleHeaderSize = 12;

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t Get32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

} // namespace

std::vector<std::uint8_t> MovieFileBytes(const MovieFileData& movie)
{
    std::vector<std::uint8_t> out(kMagic, kMagic + 4);
    for (std::uint32_t word : {kVersion, movie.creator, std::uint32_t(movie.script), movie.flags,
                               std::uint32_t(movie.timeScale), std::uint32_t(movie.width),
                               std::uint32_t(movie.height), std::uint32_t(movie.samples.size())})
        Put32(out, word);
    for (const MovieFileSample& sample : movie.samples) {
        Put32(out, sample.codec);
        Put32(out, std::uint32_t(sample.duration));
        Put32(out, std::uint32_t(sample.data.size()));
        out.insert(out.end(), sample.data.begin(), sample.data.end());
    }
    return out;
}

long MovieParseFile(const std::uint8_t* bytes, std::size_t size, MovieFileData& movie)
{
    if (bytes == nullptr || size < kHeaderSize || std::memcmp(bytes, kMagic, 4) != 0 || Get32(bytes + 4) != kVersion)
        return kTlMovieErrBadFile;
    movie = MovieFileData();
    movie.creator = Get32(bytes + 8);
    movie.script = std::int32_t(Get32(bytes + 12));
    movie.flags = Get32(bytes + 16);
    const std::uint32_t scale = Get32(bytes + 20), width = Get32(bytes + 24), height = Get32(bytes + 28);
    const std::uint32_t count = Get32(bytes + 32);
    if (scale == 0 || scale > 0x7FFFFFFF || width < 1 || height < 1 || width > std::uint32_t(kMovieLargestSide) ||
        height > std::uint32_t(kMovieLargestSide))
        return kTlMovieErrBadFile;
    movie.timeScale = long(scale);
    movie.width = long(width);
    movie.height = long(height);
    std::size_t at = kHeaderSize;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (size - at < kSampleHeaderSize)
            return kTlMovieErrBadFile;
        MovieFileSample sample;
        sample.codec = Get32(bytes + at);
        const std::uint32_t duration = Get32(bytes + at + 4);
        const std::uint32_t length = Get32(bytes + at + 8);
        at += kSampleHeaderSize;
        if (duration > 0x7FFFFFFF || length > size - at)
            return kTlMovieErrBadFile;
        sample.duration = long(duration);
        sample.data.assign(bytes + at, bytes + at + length);
        at += length;
        movie.samples.push_back(std::move(sample));
    }
    return at == size ? kTlMovieOk : kTlMovieErrBadFile;
}

long MovieWriteFile(const std::string& path, const MovieFileData& movie)
{
    const std::vector<std::uint8_t> bytes = MovieFileBytes(movie);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return kTlMovieErrFile;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size() ? kTlMovieOk : kTlMovieErrFile;
}

bool MovieReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x40000000;
    if (ok) {
        bytes.resize(std::size_t(size.QuadPart));
        DWORD read = 0;
        ok = bytes.empty() || (ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr) && read == bytes.size());
    }
    CloseHandle(file);
    return ok;
}

long MovieReadFile(const std::string& path, MovieFileData& movie)
{
    std::vector<std::uint8_t> bytes;
    if (!MovieReadWholeFile(path, bytes))
        return kTlMovieErrFile;
    return MovieParseFile(bytes.data(), bytes.size(), movie);
}
