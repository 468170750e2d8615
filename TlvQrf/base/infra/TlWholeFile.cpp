#include "infra/TlWholeFile.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <new>

namespace {

// A file opened read-only without text translation, closed on every path.
class CLowLevelFile {
public:
    explicit CLowLevelFile(const char* path) : m_handle(path ? _open(path, _O_RDONLY | _O_BINARY) : -1) {}
    ~CLowLevelFile()
    {
        if (m_handle >= 0)
            _close(m_handle);
    }
    CLowLevelFile(const CLowLevelFile&) = delete;
    CLowLevelFile& operator=(const CLowLevelFile&) = delete;

    int Handle() const { return m_handle; }

private:
    int m_handle;
};

bool ReadAll(int handle, std::vector<unsigned char>& into)
{
    std::size_t done = 0;
    while (done < into.size()) {
        const int got = _read(handle, into.data() + done, static_cast<unsigned>(into.size() - done));
        if (got <= 0)
            return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace

TlWholeFileResult TlReadWholeFile(const char* path, std::size_t maxLength, std::vector<unsigned char>& bytes)
{
    CLowLevelFile file(path);
    if (file.Handle() < 0)
        return TlWholeFileResult::kUnreadable;
    const long length = _lseek(file.Handle(), 0, SEEK_END);
    if (length < 0)
        return TlWholeFileResult::kUnreadable;
    if (static_cast<unsigned long>(length) > maxLength)
        return TlWholeFileResult::kTooLong;
    if (_lseek(file.Handle(), 0, SEEK_SET) != 0)
        return TlWholeFileResult::kUnreadable;
    std::vector<unsigned char> read;
    try {
        read.resize(static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        return TlWholeFileResult::kNoMemory;
    }
    if (!ReadAll(file.Handle(), read))
        return TlWholeFileResult::kUnreadable;
    bytes.swap(read);
    return TlWholeFileResult::kRead;
}
