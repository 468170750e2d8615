// Registry back end of ITlWriter: each key becomes a value under the
// module's last-used-settings key (see CTlLastSettingsKey). Numbers and
// bool are stored as REG_DWORD, text as REG_SZ, bytes as REG_BINARY;
// double and C strings are not supported and answer false.
#pragma once

#include "serialize/TlLastSettingsKey.h"
#include "serialize/TlSerialize.h"

class CTlWinWriter : public ITlWriter {
public:
    bool WriteULong(const std::string& key, unsigned long value) override;
    bool WriteInt(const std::string& key, int value) override;
    bool WriteString(const std::string& key, const std::string& value) override;
    bool WriteDouble(const std::string& key, double value) override;
    bool WriteBool(const std::string& key, bool value) override;
    bool WriteBytes(const std::string& key, const void* data, std::size_t length) override;
    bool WriteByteVector(const std::string& key, const std::vector<unsigned char>& value) override;
    bool WriteCString(const std::string& key, const char* value) override;

private:
    CTlLastSettingsKey m_settings;
};
