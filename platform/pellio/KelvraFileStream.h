// A file stream: one file on disk, opened for reading or for writing.
//
// A stream opened for writing writes into a temporary file in the target's
// folder; Close puts it in place of the target. Output that must not be kept
// (a write failed, SetKeepOnClose(false), or Release without Close) is
// deleted instead, so a failed save never leaves a half-written target.
#pragma once

#include "kelvra/KelvraError.h"
#include "kelvra/KelvraTypes.h"

#include <cstddef>
#include <cstdint>

enum : long {
    kKelvraStreamRead = 1,
    kKelvraStreamWrite = 2,
};

enum : long {
    kKelvraSeekBegin = 0,
    kKelvraSeekCurrent = 1,
    kKelvraSeekEnd = 2,
};

class IKelvraFileStream {
public:
    // A closed stream without a path; *stream is set only on success.
    static IKelvraError* CreateFileStream(IKelvraFileStream** stream);

    // The file the next Open uses; refused while the stream is open.
    virtual IKelvraError* SetPath(const char* path) = 0;
    virtual const char* GetPath() const = 0;
    // Opens the path in one of the modes above.
    virtual IKelvraError* Open(long mode) = 0;
    // SetPath, then Open.
    virtual IKelvraError* Open(const KelvraFile& file, long mode) = 0;
    // 0 when closed.
    virtual long GetMode() const = 0;

    // Reads up to `size` bytes. With `done`, a read that meets the end of the
    // file gives the bytes it got; without it, fewer than `size` bytes is
    // error kPellioReadFailed.
    virtual IKelvraError* Read(void* buffer, std::size_t size, std::size_t* done) = 0;
    // A failed write is error 1006; the output is then not kept.
    virtual IKelvraError* Write(const void* data, std::size_t size) = 0;
    virtual IKelvraError* Seek(std::int64_t offset, long origin) = 0;
    virtual IKelvraError* Tell(std::int64_t* position) const = 0;
    // Bytes in the file (for a written file, what has been written so far).
    virtual IKelvraError* GetSize(std::int64_t* size) const = 0;

    // Whether Close keeps what was written (true when opened). A saver clears
    // it while its file is incomplete.
    virtual void SetKeepOnClose(bool keep) = 0;
    // Closes the file; for written output, puts it in place of the target or
    // deletes it (see above). An error when the output could not be kept.
    virtual IKelvraError* Close() = 0;
    // Closes the file (output not yet closed is not kept) and frees the stream.
    virtual void Release() = 0;

protected:
    virtual ~IKelvraFileStream() = default;
};
