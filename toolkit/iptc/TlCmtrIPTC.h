// An owned copy of a picture's IPTC block and the search for its datasets.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class CCmtrIPTC {
public:
    CCmtrIPTC() noexcept = default;
    // Copies the block; when the copy cannot be made the object has no block.
    CCmtrIPTC(const void* block, std::size_t length) noexcept;
    virtual ~CCmtrIPTC() = default;

    bool HasBlock() const { return !m_block.empty(); }

    // From the start of the block, finds the first dataset with `tag` and copies
    // its data into `out` of `outSize` bytes; answers the data's length. Not
    // found, no block, or data larger than `out`: -1. A null `out` copies
    // nothing and answers the length.
    int FindDataset(unsigned short tag, void* out, std::size_t outSize);
    // The same from the position after the dataset found last.
    int FindNextDataset(unsigned short tag, void* out, std::size_t outSize);

protected:
    enum class Search { FromStart, FromLast };
    enum class TextFound { Yes, No, NoMemory };

    // The data of the next dataset with `tag` as text.
    TextFound FindText(unsigned short tag, Search search, std::string& text);

private:
    // Finds the dataset and moves the read position after it; answers its data.
    const unsigned char* Find(unsigned short tag, Search search, std::size_t& length);

    std::vector<unsigned char> m_block;
    std::size_t m_position = 0;
};
