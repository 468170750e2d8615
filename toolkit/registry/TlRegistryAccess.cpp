#include "registry/TlRegistryAccess.h"

#include <algorithm>

namespace {

const REGSAM kReadWriteAccess = KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;

// A value that keeps changing size between the size query and the read is
// given up after this many attempts.
const int kReadAttempts = 4;

enum class ReadStep { Done, Retry, Failed };

ReadStep ReadValueOnce(HKEY key, const char* name, TlRegistryValue& value, DWORD maxSize)
{
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size > maxSize)
        return ReadStep::Failed;
    value.data.resize(size);
    DWORD received = size;
    const LONG status = RegQueryValueExA(key, name, nullptr, &value.type, size ? value.data.data() : nullptr,
                                         &received);
    // Grown since the size query: without a buffer the call succeeds and
    // only reports the new size, with one it answers ERROR_MORE_DATA.
    if (status == ERROR_MORE_DATA || (status == ERROR_SUCCESS && received > size))
        return ReadStep::Retry;
    if (status != ERROR_SUCCESS)
        return ReadStep::Failed;
    value.data.resize(received);
    return ReadStep::Done;
}

} // namespace

CTlRegKey::~CTlRegKey()
{
    Close();
}

HKEY* CTlRegKey::Receive()
{
    Close();
    return &m_key;
}

void CTlRegKey::Close()
{
    if (m_key)
        RegCloseKey(m_key);
    m_key = nullptr;
}

HKEY CTlRegKey::Release()
{
    HKEY key = m_key;
    m_key = nullptr;
    return key;
}

bool TlOpenRegistryKey(HKEY root, const char* path, TlKeyAccess access, HKEY* key)
{
    *key = nullptr;
    LONG status;
    switch (access) {
    case TlKeyAccess::CreateWrite:
        status = RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, kReadWriteAccess, nullptr, key,
                                 nullptr);
        break;
    case TlKeyAccess::ReadWrite:
        status = RegOpenKeyExA(root, path, 0, kReadWriteAccess, key);
        break;
    default:
        status = RegOpenKeyExA(root, path, 0, KEY_READ, key);
        break;
    }
    if (status != ERROR_SUCCESS)
        *key = nullptr;
    return status == ERROR_SUCCESS;
}

bool TlReadRegistryValue(HKEY key, const char* name, TlRegistryValue& value, DWORD maxSize)
{
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        const ReadStep step = ReadValueOnce(key, name, value, maxSize);
        if (step != ReadStep::Retry)
            return step == ReadStep::Done;
    }
    return false;
}

bool TlWriteRegistryValue(HKEY key, const char* name, DWORD type, const void* data, std::size_t size)
{
    if (size > MAXDWORD || (size && !data))
        return false;
    return RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size)) ==
           ERROR_SUCCESS;
}

bool TlIsTextValue(const TlRegistryValue& value)
{
    return value.type == REG_SZ || value.type == REG_EXPAND_SZ;
}

std::string TlTextOf(const TlRegistryValue& value)
{
    const auto begin = value.data.begin();
    const auto end = std::find(begin, value.data.end(), '\0');
    return std::string(begin, end);
}
