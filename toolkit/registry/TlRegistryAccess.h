// Plain access to registry keys and values, shared by the key helper, the
// registry serialisers and the Common Files lookup. Reads are bounded by
// the data the registry actually holds.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

// Owns an open key and closes it when it goes.
class CTlRegKey {
public:
    CTlRegKey() = default;
    ~CTlRegKey();
    CTlRegKey(const CTlRegKey&) = delete;
    CTlRegKey& operator=(const CTlRegKey&) = delete;

    HKEY Get() const { return m_key; }
    // Closes the key held now and answers the slot for a new one.
    HKEY* Receive();
    // Gives up ownership without closing.
    HKEY Release();

private:
    void Close();

    HKEY m_key = nullptr;
};

enum class TlKeyAccess {
    Read,         // open for reading
    ReadWrite,    // open for reading, creating sub-keys and setting values
    CreateWrite,  // the same, creating the key when it is missing
};

// Opens (or creates) root\path. On failure `key` stays null.
bool TlOpenRegistryKey(HKEY root, const char* path, TlKeyAccess access, HKEY* key);

// A value as read: its type and its bytes exactly as stored.
struct TlRegistryValue {
    DWORD type = REG_NONE;
    std::vector<unsigned char> data;
};

const DWORD kTlAnyValueSize = MAXDWORD;

// Reads a value whole. False when it is missing, unreadable or larger than
// `maxSize`. The size is asked first; a value that grows between the
// question and the read is asked for again.
bool TlReadRegistryValue(HKEY key, const char* name, TlRegistryValue& value, DWORD maxSize = kTlAnyValueSize);

// Stores `size` bytes as a value of `type`; false for sizes the registry cannot take.
bool TlWriteRegistryValue(HKEY key, const char* name, DWORD type, const void* data, std::size_t size);

// REG_SZ and REG_EXPAND_SZ (the latter is not expanded).
bool TlIsTextValue(const TlRegistryValue& value);

// The text of a value: its bytes up to the first NUL, or all of them when
// the stored text lacks its terminator.
std::string TlTextOf(const TlRegistryValue& value);
