// Registry back end of ITlReader, over the key CTlWinWriter writes.
// Numbers, bool and text always answer true: a missing value gives the
// default (empty text). A byte vector takes a REG_BINARY value; a text
// value is accepted without filling it; anything else answers false.
// double and character buffers are not supported and answer false.
#pragma once

#include "serialize/TlLastSettingsKey.h"
#include "serialize/TlSerialize.h"

class CTlWinReader : public ITlReader {
public:
    bool ReadULong(const std::string& key, unsigned long* value, unsigned long def) override;
    bool ReadInt(const std::string& key, int* value, int def) override;
    bool ReadString(const std::string& key, std::string* value) override;
    bool ReadDouble(const std::string& key, double* value, double def) override;
    bool ReadBool(const std::string& key, bool* value, bool def) override;
    bool ReadByteVector(const std::string& key, std::vector<unsigned char>* value) override;
    bool ReadCharBuffer(const std::string& key, char* buffer, std::size_t bufferSize) override;

private:
    CTlLastSettingsKey m_settings;
};
