#include "infra/TlFileStream.h"

#include "infra/TlString.h"

#include <limits>

int CTlFileStream::ModeFromFlags(int flags)
{
    int mode = kModeRead;
    if (flags & kOpenWrite)
        mode |= kModeWrite | ((flags & kOpenTruncate) ? kModeTruncate : kModeAppend);
    if (flags & kOpenBinary)
        mode |= kModeBinary;
    return mode;
}

std::ios_base::openmode CTlFileStream::OpenModeOf(int mode)
{
    std::ios_base::openmode open = std::ios_base::in;
    if (mode & kModeWrite)
        open |= std::ios_base::out;
    if (mode & kModeAppend)
        open |= std::ios_base::app;
    if (mode & kModeTruncate)
        open |= std::ios_base::trunc;
    if (mode & kModeBinary)
        open |= std::ios_base::binary;
    return open;
}

bool CTlFileStream::Open(const char* path, int flags)
{
    if (!path || m_file.is_open())
        return false;
    m_mode = ModeFromFlags(flags);
    try {
        m_file.open(path, OpenModeOf(m_mode));
    } catch (...) {
        m_file.setstate(std::ios_base::badbit); // e.g. the file buffer could not be allocated
    }
    if (m_file.is_open() && m_file.good())
        return true;
    Close();
    return false;
}

void CTlFileStream::Close()
{
    m_mode = kModeRead;
    m_file.close();
}

long long CTlFileStream::Tell()
{
    if (m_mode & kModeRead)
        return static_cast<long long>(std::streamoff(m_file.tellg()));
    if (m_mode & kModeWrite)
        return static_cast<long long>(std::streamoff(m_file.tellp()));
    return -1;
}

long long CTlFileStream::Seek(long long offset, int originFlags)
{
    std::ios_base::seekdir origin = std::ios_base::beg;
    if (originFlags & kSeekBegin)
        origin = std::ios_base::beg;
    else if (originFlags & kSeekCurrent)
        origin = std::ios_base::cur;
    else if (originFlags & kSeekEnd)
        origin = std::ios_base::end;

    // Reaching the end fails the stream; a seek may still go elsewhere.
    if (!m_file.bad())
        m_file.clear();
    if (m_mode & kModeRead)
        m_file.seekg(offset, origin);
    else if (m_mode & kModeWrite)
        m_file.seekp(offset, origin);
    else
        return -1;
    return m_file.fail() ? -1 : static_cast<long long>(std::streamoff(m_file.tellg()));
}

bool CTlFileStream::Write(const void* bytes, int count)
{
    if (count < 0 || (!bytes && count > 0) || !m_file.good())
        return false;
    m_file.write(static_cast<const char*>(bytes), count);
    return m_file.good();
}

bool CTlFileStream::Read(void* bytes, int count, int* countRead)
{
    if (countRead)
        *countRead = 0;
    if (count < 0 || (!bytes && count > 0) || !m_file.good())
        return false;
    m_file.read(static_cast<char*>(bytes), count);
    if (countRead)
        *countRead = static_cast<int>(m_file.gcount());
    return m_file.good();
}

bool CTlFileStream::WriteLine(const char* text)
{
    if (!text || IsBinary() || !m_file.good())
        return false;
    m_file << text << '\n';
    m_file.flush();
    return m_file.good();
}

bool CTlFileStream::ReadLine(CTlStringBase& line)
{
    if (IsBinary() || !m_file.good())
        return false;
    for (;;) {
        char chunk[kLineChunk + 1];
        m_file.getline(chunk, sizeof chunk);
        const int extracted = static_cast<int>(m_file.gcount());
        // Nothing at all before the end means there was no further line.
        if (m_file.bad() || extracted == 0)
            return false;
        // A full chunk with the line end still ahead sets the failure bit.
        const bool moreFollows = m_file.fail() && !m_file.eof();
        const bool endConsumed = !moreFollows && !m_file.eof();
        if (!line.Append(chunk, endConsumed ? extracted - 1 : extracted))
            return false;
        if (!moreFollows)
            return true;
        m_file.clear();
    }
}

bool CTlFileStream::GetLine(char* buffer, int size)
{
    if (!buffer || size <= 0 || IsBinary() || !m_file.good())
        return false;
    m_file.getline(buffer, size);
    if (m_file.bad() || (m_file.gcount() == 0 && m_file.eof()))
        return false;
    if (m_file.fail() && !m_file.eof()) {
        // The line did not fit: keep its start and go on at the next line.
        m_file.clear();
        m_file.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    return true;
}

void CTlFileStream::Flush()
{
    m_file.flush();
}

int CTlFileStream::GetMode() const
{
    return m_mode;
}

bool CTlFileStream::IsOpen() const
{
    return m_file.is_open();
}

bool CTlFileStream::IsBinary() const
{
    return (m_mode & kModeBinary) != 0;
}
