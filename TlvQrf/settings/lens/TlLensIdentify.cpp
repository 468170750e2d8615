// Which lens took a picture, and where the data file of a lens lies.
#include "settings/lens/TlLensInformation.h"

#include "frame/TlProfileFolder.h"
#include "kelvra/KelvraTagControl.h"

#include <cstring>
#include <string>

namespace {

// Older pictures only tell the lens's focal lengths and widest apertures.
constexpr std::uint32_t kLensRangeTag = 0x80084;

struct LensDataVersion {
    const char* version;
    int codeOffset;
};
const LensDataVersion kLensDataVersions[] = {
    {"0100", 6},
    {"0101", 11},
};

// Shortest and longest focal length, widest aperture at each: the supported
// fisheye lens.
const double kSupportedLensRange[4] = {10.5, 10.5, 2.8, 2.8};

const char kLensFileName[] = "Tl0080.lns";

std::uint8_t CodeFromLensData(const std::uint8_t (&data)[CTlLensInformation::kLensDataSize])
{
    for (const LensDataVersion& known : kLensDataVersions) {
        if (std::memcmp(data, known.version, 4) == 0)
            return data[known.codeOffset];
    }
    return 0;
}

std::uint8_t CodeFromLensRange(const IKelvraTagControl& tags)
{
    double range[4] = {};
    if (IKelvraError* error = tags.GetTag(kLensRangeTag, kKelvraTagTypeDoubles4, sizeof range, range, 0)) {
        IKelvraError::Release(error);
        return 0;
    }
    for (int i = 0; i < 4; ++i) {
        if (range[i] != kSupportedLensRange[i])
            return 0;
    }
    return CTlLensInformation::kSupportedLensCode;
}

} // namespace

std::uint8_t CTlLensInformation::IdentifyLens(const IKelvraTagControl* tags)
{
    if (!tags)
        return 0;
    std::uint8_t data[kLensDataSize] = {};
    IKelvraError* error = tags->GetTag(kLensDataTag, kKelvraTagTypeLensData, kLensDataSize, data, 0);
    if (!error)
        return CodeFromLensData(data);
    IKelvraError::Release(error);
    return CodeFromLensRange(*tags);
}

int CTlLensInformation::GetLensFilePath(char* path, int lensCode)
{
    if (!path || lensCode != kSupportedLensCode)
        return -1;
    const std::string full = GetProfileFolder() + kLensFileName;
    // A profiles folder too long for the buffer gives no path rather than a
    // cut one that would name another file.
    if (full.size() >= static_cast<std::size_t>(kPathCapacity))
        return -1;
    std::memcpy(path, full.c_str(), full.size() + 1);
    return 0;
}
