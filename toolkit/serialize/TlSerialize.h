// The serialisation interfaces: settings records and items write themselves
// through an ITlWriter and read themselves back through an ITlReader, each
// value under a key. The back ends are key=value text on a standard stream
// and the registry under the module's last-used-settings key.
//
// The order of the virtual operations is fixed (other modules call through
// these tables): keep it when adding anything, and add only at the end.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Every operation answers whether the value was written.
class ITlWriter {
public:
    virtual bool WriteULong(const std::string& key, unsigned long value) = 0;
    virtual bool WriteInt(const std::string& key, int value) = 0;
    virtual bool WriteString(const std::string& key, const std::string& value) = 0;
    virtual bool WriteDouble(const std::string& key, double value) = 0;
    virtual bool WriteBool(const std::string& key, bool value) = 0;
    virtual bool WriteBytes(const std::string& key, const void* data, std::size_t length) = 0;
    virtual bool WriteByteVector(const std::string& key, const std::vector<unsigned char>& value) = 0;
    virtual bool WriteCString(const std::string& key, const char* value) = 0;
    virtual ~ITlWriter() = default;
};

// Every operation answers whether the key was found; numbers and bool store
// `def` when it was not. A null out pointer answers false.
class ITlReader {
public:
    virtual bool ReadULong(const std::string& key, unsigned long* value, unsigned long def) = 0;
    virtual bool ReadInt(const std::string& key, int* value, int def) = 0;
    virtual bool ReadString(const std::string& key, std::string* value) = 0;
    virtual bool ReadDouble(const std::string& key, double* value, double def) = 0;
    virtual bool ReadBool(const std::string& key, bool* value, bool def) = 0;
    virtual bool ReadByteVector(const std::string& key, std::vector<unsigned char>* value) = 0;
    // Copies the text with its terminator into `buffer`, cut to fit `bufferSize`.
    virtual bool ReadCharBuffer(const std::string& key, char* buffer, std::size_t bufferSize) = 0;
    virtual ~ITlReader() = default;
};

// A record that saves and loads itself; each answers 0 or 0x1008.
class ITlSerialize {
public:
    virtual unsigned long Load(ITlReader& reader) = 0;
    virtual unsigned long Save(ITlWriter& writer) = 0;
    virtual ~ITlSerialize() = default;
};
