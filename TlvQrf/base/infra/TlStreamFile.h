// A named file that owns a file stream while it is open.
#pragma once

#include "infra/TlFileStream.h"
#include "infra/TlString.h"

#include <memory>

class CTlStreamFile {
public:
    // `path` may be null (an empty path, which never opens).
    explicit CTlStreamFile(const char* path);
    virtual ~CTlStreamFile();
    CTlStreamFile(const CTlStreamFile&) = delete;
    CTlStreamFile& operator=(const CTlStreamFile&) = delete;

    // Opens the path with CTlStreamBase's open flags. False for an empty
    // path, a file that is already open, or one that does not open.
    bool Open(int flags);
    void Close();
    // Forward to the open stream; false while closed.
    bool Write(const void* bytes, int count);
    bool Read(void* bytes, int count, int* countRead = nullptr);
    // The size of the file at the path as the file system reports it, open
    // or not; -1 when it cannot be read.
    long long GetSize() const;

    bool IsOpen() const;
    const char* GetPath() const;
    // The open stream, for seeking and line operations; null while closed.
    CTlFileStream* GetStream() const;

private:
    std::unique_ptr<CTlFileStream> m_stream;
    CTlString m_path;
};
