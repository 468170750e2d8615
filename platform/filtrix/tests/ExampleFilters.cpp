#include "ExampleFilters.h"

#include "kelvra/KelvraImage.h"

#include <cstdint>
#include <vector>

namespace {

// The tile contract: fill what the tile asks for from the first source's
// tiles that cover it, sample by sample.
template <typename Op>
IKelvraError* ApplyPerSample(CKelvraFilterBase& filter, IKelvraTile* tile, const std::vector<IKelvraDataSource*>& sources,
                             Op op)
{
    KelvraRect toFill;
    if (!tile->GetRectToFill(&toFill))
        return nullptr;
    KelvraRect full;
    tile->GetRect(&full);
    IKelvraDataSource* source = sources.empty() ? nullptr : sources[0];
    if (!source)
        return KELVRA_ERROR(nullptr, filter.GetFilterTag(), kKelvraNotReady);
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = source->GetColorSpace(&format))
        return KELVRA_WRAP(nullptr, filter.GetFilterTag(), error);
    const bool wide = KelvraIs16Bit(format);
    const long samples = long(KelvraPlaneCount(format));
    void* buffer = nullptr;
    if (IKelvraError* error = tile->Lock(&buffer))
        return KELVRA_WRAP(nullptr, filter.GetFilterTag(), error);
    CKelvraFilterBase::CPixelPtr out(buffer, format, tile->GetRowBytes());
    IKelvraTileGrid* grid = nullptr;
    IKelvraError* error = source->MapRect(toFill, &grid);
    for (long r = 0; !error && r < grid->GetRowCount(); ++r) {
        for (long c = 0; !error && c < grid->GetColumnCount(); ++c) {
            const void* data = nullptr;
            KelvraRect tileRect, locked;
            long rowBytes = 0;
            error = source->LockTile(grid, c, r, &data, &tileRect, &locked, &rowBytes);
            if (error)
                break;
            for (long y = locked.top; y < locked.bottom; ++y) {
                const auto* in = static_cast<const std::uint8_t*>(data) + (y - tileRect.top) * rowBytes;
                for (long i = (locked.left - tileRect.left) * samples; i < (locked.right - tileRect.left) * samples; ++i) {
                    unsigned char* target = out.At(0, y - full.top) + i * (wide ? 2 : 1) +
                                            (tileRect.left - full.left) * samples * (wide ? 2 : 1);
                    if (wide) {
                        const std::uint16_t value = reinterpret_cast<const std::uint16_t*>(in)[i];
                        *reinterpret_cast<std::uint16_t*>(target) = std::uint16_t(op(value, 65535u));
                    } else {
                        *target = std::uint8_t(op(in[i], 255u));
                    }
                }
            }
            error = source->UnlockTile(grid, c, r);
        }
    }
    if (grid)
        grid->Release();
    tile->Unlock();
    if (error)
        return KELVRA_WRAP(nullptr, filter.GetFilterTag(), error);
    tile->SetComplete();
    return nullptr;
}

} // namespace

unsigned GainSample(unsigned value, unsigned max, int numerator, int denominator)
{
    const unsigned long long scaled = (unsigned long long)value * unsigned(numerator) / unsigned(denominator);
    return scaled > max ? max : unsigned(scaled);
}

unsigned InvertSample(unsigned value, unsigned max)
{
    return max - value;
}

IKelvraError* GainFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    ++tilesMade;
    if (info) {
        lastRunSource = info->GetSource(0);
        lastRunReadImage = dynamic_cast<IKelvraImage*>(info->GetSource(0)) != nullptr;
    }
    const int numerator = m_numerator, denominator = m_denominator;
    return ApplyPerSample(*this, tile, SourcesFor(info), [numerator, denominator](unsigned v, unsigned max) {
        return GainSample(v, max, numerator, denominator);
    });
}

IKelvraError* InvertFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    return ApplyPerSample(*this, tile, SourcesFor(info), InvertSample);
}
