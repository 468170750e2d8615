#include "serialize/TlAsciiWriter.h"

#include "common/TlNoThrow.h"

#include <limits>

CTlAsciiWriter::CTlAsciiWriter(std::ostream& out) : m_out(out) {}

// Formatted values answer true whatever the stream's state; only the byte
// writes report it.
template <class Value>
bool CTlAsciiWriter::WriteLine(const std::string& key, const Value& value)
{
    TlAnswerNoThrow([&] {
        m_out << key << '=' << value << '\n';
        return true;
    });
    return true;
}

bool CTlAsciiWriter::WriteULong(const std::string& key, unsigned long value)
{
    return WriteLine(key, value);
}

bool CTlAsciiWriter::WriteInt(const std::string& key, int value)
{
    return WriteLine(key, value);
}

bool CTlAsciiWriter::WriteString(const std::string& key, const std::string& value)
{
    return WriteLine(key, value);
}

bool CTlAsciiWriter::WriteDouble(const std::string& key, double value)
{
    return WriteLine(key, value);
}

bool CTlAsciiWriter::WriteBool(const std::string& key, bool value)
{
    // As a number whatever the stream's boolalpha flag: the reader expects one.
    return WriteLine(key, value ? 1 : 0);
}

bool CTlAsciiWriter::WriteBytes(const std::string& key, const void* data, std::size_t length)
{
    if (length && !data)
        return false;
    if (length > static_cast<std::size_t>(std::numeric_limits<std::streamsize>::max()))
        return false;
    return TlAnswerNoThrow([&] {
        m_out << key << '=';
        m_out.write(static_cast<const char*>(data), static_cast<std::streamsize>(length));
        m_out << '\n';
        return m_out.good();
    });
}

bool CTlAsciiWriter::WriteByteVector(const std::string& key, const std::vector<unsigned char>& value)
{
    return WriteBytes(key, value.data(), value.size());
}

bool CTlAsciiWriter::WriteCString(const std::string& key, const char* value)
{
    return WriteLine(key, value ? value : "");
}
