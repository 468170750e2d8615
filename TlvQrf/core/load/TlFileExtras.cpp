#include "load/TlFileExtras.h"

#include "kelvra/KelvraTagControl.h"
#include "raw/TlEmbeddedProfile.h"
#include "raw/TlQuietTagReads.h"
#include "settings/holders/TlvSettingsHolder.h"
#include "settings/record/TlBlob.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {

// A value that grows between two reads gets this many more tries.
constexpr int kIptcReadAttempts = 3;

// Reads into `bytes`; on kKelvraTagTooSmall, `needed` is the value's size.
bool ReadIptcOnce(const IKelvraTagControl& tags, std::vector<unsigned char>& bytes, std::uint32_t& needed)
{
    KelvraTagDataHeader header{1, static_cast<std::uint32_t>(bytes.size()), bytes.data()};
    IKelvraError* error = tags.GetTag(kTlIptcTag, kKelvraTagTypeDataHeader, sizeof header, &header, 0);
    needed = header.length;
    return Succeeded(error);
}

bool MakeTemporaryName(char (&name)[MAX_PATH])
{
    char folder[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    return length != 0 && length < MAX_PATH && GetTempFileNameA(folder, "TlP", 0, name) != 0;
}

} // namespace

bool ReadIptcRecord(const IKelvraTagControl& tags, CTlBlob& record)
{
    if (!tags.HasTag(kTlIptcTag, 0))
        return false;
    try {
        std::vector<unsigned char> bytes(tags.GetTagSize(kTlIptcTag, 0));
        for (int attempt = 0; attempt < kIptcReadAttempts; ++attempt) {
            std::uint32_t needed = 0;
            if (ReadIptcOnce(tags, bytes, needed))
                return record.Set(bytes.data(), needed);
            if (needed <= bytes.size())
                return false;
            bytes.resize(needed);
        }
    } catch (const std::bad_alloc&) {
    }
    return false;
}

bool CopyEmbeddedProfile(const IKelvraTagControl& tags, TlvRegisteredImages& images)
{
    images.hasTemporaryFile = 0;
    images.temporaryFile[0] = '\0';
    if (tags.GetTagType(kTlIccProfileTag) != kKelvraTagTypeBytes)
        return false;
    char name[MAX_PATH] = {};
    if (!MakeTemporaryName(name))
        return false;
    if (!WriteEmbeddedProfile(&tags, name, false)) {
        DeleteFileA(name);
        return false;
    }
    std::memcpy(images.temporaryFile, name, sizeof name);
    images.hasTemporaryFile = 1;
    return true;
}
