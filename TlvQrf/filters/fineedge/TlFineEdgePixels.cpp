// The fine edge filter's walk over one tile. Green and the two colour
// differences of source rows roll through rings of five rows; each feed
// smooths the differences of the ring's middle row into a ring of three
// and sharpens green of the row below it into a ring of five, from which
// the output row two rows up is rebuilt. Values are on the 16-bit scale in
// both depths.
#include "filters/fineedge/TlFineEdgeFilter.h"

#include "filters/fineedge/TlFineEdgeSteps.h"
#include "filters/frame/TlClampedRows.h"
#include "filters/frame/TlRowRing.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace {

constexpr long kSourceMargin = 4; // columns read beyond each side
constexpr long kStepMargin = 2;   // columns smoothed and sharpened beyond each side
constexpr long kLead = 3;         // feeding row y reads row y + kLead
constexpr long kPrimeRows = 7;

bool IsRgb(KelvraPixelFormat format)
{
    return format == kKelvraRGB8 || format == kKelvraRGB16;
}

const CTlFormatCheck kRgbOnly{IsRgb, TlFormatRejection::Text};

class FineEdgeTile {
public:
    explicit FineEdgeTile(const CTlTileTarget& target)
        : m_target(target), m_is16Bit(target.sourceFormat == kKelvraRGB16), m_left(target.toFill.left),
          m_width((target.toFill.Width() + 7) & ~7L), m_reader(target.source, target.sourceWidth),
          m_green(5, m_width + 2 * kSourceMargin), m_differences(5, m_width + 2 * kSourceMargin),
          m_smoothed(3, m_width + 2 * kStepMargin), m_sharp(5, m_width + 2 * kStepMargin)
    {
    }

    IKelvraError* Run()
    {
        const KelvraRect& rect = m_target.toFill;
        auto feed = [this](long y) { return Feed(y); };
        auto make = [this, &rect](long y) { MakeRow(m_target.At(rect.left, y), rect.Width()); };
        return TlWalkRollingRows(rect, kPrimeRows, feed, make);
    }

private:
    IKelvraError* Feed(long y)
    {
        std::uint16_t* green = m_green.Next();
        TlColourDifferences* differences = m_differences.Next();
        const bool wide = m_is16Bit;
        auto toRings = [=](long i, const unsigned char* sample) {
            std::int32_t rgb[3];
            for (int c = 0; c < 3; ++c) {
                std::uint16_t value = sample[c];
                if (wide)
                    std::memcpy(&value, sample + 2 * c, 2);
                else
                    value = std::uint16_t(value * 257);
                rgb[c] = value;
            }
            green[i] = std::uint16_t(rgb[1]);
            differences[i] = {rgb[0] - rgb[1], rgb[2] - rgb[1]};
        };
        const long from = m_left - kSourceMargin;
        if (IKelvraError* error = m_reader.Read(y + kLead, from, m_left + m_width + kSourceMargin, toRings))
            return error;
        SmoothMiddleRow();
        SharpenRowBelowMiddle();
        return nullptr;
    }

    // The differences of the middle row from the five unsmoothed rows, so
    // that a pixel's result does not depend on where its tile starts.
    void SmoothMiddleRow()
    {
        const std::uint16_t* green[5];
        const TlColourDifferences* differences[5];
        for (int r = 0; r < 5; ++r) {
            green[r] = m_green.Row(r) + kSourceMargin - kStepMargin;
            differences[r] = m_differences.Row(r) + kSourceMargin - kStepMargin;
        }
        TlColourDifferences* out = m_smoothed.Next();
        const long columns = m_width + 2 * kStepMargin;
        for (long j = 0; j < columns; ++j) {
            out[j] = TlSmoothDifferences(green, differences);
            for (int r = 0; r < 5; ++r) {
                ++green[r];
                ++differences[r];
            }
        }
    }

    void SharpenRowBelowMiddle()
    {
        const std::uint16_t* green[3];
        for (int r = 0; r < 3; ++r)
            green[r] = m_green.Row(2 + r) + kSourceMargin - kStepMargin;
        std::uint16_t* out = m_sharp.Next();
        const long columns = m_width + 2 * kStepMargin;
        for (long j = 0; j < columns; ++j) {
            out[j] = TlSharpenGreen(green);
            for (int r = 0; r < 3; ++r)
                ++green[r];
        }
    }

    void MakeRow(unsigned char* out, long count)
    {
        const std::uint16_t* sharp[5];
        const TlColourDifferences* differences[3];
        for (int r = 0; r < 5; ++r)
            sharp[r] = m_sharp.Row(r) + kStepMargin;
        for (int r = 0; r < 3; ++r)
            differences[r] = m_smoothed.Row(r) + kStepMargin;
        for (long i = 0; i < count; ++i) {
            const TlRebuiltPixel pixel = TlRebuildPixel(sharp, differences);
            const std::int32_t rgb[3] = {pixel.green + pixel.differences.redMinusGreen, pixel.green,
                                         pixel.green + pixel.differences.blueMinusGreen};
            for (int c = 0; c < 3; ++c) {
                const std::uint16_t value = std::uint16_t(std::clamp(rgb[c], 0, 65535));
                if (m_is16Bit)
                    std::memcpy(out + 2 * c, &value, 2);
                else
                    out[c] = std::uint8_t(value >> 8);
            }
            out += m_is16Bit ? 6 : 3;
            for (auto& row : sharp)
                ++row;
            for (auto& row : differences)
                ++row;
        }
    }

    const CTlTileTarget& m_target;
    bool m_is16Bit;
    long m_left;
    long m_width; // the rectangle's width rounded up to a multiple of 8
    CTlClampedRows m_reader;
    CTlRowRing<std::uint16_t> m_green;              // source rows y - 1 to y + 3
    CTlRowRing<TlColourDifferences> m_differences;  // the same rows, unsmoothed
    CTlRowRing<TlColourDifferences> m_smoothed;     // rows y - 1 to y + 1
    CTlRowRing<std::uint16_t> m_sharp;              // rows y - 2 to y + 2
};

} // namespace

IKelvraError* CFineEdgeFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    auto fill = [&](const CTlTileTarget& target) -> IKelvraError* {
        try {
            FineEdgeTile walk(target);
            return TL_FILTER_WRAP(walk.Run());
        } catch (const std::bad_alloc&) {
            return TL_FILTER_ERROR(kKelvraOutOfMemory);
        }
    };
    return GenerateTarget(tile, info, kRgbOnly, fill);
}
