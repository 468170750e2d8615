// The file stream over Win32 files. Written output goes to a temporary file
// beside the target and replaces the target only when closed in good order.
#include "PellioErrors.h"
#include "pellio/KelvraFileStream.h"

#include <windows.h>

#include <string>

#define STREAM_ERROR(code) PELLIO_ERROR(kPellioStreamTag, (code))

namespace {

// Win32 transfers take 32-bit counts.
constexpr std::size_t kChunk = 1u << 30;

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

} // namespace

class CPellioFileStream : public IKelvraFileStream {
public:
    ~CPellioFileStream() override { Abandon(); }

    IKelvraError* SetPath(const char* path) override;
    const char* GetPath() const override { return m_path.c_str(); }
    IKelvraError* Open(long mode) override;
    IKelvraError* Open(const KelvraFile& file, long mode) override;
    long GetMode() const override { return m_mode; }
    IKelvraError* Read(void* buffer, std::size_t size, std::size_t* done) override;
    IKelvraError* Write(const void* data, std::size_t size) override;
    IKelvraError* Seek(std::int64_t offset, long origin) override;
    IKelvraError* Tell(std::int64_t* position) const override;
    IKelvraError* GetSize(std::int64_t* size) const override;
    void SetKeepOnClose(bool keep) override { m_keep = keep; }
    IKelvraError* Close() override;
    void Release() override { delete this; }

private:
    IKelvraError* OpenForReading();
    IKelvraError* OpenForWriting();
    IKelvraError* NeedMode(long mode) const;
    IKelvraError* CommitOutput();
    // Closes the handle and deletes unkept output.
    void Abandon();

    std::string m_path;
    std::string m_temporary; // the output being written
    HANDLE m_file = INVALID_HANDLE_VALUE;
    long m_mode = 0;
    bool m_keep = true;
};

IKelvraError* IKelvraFileStream::CreateFileStream(IKelvraFileStream** stream)
{
    return PellioCreate<CPellioFileStream>(kPellioStreamTag, stream);
}

IKelvraError* CPellioFileStream::SetPath(const char* path)
{
    if (!path)
        return STREAM_ERROR(kKelvraMissingObject);
    if (m_mode != 0)
        return STREAM_ERROR(kPellioStreamState);
    return PellioGuarded(kPellioStreamTag, [&]() -> IKelvraError* {
        m_path = path;
        return nullptr;
    });
}

IKelvraError* CPellioFileStream::Open(const KelvraFile& file, long mode)
{
    IKelvraError* error = SetPath(file.path);
    return error ? error : Open(mode);
}

IKelvraError* CPellioFileStream::Open(long mode)
{
    if (m_mode != 0)
        return STREAM_ERROR(kPellioStreamState);
    if (m_path.empty())
        return STREAM_ERROR(kKelvraMissingObject);
    if (mode == kKelvraStreamRead)
        return OpenForReading();
    if (mode == kKelvraStreamWrite)
        return OpenForWriting();
    return STREAM_ERROR(kKelvraBadArgument);
}

