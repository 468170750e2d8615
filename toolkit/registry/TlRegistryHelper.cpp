#include "registry/TlRegistryHelper.h"

#include "common/TlNoThrow.h"

#include <atomic>
#include <cstring>
#include <initializer_list>

namespace {

std::atomic<CTlRegistryHelper*> g_currentHelper{nullptr};

const DWORD kDwordSize = sizeof(DWORD);

TlKeyAccess AccessFor(bool create, bool write)
{
    if (write)
        return create ? TlKeyAccess::CreateWrite : TlKeyAccess::ReadWrite;
    return TlKeyAccess::Read;
}

bool JoinKeyParts(std::initializer_list<const std::string*> parts, std::string& path)
{
    path.clear();
    for (const std::string* part : parts) {
        if (part->empty())
            return false;
        if (!path.empty())
            path += '\\';
        path += *part;
    }
    return true;
}

} // namespace

CTlRegistryHelper::CTlRegistryHelper()
{
    g_currentHelper.store(this);
}

CTlRegistryHelper::~CTlRegistryHelper()
{
    CTlRegistryHelper* self = this;
    g_currentHelper.compare_exchange_strong(self, nullptr);
}

void CTlRegistryHelper::SetKeyParts(const char* maker, const char* module, const char* version, const char* section)
{
    std::lock_guard<std::mutex> lock(m_partsLock);
    m_root = TlCopyNoThrow("Software");
    m_maker = TlCopyNoThrow(maker);
    m_module = TlCopyNoThrow(module);
    m_version = TlCopyNoThrow(version);
    m_common = TlCopyNoThrow(section);
}

CTlRegistryHelper* CTlRegistryHelper::GetCurrent()
{
    return g_currentHelper.load();
}

bool CTlRegistryHelper::BuildKeyPath(const char* subKey, bool useCommon, std::string& path) const
{
    {
        std::lock_guard<std::mutex> lock(m_partsLock);
        const bool joined = useCommon ? JoinKeyParts({&m_root, &m_maker, &m_common}, path)
                                      : JoinKeyParts({&m_root, &m_maker, &m_module, &m_version}, path);
        if (!joined)
            return false;
    }
    if (subKey && *subKey) {
        path += '\\';
        path += subKey;
    }
    return true;
}

bool CTlRegistryHelper::OpenKey(HKEY root, const char* subKey, HKEY* key, bool useCommon, bool create,
                                bool write) const
{
    if (!key)
        return false;
    *key = nullptr;
    return TlAnswerNoThrow([&] {
        std::string path;
        return BuildKeyPath(subKey, useCommon, path) &&
               TlOpenRegistryKey(root, path.c_str(), AccessFor(create, write), key);
    });
}

bool CTlRegistryHelper::ReadValue(HKEY root, const char* subKey, const char* valueName, TlRegistryValue& value,
                                  bool useCommon, DWORD maxSize) const
{
    return TlAnswerNoThrow([&] {
        CTlRegKey key;
        return OpenKey(root, subKey, key.Receive(), useCommon, false, false) &&
               TlReadRegistryValue(key.Get(), valueName, value, maxSize);
    });
}

bool CTlRegistryHelper::WriteValue(HKEY root, const char* subKey, const char* valueName, DWORD type,
                                   const void* data, std::size_t size, bool useCommon) const
{
    CTlRegKey key;
    return OpenKey(root, subKey, key.Receive(), useCommon, true, true) &&
           TlWriteRegistryValue(key.Get(), valueName, type, data, size);
}

DWORD CTlRegistryHelper::ReadDword(HKEY root, const char* subKey, const char* valueName, DWORD def,
                                   bool useCommon) const
{
    TlRegistryValue value;
    if (!ReadValue(root, subKey, valueName, value, useCommon, kDwordSize))
        return def;
    DWORD result = 0;
    if (!value.data.empty())
        std::memcpy(&result, value.data.data(), value.data.size());
    return result;
}

bool CTlRegistryHelper::WriteDword(HKEY root, const char* subKey, const char* valueName, DWORD value,
                                   bool useCommon) const
{
    return WriteValue(root, subKey, valueName, REG_DWORD, &value, sizeof value, useCommon);
}

std::string CTlRegistryHelper::ReadString(HKEY root, const char* subKey, const char* valueName, const char* def,
                                          bool useCommon) const
{
    std::string text;
    const bool read = TlAnswerNoThrow([&] {
        TlRegistryValue value;
        if (!ReadValue(root, subKey, valueName, value, useCommon) || !TlIsTextValue(value))
            return false;
        text = TlTextOf(value);
        return true;
    });
    if (read)
        return text;
    return TlCopyNoThrow(def);
}

bool CTlRegistryHelper::WriteString(HKEY root, const char* subKey, const char* valueName, const char* text,
                                    bool useCommon) const
{
    if (!text)
        return false;
    return WriteValue(root, subKey, valueName, REG_SZ, text, std::strlen(text) + 1, useCommon);
}

bool CTlRegistryHelper::WriteBinary(HKEY root, const char* subKey, const char* valueName, const void* data,
                                    std::size_t size, bool useCommon) const
{
    return WriteValue(root, subKey, valueName, REG_BINARY, data, size, useCommon);
}
