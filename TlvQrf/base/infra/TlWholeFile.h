// Reads a whole file into memory with the run-time's low-level file
// functions, as the calibration and lens data files are read.
#pragma once

#include <cstddef>
#include <vector>

enum class TlWholeFileResult {
    kRead,       // `bytes` holds the file
    kUnreadable, // the file could not be opened, positioned or read
    kTooLong,    // longer than the caller can use; nothing was read
    kNoMemory,   // the buffer could not be allocated
};

// A file longer than `maxLength` bytes is not read into memory. `bytes` is
// changed only on kRead.
TlWholeFileResult TlReadWholeFile(const char* path, std::size_t maxLength, std::vector<unsigned char>& bytes);
