#include "MovieRle.h"

#include <cstring>

namespace {

constexpr std::size_t kLongestLiteral = 128;
constexpr std::size_t kLongestRun = 129;

bool SamePixel(const std::uint8_t* a, const std::uint8_t* b)
{
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

} // namespace

std::vector<std::uint8_t> MovieRleEncode(const MovieFrame& frame)
{
    // The frame's pixels without row padding, so runs cross rows.
    const std::size_t count = std::size_t(frame.width) * std::size_t(frame.height);
    std::vector<std::uint8_t> flat(count * 3);
    for (long y = 0; y < frame.height; ++y)
        std::memcpy(flat.data() + std::size_t(y) * std::size_t(frame.width) * 3, frame.Row(y),
                    std::size_t(frame.width) * 3);

    std::vector<std::uint8_t> out;
    out.reserve(flat.size() / 4 + 16);
    std::size_t i = 0;
    while (i < count) {
        std::size_t run = 1;
        while (i + run < count && run < kLongestRun && SamePixel(&flat[3 * i], &flat[3 * (i + run)]))
            ++run;
        if (run >= 2) {
            out.push_back(static_cast<std::uint8_t>(run + 126));
            out.insert(out.end(), &flat[3 * i], &flat[3 * i] + 3);
            i += run;
            continue;
        }
        // Literals up to the next run of two.
        std::size_t literal = 1;
        while (i + literal < count && literal < kLongestLiteral &&
               !(i + literal + 1 < count && SamePixel(&flat[3 * (i + literal)], &flat[3 * (i + literal + 1)])))
            ++literal;
        out.push_back(static_cast<std::uint8_t>(literal - 1));
        out.insert(out.end(), &flat[3 * i], &flat[3 * i] + 3 * literal);
        i += literal;
    }
    return out;
}

bool MovieRleDecode(const std::uint8_t* data, std::size_t size, MovieFrame& frame)
{
    const std::size_t count = std::size_t(frame.width) * std::size_t(frame.height);
    std::size_t pixel = 0, at = 0;
    auto put = [&](const std::uint8_t* bgr) {
        const long y = long(pixel / std::size_t(frame.width));
        const long x = long(pixel % std::size_t(frame.width));
        std::memcpy(frame.Row(y) + 3 * x, bgr, 3);
        ++pixel;
    };
    while (at < size) {
        const std::size_t n = data[at++];
        if (n < 128) {
            const std::size_t literal = n + 1;
            if (size - at < 3 * literal || count - pixel < literal)
                return false;
            for (std::size_t k = 0; k < literal; ++k, at += 3)
                put(data + at);
        } else {
            const std::size_t run = n - 126;
            if (size - at < 3 || count - pixel < run)
                return false;
            for (std::size_t k = 0; k < run; ++k)
                put(data + at);
            at += 3;
        }
    }
    return pixel == count;
}