IKelvraError* CPellioFileStream::OpenForReading()
{
    m_file = CreateFileA(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (m_file == INVALID_HANDLE_VALUE)
        return IKelvraError::Add(STREAM_ERROR(kPellioOpenFailed), kPellioStreamTag, __LINE__, kKelvraCategoryOS,
                                 long(GetLastError()));
    m_mode = kKelvraStreamRead;
    return nullptr;
}

IKelvraError* CPellioFileStream::OpenForWriting()
{
    return PellioGuarded(kPellioStreamTag, [&]() -> IKelvraError* {
        char temporary[MAX_PATH];
        if (!GetTempFileNameA(FolderOf(m_path).c_str(), "plo", 0, temporary))
            return STREAM_ERROR(kPellioOpenFailed);
        m_file = CreateFileA(temporary, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_file == INVALID_HANDLE_VALUE) {
            DeleteFileA(temporary);
            return STREAM_ERROR(kPellioOpenFailed);
        }
        m_temporary = temporary;
        m_mode = kKelvraStreamWrite;
        m_keep = true;
        return nullptr;
    });
}

IKelvraError* CPellioFileStream::NeedMode(long mode) const
{
    return m_mode == mode ? nullptr : STREAM_ERROR(kPellioStreamState);
}

IKelvraError* CPellioFileStream::Read(void* buffer, std::size_t size, std::size_t* done)
{
    if (IKelvraError* error = NeedMode(kKelvraStreamRead))
        return error;
    if (!buffer && size > 0)
        return STREAM_ERROR(kKelvraMissingObject);
    std::size_t total = 0;
    while (total < size) {
        const DWORD ask = DWORD(size - total < kChunk ? size - total : kChunk);
        DWORD got = 0;
        if (!ReadFile(m_file, static_cast<char*>(buffer) + total, ask, &got, nullptr))
            return STREAM_ERROR(kPellioReadFailed);
        total += got;
        if (got < ask)
            break;
    }
    if (done)
        *done = total;
    else if (total < size)
        return STREAM_ERROR(kPellioReadFailed);
    return nullptr;
}

IKelvraError* CPellioFileStream::Write(const void* data, std::size_t size)
{
    if (IKelvraError* error = NeedMode(kKelvraStreamWrite))
        return error;
    if (!data && size > 0)
        return STREAM_ERROR(kKelvraMissingObject);
    std::size_t total = 0;
    while (total < size) {
        const DWORD ask = DWORD(size - total < kChunk ? size - total : kChunk);
        DWORD put = 0;
        if (!WriteFile(m_file, static_cast<const char*>(data) + total, ask, &put, nullptr) || put != ask) {
            m_keep = false;
            return STREAM_ERROR(kKelvraWriteError);
        }
        total += put;
    }
    return nullptr;
}

IKelvraError* CPellioFileStream::Seek(std::int64_t offset, long origin)
{
    if (m_mode == 0)
        return STREAM_ERROR(kPellioStreamState);
    static const DWORD kMethods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    if (origin < kKelvraSeekBegin || origin > kKelvraSeekEnd)
        return STREAM_ERROR(kKelvraBadArgument);
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    if (!SetFilePointerEx(m_file, distance, nullptr, kMethods[origin]))
        return STREAM_ERROR(kPellioSeekFailed);
    return nullptr;
}

IKelvraError* CPellioFileStream::Tell(std::int64_t* position) const
{
    if (!position)
        return STREAM_ERROR(kKelvraMissingObject);
    if (m_mode == 0)
        return STREAM_ERROR(kPellioStreamState);
    LARGE_INTEGER zero, now;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(m_file, zero, &now, FILE_CURRENT))
        return STREAM_ERROR(kPellioSeekFailed);
    *position = now.QuadPart;
    return nullptr;
}

IKelvraError* CPellioFileStream::GetSize(std::int64_t* size) const
{
    if (!size)
        return STREAM_ERROR(kKelvraMissingObject);
    if (m_mode == 0)
        return STREAM_ERROR(kPellioStreamState);
    LARGE_INTEGER bytes;
    if (!GetFileSizeEx(m_file, &bytes))
        return STREAM_ERROR(kPellioReadFailed);
    *size = bytes.QuadPart;
    return nullptr;
}

IKelvraError* CPellioFileStream::Close()
{
    if (m_mode == 0)
        return nullptr;
    if (m_mode == kKelvraStreamWrite && m_keep)
        return CommitOutput();
    Abandon();
    return nullptr;
}

IKelvraError* CPellioFileStream::CommitOutput()
{
    const bool flushed = FlushFileBuffers(m_file) != 0;
    CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    m_mode = 0;
    const bool moved = flushed && MoveFileExA(m_temporary.c_str(), m_path.c_str(),
                                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
    if (!moved)
        DeleteFileA(m_temporary.c_str());
    m_temporary.clear();
    return moved ? nullptr : STREAM_ERROR(kKelvraWriteError);
}

void CPellioFileStream::Abandon()
{
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    if (!m_temporary.empty())
        DeleteFileA(m_temporary.c_str());
    m_temporary.clear();
    m_mode = 0;
}
