#include "FrameTestSupport.h"

#include <algorithm>
#include <cstring>

namespace frame_test {

IKelvraError* SettingTestFilter::GetFilteredSize(IKelvraDataSource* const* sources, long count, long* width,
                                                 long* height)
{
    if (failSize)
        return TL_FILTER_ERROR(kKelvraNotReady);
    if (IKelvraError* error = CTlFilter::GetFilteredSize(sources, count, width, height))
        return error;
    *width /= 2;
    *height /= 2;
    return nullptr;
}

IKelvraError* CopyTestFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    auto grown = [this](const CTlTileTarget& target) {
        const KelvraRect& r = target.toFill;
        return KelvraRect(r.left - margin, r.top - margin, r.right + margin, r.bottom + margin);
    };
    auto copy = [this](const CTlTileTarget& target, const CTlSourceTile& from) -> IKelvraError* {
        if (++tilesSeen == failAtTile)
            return TL_FILTER_ERROR(kKelvraOperationFailed);
        overlapArea += from.overlap.Width() * from.overlap.Height();
        const KelvraRect rows = from.overlap.Intersection(target.toFill);
        for (long y = rows.top; y < rows.bottom; ++y)
            std::memcpy(target.At(rows.left, y), from.At(rows.left, y), std::size_t(rows.Width() * from.pixelBytes));
        return nullptr;
    };
    return GenerateFromSourceTiles(tile, info, m_check, copy, grown);
}

IKelvraError* NoticeSink::KelvraNotify(IKelvraDataSource* source, long code, void* data)
{
    RecordedNotice notice{source, code, KelvraRect(), KelvraResolutionChange{0, 0}};
    if (code == kKelvraNotifyData && data)
        notice.rect = *static_cast<const KelvraRect*>(data);
    if (code == kKelvraNotifyResolution && data)
        notice.resolution = *static_cast<const KelvraResolutionChange*>(data);
    notices.push_back(notice);
    return refuse ? KELVRA_ERROR(nullptr, KelvraFourCC('S', 'i', 'n', 'k'), kKelvraNotReady) : nullptr;
}

FakeTile::FakeTile(const KelvraRect& full, const KelvraRect& toFill, KelvraPixelFormat format)
    : m_full(full), m_toFill(toFill), m_pixelBytes(long(KelvraBitsPerPixel(format) + 7) / 8),
      m_rowBytes(KelvraRowBytes(format, full.Width())),
      m_buffer(std::size_t(m_rowBytes) * std::size_t(full.Height()), kMarker)
{
}

bool FakeTile::GetRectToFill(KelvraRect* rect) const
{
    *rect = m_toFill;
    return !m_toFill.IsEmpty();
}

IKelvraError* FakeTile::Lock(void** buffer)
{
    m_locked = true;
    ++m_lockCount;
    *buffer = m_buffer.data();
    return nullptr;
}

bool FakeTile::IsUntouched() const
{
    return std::all_of(m_buffer.begin(), m_buffer.end(), [](std::uint8_t b) { return b == kMarker; });
}

const std::uint8_t* FakeTile::PixelAt(long x, long y) const
{
    return m_buffer.data() + (y - m_full.top) * m_rowBytes + (x - m_full.left) * m_pixelBytes;
}

IKelvraError* RecordingSource::LockTile(long column, long row, const void** data, KelvraRect* rect, long* rowBytes)
{
    std::lock_guard<std::mutex> guard(m_records);
    if (int(locks.size()) + 1 == failAtLock) {
        locks.emplace_back(column, row); // counted, but nothing is held
        return KELVRA_ERROR(nullptr, KelvraFourCC('R', 'e', 'c', 'S'), kKelvraNotReady);
    }
    if (IKelvraError* error = m_image->LockTile(column, row, data, rect, rowBytes))
        return error;
    locks.emplace_back(column, row);
    ++m_held[{column, row}];
    return nullptr;
}

IKelvraError* RecordingSource::UnlockTile(long column, long row)
{
    std::lock_guard<std::mutex> guard(m_records);
    unlocks.emplace_back(column, row);
    auto it = m_held.find({column, row});
    if (it == m_held.end())
        return KELVRA_ERROR(nullptr, KelvraFourCC('R', 'e', 'c', 'S'), kKelvraBadArgument);
    if (--it->second == 0)
        m_held.erase(it);
    return m_image->UnlockTile(column, row);
}

int RecordingSource::HeldCount() const
{
    std::lock_guard<std::mutex> guard(m_records);
    int count = 0;
    for (const auto& held : m_held)
        count += held.second;
    return count;
}

bool RecordingSource::IsHeld(long column, long row) const
{
    std::lock_guard<std::mutex> guard(m_records);
    return m_held.count({column, row}) != 0;
}

} // namespace frame_test
