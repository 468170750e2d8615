// The three texts an upload item takes from its picture's IPTC block.
#pragma once

#include <cstddef>
#include <string>

struct TlIptcUploadTexts {
    std::string keywords;    // every keyword (2:25), joined by single blanks
    std::string caption;     // the object name (2:05)
    std::string description; // the caption/abstract (2:120), line breaks kept
};

// Fills `texts` from the block; a text not found stays empty. Answers false
// only when memory runs out.
bool TlReadIptcUploadTexts(const void* block, std::size_t length, TlIptcUploadTexts& texts) noexcept;
