#include "filters/dust/TlDustPages.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

void CDustPages::Clear()
{
    m_pages.clear();
    m_size = 0;
}

bool CDustPages::AppendPage()
{
    std::unique_ptr<unsigned char[]> page(new (std::nothrow) unsigned char[kDustPageSize]);
    if (!page)
        return false;
    try {
        m_pages.push_back(std::move(page));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool CDustPages::Assign(const unsigned char* bytes, std::size_t count)
{
    Clear();
    for (std::size_t at = 0; at < count; at += kDustPageSize) {
        if (!AppendPage()) {
            Clear();
            return false;
        }
        std::memcpy(m_pages.back().get(), bytes + at, std::min(kDustPageSize, count - at));
    }
    m_size = count;
    return true;
}

void CDustPages::CopyTo(unsigned char* out) const
{
    std::size_t left = m_size;
    for (std::size_t i = 0; left > 0; ++i) {
        const std::size_t n = std::min(kDustPageSize, left);
        std::memcpy(out, m_pages[i].get(), n);
        out += n;
        left -= n;
    }
}

void CDustPages::Swap(CDustPages& other)
{
    m_pages.swap(other.m_pages);
    std::swap(m_size, other.m_size);
}

struct CDustDeflater::Stream {
    z_stream z{};
};

CDustDeflater::CDustDeflater() = default;

CDustDeflater::~CDustDeflater()
{
    End();
}

IKelvraError* CDustDeflater::Start(CDustPages* pages)
{
    End();
    pages->Clear();
    m_stream.reset(new (std::nothrow) Stream);
    if (!m_stream || !pages->AppendPage()) {
        m_stream.reset();
        return DustError(__LINE__, kKelvraOutOfMemory);
    }
    const int result = deflateInit(&m_stream->z, Z_DEFAULT_COMPRESSION);
    if (result != Z_OK) {
        m_stream.reset();
        pages->Clear();
        return DustZlibError(__LINE__, result);
    }
    m_stream->z.next_out = pages->Page(0);
    m_stream->z.avail_out = kDustPageSize;
    m_pages = pages;
    return nullptr;
}

// Each call that fills the page up is repeated with the same flush into a
// new page, so a stream that ends exactly on a page boundary leaves an
// empty page behind.
IKelvraError* CDustDeflater::Write(const unsigned char* bytes, std::size_t count, bool last)
{
    if (!IsOpen())
        return DustError(__LINE__, kKelvraOperationFailed);
    z_stream& z = m_stream->z;
    z.next_in = const_cast<unsigned char*>(bytes);
    z.avail_in = static_cast<uInt>(count);
    const int flush = last ? Z_FINISH : Z_NO_FLUSH;
    for (;;) {
        const int result = deflate(&z, flush);
        if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR)
            return DustZlibError(__LINE__, result);
        if (z.avail_out != 0) {
            m_pages->SetSize(z.total_out);
            return nullptr;
        }
        if (!m_pages->AppendPage())
            return DustError(__LINE__, kKelvraOutOfMemory);
        z.next_out = m_pages->Page(m_pages->PageCount() - 1);
        z.avail_out = kDustPageSize;
    }
}

void CDustDeflater::End()
{
    if (m_stream)
        deflateEnd(&m_stream->z);
    m_stream.reset();
    m_pages = nullptr;
}

IKelvraError* CreateDustImage(IKelvraManager* manager, const TlDustImageShape& shape, IKelvraImage** image,
                              long* stripRows)
{
    *image = nullptr;
    IKelvraImage* made = nullptr;
    if (IKelvraError* error = manager->CreateImage(&made))
        return DustWrap(__LINE__, error);
    IKelvraError* error = made->SetSize(shape.width, shape.height);
    if (!error)
        error = made->SetColorSpace(kKelvraGrey8);
    if (!error)
        error = made->SetResolution(300.0);
    if (!error)
        error = made->SetTransform(shape.flip, shape.angle, 0);
    if (!error)
        error = made->GetStripHeight(stripRows);
    if (error) {
        made->Release();
        return DustWrap(__LINE__, error);
    }
    *image = made;
    return nullptr;
}

namespace {

// Reads a paged stream back strip by strip.
class CDustInflater {
public:
    explicit CDustInflater(const CDustPages& pages) : m_pages(pages) {}
    ~CDustInflater()
    {
        if (m_open)
            inflateEnd(&m_z);
    }
    CDustInflater(const CDustInflater&) = delete;
    CDustInflater& operator=(const CDustInflater&) = delete;

    IKelvraError* Start()
    {
        const int result = inflateInit(&m_z);
        if (result != Z_OK)
            return DustZlibError(__LINE__, result);
        m_open = true;
        return nullptr;
    }

    // Fills `out` as far as the stream goes; *written is what it wrote and
    // *ended whether the stream ended.
    IKelvraError* Read(unsigned char* out, std::size_t count, std::size_t* written, bool* ended)
    {
        m_z.next_out = out;
        m_z.avail_out = static_cast<uInt>(count);
        *ended = false;
        while (m_z.avail_out != 0) {
            if (m_z.avail_in == 0 && !FeedPage())
                break;
            const int result = inflate(&m_z, Z_SYNC_FLUSH);
            if (result == Z_STREAM_END) {
                *ended = true;
                break;
            }
            if (result != Z_OK)
                return DustZlibError(__LINE__, result);
        }
        *written = count - m_z.avail_out;
        return nullptr;
    }

private:
    bool FeedPage()
    {
        if (m_fed >= m_pages.Size())
            return false;
        const std::size_t n = std::min(kDustPageSize, m_pages.Size() - m_fed);
        m_z.next_in = m_pages.Page(m_fed / kDustPageSize);
        m_z.avail_in = static_cast<uInt>(n);
        m_fed += n;
        return true;
    }

    const CDustPages& m_pages;
    z_stream m_z{};
    bool m_open = false;
    std::size_t m_fed = 0;
};

} // namespace

IKelvraError* DecodeDustImage(IKelvraManager* manager, const CDustPages& pages, const TlDustImageShape& shape,
                              IKelvraImage** image)
{
    *image = nullptr;
    IKelvraImage* made = nullptr;
    long strip = 0;
    if (IKelvraError* error = CreateDustImage(manager, shape, &made, &strip))
        return DustWrap(__LINE__, error);
    struct Releaser {
        IKelvraImage*& image;
        ~Releaser()
        {
            if (image)
                image->Release();
        }
    } releaser{made};

    const std::size_t width = static_cast<std::size_t>(shape.width);
    // Sides come from stored records: a strip that does not fit the address
    // space is out of memory, not a product that wraps.
    if (strip <= 0 || std::uint64_t(strip) * width > std::uint64_t(PTRDIFF_MAX))
        return DustError(__LINE__, kKelvraOutOfMemory);
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[std::size_t(strip) * width]);
    if (!buffer)
        return DustError(__LINE__, kKelvraOutOfMemory);
    CDustInflater inflater(pages);
    if (IKelvraError* error = inflater.Start())
        return DustWrap(__LINE__, error);
    for (long row = 0; row < shape.height;) {
        const long rows = std::min(strip, shape.height - row);
        std::size_t written = 0;
        bool ended = false;
        if (IKelvraError* error = inflater.Read(buffer.get(), std::size_t(rows) * width, &written, &ended))
            return DustWrap(__LINE__, error);
        // A stream that stops early, or ends short of the image, is a bad record.
        if (written != std::size_t(rows) * width || (ended && row + rows != shape.height))
            return DustError(__LINE__, kDustBadRecord);
        if (IKelvraError* error = made->AppendRows(buffer.get(), rows, shape.width))
            return DustWrap(__LINE__, error);
        row += rows;
    }
    *image = made;
    made = nullptr;
    return nullptr;
}

