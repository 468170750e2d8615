#include "kelvra/KelvraDisplayDestination.h"

#include <algorithm>
#include <new>

namespace {
const KelvraTag kDisplayTag = KelvraFourCC('K', 'D', 's', 'p');
}

IKelvraError* CKelvraDisplayDestination::KelvraNotify(IKelvraDataSource*, long code, void* data)
{
    switch (code) {
    case kKelvraNotifyData:
        if (data) {
            Queue(*static_cast<KelvraRect*>(data));
            return nullptr;
        }
        InvalidateAll();
        return nullptr;
    case kKelvraNotifySize:
    case kKelvraNotifyColorSpace:
    case kKelvraNotifyTransform:
    case kKelvraNotifyUpdateAll:
        Reset();
        InvalidateAll();
        OnLayoutChanged();
        return nullptr;
    default:
        return nullptr;
    }
}

void CKelvraDisplayDestination::KelvraAddedDataSource(IKelvraDataSource* source)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_source = source;
        m_pending.clear();
    }
    InvalidateAll();
}

void CKelvraDisplayDestination::KelvraRemovedDataSource(IKelvraDataSource* source)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_source == source) {
        m_source = nullptr;
        m_pending.clear();
    }
}

IKelvraDataSource* CKelvraDisplayDestination::GetSource() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_source;
}

bool CKelvraDisplayDestination::IsIdle() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_pending.empty();
}

void CKelvraDisplayDestination::Reset()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_pending.clear();
}

void CKelvraDisplayDestination::InvalidateAll()
{
    IKelvraDataSource* source = GetSource();
    long width = 0, height = 0;
    if (!source)
        return;
    if (IKelvraError* error = source->GetSize(&width, &height)) {
        IKelvraError::Release(error); // not ready yet: nothing to show
        return;
    }
    Queue(KelvraRect(0, 0, width, height));
}

// Splits the rectangle into tile-sized blocks, dropping blocks already waiting.
void CKelvraDisplayDestination::Queue(const KelvraRect& rect)
{
    IKelvraDataSource* source = GetSource();
    long tileSize = 0, width = 0, height = 0;
    if (!source)
        return;
    IKelvraError* error = source->GetTileSize(&tileSize);
    if (!error)
        error = source->GetSize(&width, &height);
    if (error || tileSize <= 0) {
        IKelvraError::Release(error);
        return;
    }
    const KelvraRect area = rect.Intersection(KelvraRect(0, 0, width, height));
    std::lock_guard<std::mutex> guard(m_lock);
    try {
        for (long row = area.top / tileSize; !area.IsEmpty() && row * tileSize < area.bottom; ++row) {
            for (long column = area.left / tileSize; column * tileSize < area.right; ++column) {
                KelvraRect cell(column * tileSize, row * tileSize, (column + 1) * tileSize, (row + 1) * tileSize);
                KelvraRect block = cell.Intersection(area);
                bool covered = false;
                for (KelvraRect& waiting : m_pending) {
                    if (waiting.Intersects(cell)) { // same tile: grow the waiting block
                        waiting = KelvraRect(std::min(waiting.left, block.left), std::min(waiting.top, block.top),
                                             std::max(waiting.right, block.right),
                                             std::max(waiting.bottom, block.bottom));
                        covered = true;
                        break;
                    }
                }
                if (!covered)
                    m_pending.push_back(block);
            }
        }
    } catch (const std::bad_alloc&) {
        // Out of memory: what was queued will show; the rest shows at the next change.
    }
}

IKelvraError* CKelvraDisplayDestination::Pull(long maxBlocks)
{
    IKelvraDataSource* source = GetSource();
    if (!source)
        return KELVRA_ERROR(nullptr, kDisplayTag, kKelvraNotReady);
    long tileSize = 0;
    if (IKelvraError* error = source->GetTileSize(&tileSize))
        return KELVRA_WRAP(nullptr, kDisplayTag, error);
    for (long delivered = 0; maxBlocks < 0 || delivered < maxBlocks; ++delivered) {
        KelvraRect block;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (m_pending.empty())
                break;
            block = m_pending.front();
            m_pending.pop_front();
        }
        if (IKelvraError* error = Deliver(block.left / tileSize, block.top / tileSize, block))
            return error;
    }
    return nullptr;
}

IKelvraError* CKelvraDisplayDestination::Deliver(long column, long row, const KelvraRect& rect)
{
    IKelvraDataSource* source = GetSource();
    const void* data = nullptr;
    KelvraRect tileRect;
    long rowBytes = 0;
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = source->GetColorSpace(&format))
        return KELVRA_WRAP(nullptr, kDisplayTag, error);
    if (IKelvraError* error = source->LockTile(column, row, &data, &tileRect, &rowBytes))
        return KELVRA_WRAP(nullptr, kDisplayTag, error);
    const KelvraRect shown = rect.Intersection(tileRect);
    const auto* first = static_cast<const unsigned char*>(data) + (shown.top - tileRect.top) * rowBytes +
                        KelvraRowBytes(format, shown.left - tileRect.left);
    IKelvraError* error = shown.IsEmpty() ? nullptr : OnData(shown, first, rowBytes);
    IKelvraError::Release(source->UnlockTile(column, row));
    return error ? KELVRA_WRAP(nullptr, kDisplayTag, error) : nullptr;
}
