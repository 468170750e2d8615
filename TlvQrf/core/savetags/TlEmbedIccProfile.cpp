#include "savetags/TlEmbedIccProfile.h"

#include "savetags/TlSaveTagWrite.h"

#include "infra/TlWholeFile.h"
#include "kelvra/KelvraTagControl.h"
#include "raw/TlEmbeddedProfile.h"

#include <limits>
#include <vector>

bool EmbedIccProfile(IKelvraTagControl* tagControl, const char* profilePath)
{
    if (tagControl == nullptr || profilePath == nullptr)
        return false;
    // A tag's length is a 32-bit count.
    constexpr std::size_t kMaxLength = std::numeric_limits<std::uint32_t>::max();
    std::vector<unsigned char> bytes;
    if (TlReadWholeFile(profilePath, kMaxLength, bytes) != TlWholeFileResult::kRead || bytes.empty())
        return false;
    IKelvraError* error = WriteSaveTag(*tagControl, kTlIccProfileTag, kKelvraTagTypeBytes,
                                       static_cast<std::uint32_t>(bytes.size()), bytes.data());
    const bool stored = error == nullptr;
    IKelvraError::Release(error);
    return stored;
}
