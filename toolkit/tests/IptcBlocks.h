// Builds IPTC blocks for the tests, dataset by dataset.
#pragma once

#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// A dataset with the standard two-byte length.
inline Bytes Dataset(unsigned short tag, const std::string& data)
{
    Bytes bytes = {0x1C, static_cast<unsigned char>(tag >> 8), static_cast<unsigned char>(tag & 0xFF),
                   static_cast<unsigned char>(data.size() >> 8), static_cast<unsigned char>(data.size() & 0xFF)};
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

// A dataset whose length is given in `lengthBytes` extra bytes.
inline Bytes ExtendedDataset(unsigned short tag, const std::string& data, unsigned lengthBytes)
{
    Bytes bytes = {0x1C, static_cast<unsigned char>(tag >> 8), static_cast<unsigned char>(tag & 0xFF), 0x80,
                   static_cast<unsigned char>(lengthBytes)};
    for (unsigned i = lengthBytes; i-- > 0;)
        bytes.push_back(static_cast<unsigned char>(i < sizeof(std::size_t) ? data.size() >> (8 * i) : 0));
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

inline Bytes operator+(Bytes left, const Bytes& right)
{
    left.insert(left.end(), right.begin(), right.end());
    return left;
}
