// The registry key helper every module library carries. Its keys are
//   Software\<maker>\<module>\<version>[\<section>]   (the module's own key)
//   Software\<maker>\<common>[\<section>]             (the common key)
// where the key parts come from the library's own string table.
#pragma once

#include "registry/TlRegistryAccess.h"

#include <windows.h>

#include <cstddef>
#include <mutex>
#include <string>

class CTlRegistryHelper {
public:
    // Five empty key parts; the new helper becomes the process's current one.
    CTlRegistryHelper();
    // Stops being the current helper if it still is.
    virtual ~CTlRegistryHelper();
    CTlRegistryHelper(const CTlRegistryHelper&) = delete;
    CTlRegistryHelper& operator=(const CTlRegistryHelper&) = delete;

    // Sets the key parts to "Software" and the four texts (null reads as empty).
    void SetKeyParts(const char* maker, const char* module, const char* version, const char* section);

    // The helper constructed last, while it lives; otherwise null.
    static CTlRegistryHelper* GetCurrent();

    // Opens the helper's key (the common key with `useCommon`) below `root`,
    // then `subKey` below it when one is given. With `create` and `write` a
    // missing key is created; `write` alone opens for writing; otherwise the
    // key is opened for reading. The caller closes `*key`. False when a key
    // part the path needs is empty or the key cannot be opened.
    bool OpenKey(HKEY root, const char* subKey, HKEY* key, bool useCommon, bool create, bool write) const;

    // The value's bytes read as a DWORD whatever its type (a shorter value
    // fills the low bytes, the rest are 0); `def` when the key or value
    // cannot be read or the value is longer than 4 bytes.
    DWORD ReadDword(HKEY root, const char* subKey, const char* valueName, DWORD def, bool useCommon) const;
    // Creates the key when needed and stores a REG_DWORD.
    bool WriteDword(HKEY root, const char* subKey, const char* valueName, DWORD value, bool useCommon) const;

    // The text of a REG_SZ or REG_EXPAND_SZ value; `def` (null reads as
    // empty) when the key or value is missing, unreadable or not text.
    std::string ReadString(HKEY root, const char* subKey, const char* valueName, const char* def,
                           bool useCommon) const;
    // Creates the key when needed and stores `text` with its terminator as REG_SZ.
    bool WriteString(HKEY root, const char* subKey, const char* valueName, const char* text, bool useCommon) const;

    // Creates the key when needed and stores the bytes as REG_BINARY.
    bool WriteBinary(HKEY root, const char* subKey, const char* valueName, const void* data, std::size_t size,
                     bool useCommon) const;

    // Reads a value of any type whole (see TlReadRegistryValue).
    bool ReadValue(HKEY root, const char* subKey, const char* valueName, TlRegistryValue& value, bool useCommon,
                   DWORD maxSize = kTlAnyValueSize) const;
    // Creates the key when needed and stores a value of any type.
    bool WriteValue(HKEY root, const char* subKey, const char* valueName, DWORD type, const void* data,
                    std::size_t size, bool useCommon) const;

private:
    bool BuildKeyPath(const char* subKey, bool useCommon, std::string& path) const;

    // Key parts are set at library start and read from any thread.
    mutable std::mutex m_partsLock;
    std::string m_root;
    std::string m_maker;
    std::string m_module;
    std::string m_version;
    std::string m_common;
};
