// Compressed dust data (the analysed reference, the map's masks) held in
// pages of 16 KB, so that a stream of unknown length never needs one large
// block, and the zlib streams that fill and read them.
#pragma once

#include "filters/dust/TlDustCodes.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

constexpr std::size_t kDustPageSize = 16384;

class CDustPages {
public:
    // Bytes held (the stream's total output).
    std::size_t Size() const { return m_size; }
    std::size_t PageCount() const { return m_pages.size(); }
    bool IsEmpty() const { return m_size == 0; }
    void Clear();

    // Replaces the contents by a copy of `bytes`; false (and empty) when a
    // page cannot be had.
    bool Assign(const unsigned char* bytes, std::size_t count);
    // Writes the Size() bytes out, page after page.
    void CopyTo(unsigned char* out) const;

    // For a writer: a fresh page at the end (false when it cannot be had),
    // the pages themselves, and the byte count it wrote.
    bool AppendPage();
    unsigned char* Page(std::size_t index) const { return m_pages[index].get(); }
    void SetSize(std::size_t size) { m_size = size; }

    void Swap(CDustPages& other);

private:
    std::vector<std::unique_ptr<unsigned char[]>> m_pages;
    std::size_t m_size = 0;
};

// One deflate stream written strip by strip into pages: every strip but the
// last without flushing, the last one finishing the stream.
class CDustDeflater {
public:
    CDustDeflater();
    ~CDustDeflater();
    CDustDeflater(const CDustDeflater&) = delete;
    CDustDeflater& operator=(const CDustDeflater&) = delete;

    // Starts a stream into `pages` (emptied first), which must outlive it.
    IKelvraError* Start(CDustPages* pages);
    IKelvraError* Write(const unsigned char* bytes, std::size_t count, bool last);
    // Ends the stream (also an unfinished one); safe to call when none runs.
    void End();
    bool IsOpen() const { return m_pages != nullptr; }

private:
    struct Stream;
    std::unique_ptr<Stream> m_stream;
    CDustPages* m_pages = nullptr;
};

// What an image made from dust data looks like: 8-bit grey, resolution
// 300, with the given orientation.
struct TlDustImageShape {
    long width = 0;
    long height = 0;
    bool flip = false;
    double angle = 0.0;
};

// A new 8-bit grey image of `shape`; its strip height in *stripRows.
IKelvraError* CreateDustImage(IKelvraManager* manager, const TlDustImageShape& shape, IKelvraImage** image,
                              long* stripRows);

// Decodes one zlib stream (`pages`, which the caller keeps) into a new image
// of `shape`, rows top to bottom; the stream must hold exactly its rows.
IKelvraError* DecodeDustImage(IKelvraManager* manager, const CDustPages& pages, const TlDustImageShape& shape,
                              IKelvraImage** image);

// Compresses every row of an 8-bit grey image into `pages` in one go.
IKelvraError* EncodeDustImage(IKelvraDataSource* image, CDustPages* pages);

// Little-endian 32-bit words of stored dust records; a word that the record
// does not reach reads as 0.
std::uint32_t DustWord(const unsigned char* bytes, std::size_t size, std::size_t offset);
void PutDustWord(unsigned char* at, std::uint32_t value);

// Error helpers: a dust error with a code, a zlib result, a wrapped chain.
IKelvraError* DustError(long line, long code);
IKelvraError* DustZlibError(long line, int result);
IKelvraError* DustWrap(long line, IKelvraError* inner);
