// The tags that give a loaded picture's geometry, for files that do not
// carry them (TIFF and JPEG files, Qrf files written without them).
#include "PellioPicture.h"
#include "PellioTagIds.h"

#include <cstring>

namespace {

template <class T>
void AddIfMissing(std::vector<PellioTagValue>* tags, std::uint32_t id, std::uint32_t type, T value)
{
    if (PellioHasTag(*tags, id))
        return;
    PellioTagValue tag;
    tag.id = id;
    tag.type = type;
    tag.bytes.resize(sizeof value);
    std::memcpy(tag.bytes.data(), &value, sizeof value);
    tags->push_back(std::move(tag));
}

} // namespace

void PellioAddGeometryTags(const PellioPictureInfo& main, std::vector<PellioTagValue>* tags)
{
    AddIfMissing(tags, kKelvraTagImageWidth, kKelvraTagTypeLong, std::uint32_t(main.width));
    AddIfMissing(tags, kKelvraTagImageHeight, kKelvraTagTypeLong, std::uint32_t(main.height));
    AddIfMissing(tags, kPellioTagPixelFormat, kKelvraTagTypeLong, std::uint32_t(main.format));
    AddIfMissing(tags, kPellioTagResolution, kKelvraTagTypeDoubles, main.resolution);
}
