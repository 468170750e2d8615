#include "serialize/TlAsciiReader.h"

#include "common/TlNoThrow.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Keys, numbers and byte vectors are bounded; text values are read in
// pieces so that they may be of any length.
const std::size_t kMaxShortField = 255;
const std::size_t kTextPiece = 127;

unsigned long ToULong(const char* text)
{
    return std::strtoul(text, nullptr, 10);
}

int ToInt(const char* text)
{
    return static_cast<int>(std::strtol(text, nullptr, 10));
}

double ToDouble(const char* text)
{
    return std::strtod(text, nullptr);
}

bool ToBool(const char* text)
{
    return ToInt(text) != 0;
}

} // namespace

CTlAsciiReader::CTlAsciiReader(std::istream& in) : m_in(in) {}

// Appends up to `maxChars` characters before `delimiter`; the delimiter is consumed.
CTlAsciiReader::PieceEnd CTlAsciiReader::ReadPiece(char delimiter, std::size_t maxChars, std::string& text)
{
    char buffer[kMaxShortField + 1];
    const std::size_t limit = std::min(maxChars, kMaxShortField);
    m_in.getline(buffer, static_cast<std::streamsize>(limit + 1), delimiter);
    const std::size_t count = static_cast<std::size_t>(m_in.gcount());
    if (!m_in.fail() && !m_in.eof()) {
        text.append(buffer, count - 1); // gcount counts the delimiter
        return PieceEnd::Delimiter;
    }
    text.append(buffer, count);
    if (m_in.eof())
        return PieceEnd::StreamEnd;
    return count == limit && !m_in.bad() ? PieceEnd::Full : PieceEnd::Failed;
}

bool CTlAsciiReader::ReadKey(const std::string& expected)
{
    if (m_in.fail())
        return false;
    std::string key;
    return ReadPiece('=', kMaxShortField, key) == PieceEnd::Delimiter && key == expected;
}

// The rest of the line, at most 255 characters.
bool CTlAsciiReader::ReadShortLine(std::string& text)
{
    const PieceEnd end = ReadPiece('\n', kMaxShortField, text);
    return end == PieceEnd::Delimiter || end == PieceEnd::StreamEnd;
}

// The rest of the line, whatever its length.
bool CTlAsciiReader::ReadWholeLine(std::string& text)
{
    for (;;) {
        switch (ReadPiece('\n', kTextPiece, text)) {
        case PieceEnd::Delimiter:
        case PieceEnd::StreamEnd:
            return true;
        case PieceEnd::Full:
            m_in.clear(); // a full piece is not an error: the line goes on
            break;
        case PieceEnd::Failed:
            return false;
        }
    }
}

// Reads the key and its value, then hands the value's text to `use`.
template <class Use>
bool CTlAsciiReader::ReadValue(const std::string& key, ValueLength length, Use use)
{
    return TlAnswerNoThrow([&] {
        if (!ReadKey(key))
            return false;
        std::string text;
        const bool read = length == ValueLength::Short ? ReadShortLine(text) : ReadWholeLine(text);
        if (read)
            use(text);
        return read;
    });
}

template <class Number, class Convert>
bool CTlAsciiReader::ReadNumber(const std::string& key, Number* value, Number def, Convert convert)
{
    if (!value)
        return false;
    *value = def;
    return ReadValue(key, ValueLength::Short, [&](std::string& text) { *value = convert(text.c_str()); });
}

bool CTlAsciiReader::ReadULong(const std::string& key, unsigned long* value, unsigned long def)
{
    return ReadNumber(key, value, def, ToULong);
}

bool CTlAsciiReader::ReadInt(const std::string& key, int* value, int def)
{
    return ReadNumber(key, value, def, ToInt);
}

bool CTlAsciiReader::ReadDouble(const std::string& key, double* value, double def)
{
    return ReadNumber(key, value, def, ToDouble);
}

bool CTlAsciiReader::ReadBool(const std::string& key, bool* value, bool def)
{
    return ReadNumber(key, value, def, ToBool);
}

bool CTlAsciiReader::ReadString(const std::string& key, std::string* value)
{
    return value && ReadValue(key, ValueLength::Any, [&](std::string& text) { value->swap(text); });
}

bool CTlAsciiReader::ReadByteVector(const std::string& key, std::vector<unsigned char>* value)
{
    return value &&
           ReadValue(key, ValueLength::Short, [&](std::string& text) { value->assign(text.begin(), text.end()); });
}

bool CTlAsciiReader::ReadCharBuffer(const std::string& key, char* buffer, std::size_t bufferSize)
{
    if (!buffer || bufferSize == 0)
        return false;
    return ReadValue(key, ValueLength::Any, [&](std::string& text) {
        const std::size_t length = std::min(text.size(), bufferSize - 1);
        std::memcpy(buffer, text.data(), length);
        buffer[length] = '\0';
    });
}
