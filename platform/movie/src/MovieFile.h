// The toolkit's movie file: one video track of fixed size whose samples
// follow each other. All numbers little-endian:
//   0  "TLMV"      4  version (1)   8  creator    12 script (signed)
//   16 flags       20 time scale    24 width      28 height
//   32 sample count, then per sample: codec, duration, data size, data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct MovieFileSample {
    std::uint32_t codec = 0;
    long duration = 0;
    std::vector<std::uint8_t> data;
};

struct MovieFileData {
    std::uint32_t creator = 0;
    std::int32_t script = 0;
    std::uint32_t flags = 0;
    long timeScale = 600;
    long width = 0;
    long height = 0;
    std::vector<MovieFileSample> samples;
};

std::vector<std::uint8_t> MovieFileBytes(const MovieFileData& movie);
// kTlMovieOk, or kTlMovieErrBadFile for bytes that are not a whole movie of ours.
long MovieParseFile(const std::uint8_t* bytes, std::size_t size, MovieFileData& movie);

long MovieWriteFile(const std::string& path, const MovieFileData& movie);
// kTlMovieErrFile when the file cannot be read.
long MovieReadFile(const std::string& path, MovieFileData& movie);

// The whole file; false when it cannot be opened or read.
bool MovieReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes);
