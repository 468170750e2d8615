// Text back end of ITlWriter: one "key=value" line per value on a standard
// output stream, in the stream's own formatting (the task file format).
#pragma once

#include "serialize/TlSerialize.h"

#include <ostream>

class CTlAsciiWriter : public ITlWriter {
public:
    // The stream must outlive the writer.
    explicit CTlAsciiWriter(std::ostream& out);

    // Numbers, text and bool answer true; raw bytes and byte vectors answer
    // whether the stream is still good. A null C string writes an empty value.
    bool WriteULong(const std::string& key, unsigned long value) override;
    bool WriteInt(const std::string& key, int value) override;
    bool WriteString(const std::string& key, const std::string& value) override;
    bool WriteDouble(const std::string& key, double value) override;
    bool WriteBool(const std::string& key, bool value) override;
    bool WriteBytes(const std::string& key, const void* data, std::size_t length) override;
    bool WriteByteVector(const std::string& key, const std::vector<unsigned char>& value) override;
    bool WriteCString(const std::string& key, const char* value) override;

private:
    template <class Value>
    bool WriteLine(const std::string& key, const Value& value);

    std::ostream& m_out;
};
