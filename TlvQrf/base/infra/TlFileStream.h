// A stream over a standard file stream, with binary and text-line operations.
#pragma once

#include "infra/TlStreamBase.h"

#include <fstream>

class CTlFileStream : public CTlStreamBase {
public:
    // Bits of the mode word. The read bit is always set: a stream opened for
    // writing can read too (read-write truncating, or read-append).
    static constexpr int kModeRead = 1;
    static constexpr int kModeWrite = 2;
    static constexpr int kModeAppend = 8;
    static constexpr int kModeTruncate = 0x10;
    static constexpr int kModeBinary = 0x20;

    CTlFileStream() = default;
    ~CTlFileStream() override = default;
    CTlFileStream(const CTlFileStream&) = delete;
    CTlFileStream& operator=(const CTlFileStream&) = delete;

    // False for a null path, a stream that is already open, or a file that
    // does not open; the mode word is then back to read.
    bool Open(const char* path, int flags) override;
    void Close() override;
    long long Tell() override;
    // Also repositions a stream that has reached the end of the file.
    long long Seek(long long offset, int originFlags) override;
    bool Write(const void* bytes, int count) override;
    // False once the end is reached, also when some bytes were read.
    bool Read(void* bytes, int count, int* countRead) override;
    // Writes the text and a line end, then flushes; false on a binary stream.
    bool WriteLine(const char* text) override;
    // Lines of any length; false at the end or on a binary stream.
    bool ReadLine(CTlStringBase& line) override;
    // A longer line is cut to the buffer and the rest of it skipped.
    bool GetLine(char* buffer, int size) override;
    void Flush() override;

    int GetMode() const;
    bool IsOpen() const;

private:
    // ReadLine reads a line in pieces of at most this many characters.
    static constexpr int kLineChunk = 127;

    static int ModeFromFlags(int flags);
    static std::ios_base::openmode OpenModeOf(int mode);
    bool IsBinary() const;

    std::fstream m_file;
    int m_mode = kModeRead;
};
