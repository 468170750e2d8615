// One TIFF directory being written: fields by tag, laid out little-endian
// with their out-of-line values right after the entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class CTiffIfdBuilder {
public:
    // `bytes` are the values, little-endian, `count` values of `type`.
    void Add(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::vector<std::uint8_t> bytes);
    void AddShorts(std::uint16_t tag, const std::vector<std::uint16_t>& values);
    void AddLongs(std::uint16_t tag, const std::vector<std::uint32_t>& values);
    void AddLong(std::uint16_t tag, std::uint32_t value) { AddLongs(tag, {value}); }
    void AddRational(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator);
    void AddBytes(std::uint16_t tag, const std::vector<std::uint8_t>& bytes);
    bool Has(std::uint16_t tag) const { return m_fields.count(tag) != 0; }
    bool Empty() const { return m_fields.empty(); }

    // Bytes Serialise gives.
    std::size_t Size() const;
    // The directory placed at file offset `offset` (even), pointing to the
    // next directory at `next` (0 for none).
    std::vector<std::uint8_t> Serialise(std::uint32_t offset, std::uint32_t next) const;

private:
    struct Field {
        std::uint16_t type;
        std::uint32_t count;
        std::vector<std::uint8_t> bytes;
    };
    std::map<std::uint16_t, Field> m_fields;
};
