#include "serialize/TlWinWriter.h"

bool CTlWinWriter::WriteULong(const std::string& key, unsigned long value)
{
    return m_settings.WriteDword(key, value);
}

bool CTlWinWriter::WriteInt(const std::string& key, int value)
{
    return m_settings.WriteDword(key, static_cast<DWORD>(value));
}

bool CTlWinWriter::WriteString(const std::string& key, const std::string& value)
{
    return m_settings.WriteString(key, value);
}

bool CTlWinWriter::WriteDouble(const std::string&, double)
{
    return false;
}

bool CTlWinWriter::WriteBool(const std::string& key, bool value)
{
    return m_settings.WriteDword(key, value ? 1 : 0);
}

bool CTlWinWriter::WriteBytes(const std::string& key, const void* data, std::size_t length)
{
    return m_settings.WriteBinary(key, data, length);
}

bool CTlWinWriter::WriteByteVector(const std::string& key, const std::vector<unsigned char>& value)
{
    return m_settings.WriteBinary(key, value.data(), value.size());
}

bool CTlWinWriter::WriteCString(const std::string&, const char*)
{
    return false;
}
