#include "serialize/TlWinReader.h"

bool CTlWinReader::ReadULong(const std::string& key, unsigned long* value, unsigned long def)
{
    if (!value)
        return false;
    *value = m_settings.ReadDword(key, def);
    return true;
}

bool CTlWinReader::ReadInt(const std::string& key, int* value, int def)
{
    if (!value)
        return false;
    *value = static_cast<int>(m_settings.ReadDword(key, static_cast<DWORD>(def)));
    return true;
}

bool CTlWinReader::ReadString(const std::string& key, std::string* value)
{
    if (!value)
        return false;
    *value = m_settings.ReadString(key); // moved in: cannot throw
    return true;
}

bool CTlWinReader::ReadDouble(const std::string&, double* value, double def)
{
    if (value)
        *value = def;
    return false;
}

bool CTlWinReader::ReadBool(const std::string& key, bool* value, bool def)
{
    if (!value)
        return false;
    *value = m_settings.ReadDword(key, def ? 1 : 0) != 0;
    return true;
}

bool CTlWinReader::ReadByteVector(const std::string& key, std::vector<unsigned char>* value)
{
    if (!value)
        return false;
    TlRegistryValue stored;
    if (!m_settings.ReadValue(key, stored))
        return false;
    if (stored.type == REG_BINARY)
        value->swap(stored.data);
    return stored.type == REG_BINARY || TlIsTextValue(stored);
}

bool CTlWinReader::ReadCharBuffer(const std::string&, char*, std::size_t)
{
    return false;
}