IKelvraError* EncodeDustImage(IKelvraDataSource* image, CDustPages* pages)
{
    long width = 0;
    long height = 0;
    long strip = 0;
    if (IKelvraError* error = image->GetSize(&width, &height))
        return DustWrap(__LINE__, error);
    if (IKelvraError* error = image->GetTileSize(&strip))
        return DustWrap(__LINE__, error);
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[std::size_t(strip) * std::size_t(width)]);
    if (!buffer)
        return DustError(__LINE__, kKelvraOutOfMemory);
    CDustDeflater deflater;
    if (IKelvraError* error = deflater.Start(pages))
        return DustWrap(__LINE__, error);
    for (long row = 0; row < height; row += strip) {
        const long rows = std::min(strip, height - row);
        if (IKelvraError* error = KelvraReadRect(image, KelvraRect(0, row, width, row + rows), buffer.get(), width))
            return DustWrap(__LINE__, error);
        if (IKelvraError* error =
                deflater.Write(buffer.get(), std::size_t(rows) * std::size_t(width), row + rows >= height))
            return DustWrap(__LINE__, error);
    }
    deflater.End();
    return nullptr;
}

std::uint32_t DustWord(const unsigned char* bytes, std::size_t size, std::size_t offset)
{
    if (size < 4 || offset > size - 4)
        return 0;
    const unsigned char* at = bytes + offset;
    return std::uint32_t(at[0]) | (std::uint32_t(at[1]) << 8) | (std::uint32_t(at[2]) << 16) |
           (std::uint32_t(at[3]) << 24);
}

void PutDustWord(unsigned char* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

IKelvraError* DustError(long line, long code)
{
    return IKelvraError::Add(nullptr, kDustTag, line, kKelvraCategoryKelvra, code);
}

IKelvraError* DustZlibError(long line, int result)
{
    return IKelvraError::Add(nullptr, kDustTag, line, kDustZlibCategory, result);
}

IKelvraError* DustWrap(long line, IKelvraError* inner)
{
    return IKelvraError::AddWorker(nullptr, kDustTag, line, inner);
}
