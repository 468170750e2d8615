#include "QrfMosaic.h"

namespace {

struct PatternEntry {
    QrfPattern pattern;
    const char* name;
    std::array<std::uint8_t, 4> codes;
};

const PatternEntry kPatterns[] = {
    {QrfPattern::RGGB, "RGGB", {0, 1, 1, 2}},
    {QrfPattern::BGGR, "BGGR", {2, 1, 1, 0}},
    {QrfPattern::GRBG, "GRBG", {1, 0, 2, 1}},
    {QrfPattern::GBRG, "GBRG", {1, 2, 0, 1}},
    {QrfPattern::YCGM, "YCGM", {5, 3, 1, 4}},
};

const PatternEntry& EntryOf(QrfPattern pattern)
{
    for (const PatternEntry& entry : kPatterns) {
        if (entry.pattern == pattern)
            return entry;
    }
    return kPatterns[0];
}

// The raw response of one filter colour, in scene units (0 to 65535).
double Response(std::uint8_t code, double r, double g, double b)
{
    switch (code) {
    case 0:
        return r;
    case 1:
        return g;
    case 2:
        return b;
    case 3:
        return (g + b) / 2;
    case 4:
        return (r + b) / 2;
    default:
        return (r + g) / 2;
    }
}

std::uint8_t CodeAt(QrfPattern pattern, long x, long y)
{
    return EntryOf(pattern).codes[std::size_t((y % 2) * 2 + x % 2)];
}

std::uint16_t SiteValue(std::uint8_t code, const QrfRgb& colour, const QrfGains& gains)
{
    const double value = Response(code, colour.r / gains.red, colour.g, colour.b / gains.blue) * 4095.0 / 65535.0;
    return std::uint16_t(value > 4095 ? 4095 : value + 0.5);
}

} // namespace

bool QrfParsePattern(const std::string& name, QrfPattern* pattern)
{
    for (const PatternEntry& entry : kPatterns) {
        if (name == entry.name) {
            *pattern = entry.pattern;
            return true;
        }
    }
    return false;
}

const char* QrfPatternName(QrfPattern pattern)
{
    return EntryOf(pattern).name;
}

std::array<std::uint8_t, 4> QrfPatternCodes(QrfPattern pattern)
{
    return EntryOf(pattern).codes;
}

std::vector<std::uint8_t> QrfPatternTag(QrfPattern pattern)
{
    const std::array<std::uint8_t, 4> codes = QrfPatternCodes(pattern);
    return {0, 2, 0, 2, codes[0], codes[1], codes[2], codes[3]};
}

std::uint16_t QrfSensorValue(const CQrfScene& scene, QrfPattern pattern, const QrfGains& gains, long x, long y)
{
    return SiteValue(CodeAt(pattern, x, y), scene.At(x, y), gains);
}

void QrfMosaicRow(const CQrfScene& scene, QrfPattern pattern, const QrfGains& gains, long y, long width, long scale,
                  std::uint16_t* row)
{
    // Each site keeps its own filter colour and sees the scene where it lies
    // on the full-size sensor.
    for (long x = 0; x < width; ++x)
        row[x] = SiteValue(CodeAt(pattern, x, y), scene.At(x * scale, y * scale), gains);
}
