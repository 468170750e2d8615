// The abstract file stream that the library's readers and writers use.
#pragma once

class CTlStringBase;

class CTlStreamBase {
public:
    // Open flags.
    static constexpr int kOpenRead = 1;
    static constexpr int kOpenWrite = 2;
    static constexpr int kOpenTruncate = 4; // with kOpenWrite; else writes append
    static constexpr int kOpenBinary = 8;

    // Seek origin flags, tested in this order; none of them: the beginning.
    static constexpr int kSeekBegin = 0x40;
    static constexpr int kSeekCurrent = 0x20;
    static constexpr int kSeekEnd = 0x80;

    virtual ~CTlStreamBase() = default;

    virtual bool Open(const char* path, int flags) = 0;
    virtual void Close() = 0;
    // The current position; -1 when it cannot be told.
    virtual long long Tell() = 0;
    // The new position; -1 when the seek failed.
    virtual long long Seek(long long offset, int originFlags) = 0;
    virtual bool Write(const void* bytes, int count) = 0;
    // `countRead` (may be null) receives the number of bytes read.
    virtual bool Read(void* bytes, int count, int* countRead) = 0;
    virtual bool WriteLine(const char* text) = 0;
    // Appends the next line, without its line end, to `line`.
    virtual bool ReadLine(CTlStringBase& line) = 0;
    // The next line into `buffer`: at most size - 1 characters and a zero byte.
    virtual bool GetLine(char* buffer, int size) = 0;
    virtual void Flush() = 0;

protected:
    CTlStreamBase() = default;
    CTlStreamBase(const CTlStreamBase&) = default;
    CTlStreamBase& operator=(const CTlStreamBase&) = default;
};
