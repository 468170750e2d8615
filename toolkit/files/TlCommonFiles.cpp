#include "files/TlCommonFiles.h"

#include "common/TlNoThrow.h"
#include "registry/TlRegistryAccess.h"

namespace {

const char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
const char kCommonFilesValue[] = "CommonFilesDir";

} // namespace

std::string GetCommonFilesFolder()
{
    std::string folder;
    TlAnswerNoThrow([&] {
        CTlRegKey key;
        TlRegistryValue value;
        if (!TlOpenRegistryKey(HKEY_LOCAL_MACHINE, kCurrentVersionKey, TlKeyAccess::Read, key.Receive()) ||
            !TlReadRegistryValue(key.Get(), kCommonFilesValue, value) || value.type != REG_SZ)
            return false;
        folder = TlTextOf(value);
        return true;
    });
    return folder;
}
