#include "raw/TlTagBytes.h"

#include "kelvra/KelvraTagControl.h"
#include "raw/TlQuietTagReads.h"

std::vector<unsigned char> ReadWholeTag(const IKelvraTagControl& tags, std::uint32_t id)
{
    return FilledBytes(tags.GetTagSize(id, 0), [&](unsigned char* data, std::size_t size) {
        return Succeeded(tags.GetTag(id, kKelvraTagTypeBytes, static_cast<std::uint32_t>(size), data, 0));
    });
}
