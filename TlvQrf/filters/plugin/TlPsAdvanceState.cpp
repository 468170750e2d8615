// Advance state: delivers the input rectangle the plug-in asked for (through
// a scaling stage when it asked for a reduced rate) and, outside a run,
// starts its output from the source.
#include "filters/plugin/TlPsPluginHost.h"

#include "filters/plugin/TlPsPluginSupport.h"
#include "filtrix/KelvraFilterScale.h"
#include "kelvra/KelvraFilter.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {

bool IsEmpty(const PsRect& rect)
{
    return rect.bottom <= rect.top || rect.right <= rect.left;
}

KelvraRect ToKelvra(const PsRect& rect)
{
    return KelvraRect(rect.left, rect.top, rect.right, rect.bottom);
}

PsRect Clip(const PsRect& rect, const PsRect& within)
{
    return {std::max(rect.top, within.top), std::max(rect.left, within.left), std::min(rect.bottom, within.bottom),
            std::min(rect.right, within.right)};
}

// Where a buffer of `rect` with `rowBytes` rows and pixels of `pixelBytes`
// takes sample bytes of pixel (x, y) and plane `plane`; a planar buffer keeps
// planes of `planeBytes` one after another.
struct BufferView {
    unsigned char* bytes;
    PsRect rect;
    std::int64_t rowBytes;
    std::int64_t pixelBytes;
    std::int64_t planeBytes; // 0: interleaved
    int sampleBytes;

    unsigned char* At(long x, long y, int plane) const
    {
        const std::int64_t row = std::int64_t(y - rect.top) * rowBytes;
        if (planeBytes != 0)
            return bytes + plane * planeBytes + row + std::int64_t(x - rect.left) * sampleBytes;
        return bytes + row + std::int64_t(x - rect.left) * pixelBytes + plane * sampleBytes;
    }
};

// Copies planes `firstPlane` on of every pixel of `area` from a locked tile.
void CopySamples(const unsigned char* tile, const KelvraRect& tileRect, long tileRowBytes, long tilePixelBytes,
                 const KelvraRect& area, int firstPlane, int planes, const BufferView& to)
{
    const long width = area.Width();
    for (long y = area.top; y < area.bottom; ++y) {
        const unsigned char* from = tile + (y - tileRect.top) * tileRowBytes + (area.left - tileRect.left) * tilePixelBytes;
        if (to.planeBytes == 0 && to.pixelBytes == tilePixelBytes) {
            std::memcpy(to.At(area.left, y, 0), from, std::size_t(width * tilePixelBytes));
            continue;
        }
        for (long x = 0; x < width; ++x, from += tilePixelBytes) {
            for (int plane = 0; plane < planes; ++plane)
                std::memcpy(to.At(area.left + x, y, plane), from + (firstPlane + plane) * to.sampleBytes,
                            std::size_t(to.sampleBytes));
        }
    }
}

// Copies every source tile under the input rectangle into the input and,
// when `seedOutput`, the part inside the output rectangle into the output;
// null, or the text of what failed.
const char* DeliverTiles(IKelvraDataSource* reader, const BufferView& input, const BufferView& output,
                         const PsRect& outRect, int firstPlane, int planes, bool seedOutput)
{
    IKelvraTileGrid* grid = nullptr;
    if (!TlTakeSucceeded(reader->MapRect(ToKelvra(input.rect), &grid)) || grid == nullptr)
        return "Cannot map destination rect";
    const char* failure = nullptr;
    for (long row = 0; failure == nullptr && row < grid->GetRowCount(); ++row) {
        for (long column = 0; failure == nullptr && column < grid->GetColumnCount(); ++column) {
            const void* data = nullptr;
            KelvraRect tileRect, locked;
            long rowBytes = 0;
            if (!TlTakeSucceeded(reader->LockTile(grid, column, row, &data, &tileRect, &locked, &rowBytes))) {
                failure = "Cannot lock tile";
                break;
            }
            const auto* tile = static_cast<const unsigned char*>(data);
            const long pixelBytes = long(output.pixelBytes);
            CopySamples(tile, tileRect, rowBytes, pixelBytes, locked, firstPlane, planes, input);
            if (seedOutput)
                CopySamples(tile, tileRect, rowBytes, pixelBytes, tileRect.Intersection(ToKelvra(outRect)), 0,
                            int(output.pixelBytes / output.sampleBytes), output);
            TlTakeSucceeded(reader->UnlockTile(grid, column, row));
        }
    }
    grid->Release();
    return failure;
}

} // namespace

