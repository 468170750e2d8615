#include "raw/TlEmbeddedProfile.h"

#include "kelvra/KelvraTagControl.h"
#include "pellio/Pellio.h"
#include "raw/TlQuietTagReads.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

bool WriteFile(const char* path, const unsigned char* bytes, std::size_t size)
{
    IKelvraFileStream* raw = nullptr;
    if (!Succeeded(IKelvraFileStream::CreateFileStream(&raw)))
        return false;
    const PellioStreamPtr stream(raw);
    return Succeeded(stream->SetPath(path)) && Succeeded(stream->Open(kKelvraStreamWrite)) &&
           Succeeded(stream->Write(bytes, size)) && Succeeded(stream->Close());
}

bool WriteProfileBytes(const IKelvraTagControl& tags, std::uint32_t tag, const char* path)
{
    const std::uint32_t size = tags.GetTagSize(tag, 0);
    const std::unique_ptr<unsigned char[]> bytes(AllocateBytes(size, 0));
    if (!bytes)
        return false;
    if (!Succeeded(tags.GetTag(tag, kKelvraTagTypeBytes, size, bytes.get(), 0)))
        return false;
    return WriteFile(path, bytes.get(), size);
}

bool CopyProfilePath(const IKelvraTagControl& tags, std::uint32_t tag, char* path)
{
    char read[kTlProfilePathChars + 1] = {};
    if (!Succeeded(tags.GetTag(tag, kKelvraTagTypePath, kTlProfilePathChars, read, 0)))
        return false;
    std::memcpy(path, read, kTlProfilePathChars);
    path[kTlProfilePathChars - 1] = '\0';
    return true;
}

} // namespace

unsigned char* AllocateBytes(std::size_t n, unsigned long)
{
    if (n == 0)
        return nullptr;
    return new (std::nothrow) unsigned char[n];
}

bool WriteEmbeddedProfile(const IKelvraTagControl* tags, char* path, bool alternative)
{
    if (tags == nullptr || path == nullptr)
        return false;
    const std::uint32_t tag = alternative ? kTlAlternativeProfileTag : kTlIccProfileTag;
    switch (tags->GetTagType(tag)) {
    case kKelvraTagTypeBytes: return WriteProfileBytes(*tags, tag, path);
    case kKelvraTagTypePath: return CopyProfilePath(*tags, tag, path);
    default: return false;
    }
}
