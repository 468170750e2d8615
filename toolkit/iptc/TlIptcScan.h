// The IPTC dataset scan over a block given as pointer and length. Blocks come
// from users' pictures and may be truncated or hostile, so every byte read is
// bounded by the block's length: a dataset header or data that runs past the
// end, or an extended length of no bytes or of more than four, ends the scan.
#pragma once

#include <cstddef>

// Where one dataset's data lies inside its block.
struct TlIptcDataset {
    std::size_t dataOffset = 0;
    std::size_t length = 0;
    std::size_t next = 0; // the offset after the data, where a further search starts
};

// Finds the first dataset with `tag` (record in the high byte, dataset number in
// the low byte) from offset `from` on. Answers false when there is none before
// the end of the block or before a malformed dataset.
bool TlFindIptcDataset(const unsigned char* block, std::size_t blockLength, std::size_t from,
                       unsigned short tag, TlIptcDataset& found) noexcept;