PsResult CPluginHost::AdvanceState()
{
    if (m_source == nullptr)
        return kPsNoSource;
    PsFilterRecord& record = m_record;
    if (IsEmpty(record.inRect) && IsEmpty(record.outRect) && IsEmpty(record.maskRect))
        return kPsNoError;

    // The plug-in chose the rectangle and the planes: sizes are checked in 64 bits.
    const int firstPlane = std::max<int>(0, record.inLoPlane);
    const int planes = std::max(0, std::min<int>(record.planes - 1, record.inHiPlane) - firstPlane + 1);
    const std::int64_t rows = std::max<std::int64_t>(0, std::int64_t(record.inRect.bottom) - record.inRect.top);
    const std::int64_t columns = std::max<std::int64_t>(0, std::int64_t(record.inRect.right) - record.inRect.left);
    const std::int64_t inRowBytes = columns * m_bytesPerSample * planes;
    const std::int64_t inBytes = rows * inRowBytes;
    m_input.reset();
    record.inData = nullptr;
    if (inRowBytes > std::numeric_limits<std::int32_t>::max() ||
        inBytes > std::int64_t(std::numeric_limits<std::ptrdiff_t>::max()))
        return kPsOutOfMemory;
    m_input.reset(new (std::nothrow) unsigned char[std::size_t(inBytes > 0 ? inBytes : 1)]);
    if (!m_input)
        return kPsOutOfMemory;
    // Parts of the rectangle outside the image read as black.
    std::memset(m_input.get(), 0, std::size_t(inBytes));
    record.inData = m_input.get();
    record.inRowBytes = std::int32_t(inRowBytes);

    record.outRect = Clip(record.outRect, record.filterRect);
    const std::int64_t outRowBytes = OutputRowBytes();
    const bool planar = record.wantLayout == kPsLayoutPlanar;
    const std::int64_t pixelBytes = std::int64_t(m_bytesPerSample) * record.planes;
    const PsRect& filter = record.filterRect;
    const BufferView output{m_output.get(), filter, outRowBytes, pixelBytes,
                            planar ? (std::int64_t(filter.bottom) - filter.top) * outRowBytes : 0, m_bytesPerSample};
    record.outRowBytes = std::int32_t(outRowBytes);
    record.outData = m_output ? output.At(record.outRect.left, record.outRect.top, 0) : nullptr;
    const BufferView input{m_input.get(), record.inRect, inRowBytes, std::int64_t(m_bytesPerSample) * planes, 0,
                           m_bytesPerSample};

    const int rate = record.inputRate >> 16;
    std::unique_ptr<CKelvraFilterScale> scale;
    IKelvraDataSource* reader = m_source;
    if (rate >= 2) {
        auto* owner = dynamic_cast<IKelvraFilter*>(m_source);
        scale.reset(new (std::nothrow) CKelvraFilterScale(owner != nullptr ? owner->GetManager() : nullptr,
                                                          CKelvraFilterScale::kArea));
        if (!scale || !TlTakeSucceeded(KelvraDataConnect(m_source, scale.get())))
            return ReportString("Cannot scale down image");
        if (!TlTakeSucceeded(scale->SetScale(1.0 / rate, false))) {
            TlTakeSucceeded(KelvraDataDisconnect(m_source, scale.get()));
            return ReportString("Cannot scale down image");
        }
        reader = scale.get();
    }
    const bool seedOutput = rate < 2 && !m_running && m_output;
    const char* failure =
        DeliverTiles(reader, input, output, record.outRect, firstPlane, planes, seedOutput);
    if (scale)
        TlTakeSucceeded(KelvraDataDisconnect(m_source, scale.get()));
    if (failure != nullptr)
        return ReportString(failure);

    if (m_progress != nullptr) {
        m_pixelCount += rows * columns;
        const std::int64_t hundredth = std::max<std::int64_t>(1, std::int64_t(m_imageWidth) * m_imageHeight / 100);
        m_progress(1, int(m_pixelCount / hundredth), m_progressContext);
    }
    return kPsNoError;
}
