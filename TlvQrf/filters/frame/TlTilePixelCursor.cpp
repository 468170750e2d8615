#include "filters/frame/TlTilePixelCursor.h"

#include "filters/frame/TlEdgeMapping.h"

#include <new>

namespace {

// The cursor serves many filters, so its errors name none of them.
const KelvraTag kCursorTag = 0;

} // namespace

CTilePixelCursor::CTilePixelCursor(int index, IKelvraDataSource* source, int capacity)
    : m_index(index), m_source(source), m_capacity(capacity > 0 ? capacity : 1)
{
}

CTilePixelCursor::~CTilePixelCursor()
{
    Release();
}

void CTilePixelCursor::SetEdgeModes(int horizontal, int vertical)
{
    m_horizontalMode = horizontal;
    m_verticalMode = vertical;
}

IKelvraError* CTilePixelCursor::Seek(long x, long y)
{
    if (IKelvraError* error = Prepare())
        return error;
    bool outsideX = false, outsideY = false;
    const long mappedX = TlMapEdge(x, m_width, m_horizontalMode, &outsideX);
    const long mappedY = TlMapEdge(y, m_height, m_verticalMode, &outsideY);
    m_outsideX = outsideX;
    m_outsideY = outsideY;
    m_toLeft = m_above = m_toRight = m_below = 0;

    const int at = Find(mappedX, mappedY);
    if (at >= 0) {
        BringToFront(at);
    } else if (IKelvraError* error = LoadFront(mappedX, mappedY)) {
        m_positioned = false;
        m_sample = nullptr;
        return error;
    }
    PositionOnFront(x, y, mappedX, mappedY);
    return nullptr;
}

IKelvraError* CTilePixelCursor::MoveTo(long x, long y)
{
    if (m_positioned && m_count > 0 && !m_outsideX && !m_outsideY) {
        const Entry& front = m_cache[0];
        if (front.hasTile && front.rect.Contains(x, y)) {
            m_sample += (x - m_x) * m_pixelStep + (y - m_y) * m_rowStep;
            m_x = x;
            m_y = y;
            SetDistances(front.rect);
            return nullptr;
        }
    }
    return Seek(x, y);
}

void CTilePixelCursor::Release()
{
    for (int i = m_count - 1; i >= 0; --i) {
        if (m_cache[i].hasTile) // nothing can be done about a refused unlock here
            IKelvraError::Release(m_source->UnlockTile(m_cache[i].column, m_cache[i].row));
    }
    m_cache.reset();
    m_count = 0;
    m_positioned = false;
    m_sample = nullptr;
    m_x = m_y = -1;
    m_toLeft = m_above = m_toRight = m_below = 0;
}

// On first use: the cache and what the source says about its pixels.
IKelvraError* CTilePixelCursor::Prepare()
{
    if (m_cache)
        return nullptr;
    if (!m_source)
        return KELVRA_ERROR(nullptr, kCursorTag, kKelvraMissingObject);
    m_cache.reset(new (std::nothrow) Entry[std::size_t(m_capacity)]);
    if (!m_cache)
        return KELVRA_ERROR(nullptr, kCursorTag, kKelvraOutOfMemory);
    if (IKelvraError* error = ReadSource()) {
        m_cache.reset(); // the next Seek asks again
        return error;
    }
    return nullptr;
}

IKelvraError* CTilePixelCursor::ReadSource()
{
    IKelvraError* error = m_source->GetColorSpace(&m_format);
    if (!error)
        error = m_source->GetTileSize(&m_tileSize);
    if (!error)
        error = m_source->GetSize(&m_width, &m_height);
    if (error)
        return KELVRA_WRAP(nullptr, kCursorTag, error);
    const unsigned bits = KelvraBitsPerPixel(m_format);
    if (bits == 0 || bits % 8 != 0) // a pointer cannot address part of a byte
        return KELVRA_ERROR(nullptr, kCursorTag, kKelvraUnsupportedFormat);
    if (m_tileSize <= 0)
        return KELVRA_ERROR(nullptr, kCursorTag, kKelvraNotReady);
    m_pixelStep = long(bits / 8);
    m_rowStep = KelvraRowBytes(m_format, m_tileSize);
    return nullptr;
}

// The entry whose tile holds (x, y); tiles do not overlap, so at most one
// does. Entries without a tile hold nothing.
int CTilePixelCursor::Find(long x, long y) const
{
    for (int i = m_count - 1; i >= 0; --i) {
        if (m_cache[i].hasTile && m_cache[i].rect.Contains(x, y))
            return i;
    }
    return -1;
}

void CTilePixelCursor::BringToFront(int at)
{
    const Entry found = m_cache[at];
    for (int i = at; i > 0; --i)
        m_cache[i] = m_cache[i - 1];
    m_cache[0] = found;
}

IKelvraError* CTilePixelCursor::DropLeastRecent()
{
    const Entry last = m_cache[m_count - 1];
    m_cache[--m_count] = Entry();
    if (!last.hasTile)
        return nullptr;
    IKelvraError* error = m_source->UnlockTile(last.column, last.row);
    return error ? KELVRA_WRAP(nullptr, kCursorTag, error) : nullptr;
}

// Locks the tile holding (x, y) into a new front entry; a position outside
// the image gets an entry without a tile.
IKelvraError* CTilePixelCursor::LoadFront(long x, long y)
{
    if (m_count == m_capacity) {
        if (IKelvraError* error = DropLeastRecent())
            return error;
    }
    Entry entry;
    if (x >= 0 && y >= 0 && x < m_width && y < m_height) {
        entry.column = x / m_tileSize;
        entry.row = y / m_tileSize;
        const void* data = nullptr;
        if (IKelvraError* error = m_source->LockTile(entry.column, entry.row, &data, &entry.rect, &entry.rowBytes))
            return KELVRA_WRAP(nullptr, kCursorTag, error);
        entry.data = static_cast<const unsigned char*>(data);
        // A tile that does not hold the pixel, or rows too short for its
        // width, would send the pointer outside the tile's memory.
        if (!entry.data || !entry.rect.Contains(x, y) || entry.rowBytes < entry.rect.Width() * m_pixelStep) {
            IKelvraError::Release(m_source->UnlockTile(entry.column, entry.row));
            return KELVRA_ERROR(nullptr, kCursorTag, kKelvraOperationFailed);
        }
        entry.hasTile = true;
    }
    for (int i = m_count; i > 0; --i)
        m_cache[i] = m_cache[i - 1];
    m_cache[0] = entry;
    ++m_count;
    return nullptr;
}

void CTilePixelCursor::PositionOnFront(long x, long y, long mappedX, long mappedY)
{
    const Entry& front = m_cache[0];
    m_positioned = true;
    m_x = x;
    m_y = y;
    if (!front.hasTile) {
        m_sample = nullptr;
        return;
    }
    m_rowStep = front.rowBytes;
    SetDistances(front.rect);
    m_sample = front.data + (mappedY - front.rect.top) * front.rowBytes + (mappedX - front.rect.left) * m_pixelStep;
}

// Only along an axis whose position lies in the image as asked.
void CTilePixelCursor::SetDistances(const KelvraRect& rect)
{
    if (!m_outsideX) {
        m_toLeft = m_x - rect.left;
        m_toRight = rect.right - m_x - 1;
    }
    if (!m_outsideY) {
        m_above = m_y - rect.top;
        m_below = rect.bottom - m_y - 1;
    }
}
