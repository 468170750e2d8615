#include "infra/TlStreamFile.h"

#include <windows.h>

#include <new>

namespace {

std::unique_ptr<CTlFileStream> NewFileStream()
{
    try {
        return std::unique_ptr<CTlFileStream>(new CTlFileStream);
    } catch (...) {
        return nullptr; // no memory for the stream or its buffers
    }
}

} // namespace

CTlStreamFile::CTlStreamFile(const char* path) : m_path(path) {}

CTlStreamFile::~CTlStreamFile()
{
    Close();
}

bool CTlStreamFile::Open(int flags)
{
    if (m_path.IsEmpty() || m_stream)
        return false;
    std::unique_ptr<CTlFileStream> stream = NewFileStream();
    if (!stream || !stream->Open(m_path.GetData(), flags))
        return false;
    m_stream = std::move(stream);
    return true;
}

void CTlStreamFile::Close()
{
    if (!m_stream)
        return;
    m_stream->Close();
    m_stream.reset();
}

bool CTlStreamFile::Write(const void* bytes, int count)
{
    return m_stream && m_stream->Write(bytes, count);
}

bool CTlStreamFile::Read(void* bytes, int count, int* countRead)
{
    if (!m_stream) {
        if (countRead)
            *countRead = 0;
        return false;
    }
    return m_stream->Read(bytes, count, countRead);
}

long long CTlStreamFile::GetSize() const
{
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (m_path.IsEmpty() || !GetFileAttributesExA(m_path.GetData(), GetFileExInfoStandard, &attributes))
        return -1;
    return (static_cast<long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
}

bool CTlStreamFile::IsOpen() const
{
    return m_stream != nullptr;
}

const char* CTlStreamFile::GetPath() const
{
    return m_path.GetData();
}

CTlFileStream* CTlStreamFile::GetStream() const
{
    return m_stream.get();
}
