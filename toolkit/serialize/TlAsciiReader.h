// Text back end of ITlReader over a standard input stream of "key=value"
// lines. Strictly sequential: every read consumes the next line's key, so
// keys must be read in the order they were written; a key out of place
// answers false and the reader stays after that key and its "=".
#pragma once

#include "serialize/TlSerialize.h"

#include <istream>

class CTlAsciiReader : public ITlReader {
public:
    // The stream must outlive the reader.
    explicit CTlAsciiReader(std::istream& in);

    bool ReadULong(const std::string& key, unsigned long* value, unsigned long def) override;
    bool ReadInt(const std::string& key, int* value, int def) override;
    // Values of any length; an empty value is accepted.
    bool ReadString(const std::string& key, std::string* value) override;
    bool ReadDouble(const std::string& key, double* value, double def) override;
    bool ReadBool(const std::string& key, bool* value, bool def) override;
    // At most 255 bytes; a longer value answers false.
    bool ReadByteVector(const std::string& key, std::vector<unsigned char>* value) override;
    // A value longer than the buffer is cut to fit, always terminated.
    bool ReadCharBuffer(const std::string& key, char* buffer, std::size_t bufferSize) override;

private:
    enum class PieceEnd { Delimiter, StreamEnd, Full, Failed };
    enum class ValueLength { Short, Any };

    PieceEnd ReadPiece(char delimiter, std::size_t maxChars, std::string& text);
    bool ReadKey(const std::string& expected);
    bool ReadShortLine(std::string& text);
    bool ReadWholeLine(std::string& text);
    template <class Use>
    bool ReadValue(const std::string& key, ValueLength length, Use use);
    template <class Number, class Convert>
    bool ReadNumber(const std::string& key, Number* value, Number def, Convert convert);

    std::istream& m_in;
};
