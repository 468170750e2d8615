// The host's result as a baseline TIFF: one uncompressed strip of 8-bit
// samples, grey, RGB or CMYK, with the ICC profile the plug-in handed over.
#include "PsFormatHost.h"

#include <cstdio>
#include <memory>

namespace {

struct Entry {
    std::uint16_t tag;
    std::uint16_t type; // 3 SHORT, 4 LONG, 5 RATIONAL, 7 UNDEFINED
    std::uint32_t count;
    std::uint32_t value; // the value itself, or the offset of the values
};

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::uint16_t Photometric(std::int16_t planes)
{
    return planes == 1 ? 1 : planes == 4 ? 5 : 2;
}

} // namespace

bool CPsFormatHost::WriteTiff(const PsFormatHostResult& result, const std::string& path)
{
    if (result.pixels.empty() || result.planes < 1 || result.width <= 0 || result.height <= 0)
        return false;
    std::vector<std::uint8_t> out = {'I', 'I', 42, 0, 0, 0, 0, 0};
    const std::uint32_t pixelsAt = std::uint32_t(out.size());
    out.insert(out.end(), result.pixels.begin(), result.pixels.end());
    const std::uint32_t bitsAt = std::uint32_t(out.size());
    for (int i = 0; i < result.planes; ++i)
        Put16(out, 8);
    const std::uint32_t resolutionAt = std::uint32_t(out.size());
    const std::uint32_t dpi = std::uint32_t(result.hRes > 0 ? result.hRes : 72 * kPsFixedOne);
    Put32(out, dpi);
    Put32(out, std::uint32_t(kPsFixedOne));
    const std::uint32_t iccAt = std::uint32_t(out.size());
    out.insert(out.end(), result.icc.begin(), result.icc.end());
    if (out.size() % 2)
        out.push_back(0);

    std::vector<Entry> entries = {
        {256, 4, 1, std::uint32_t(result.width)},
        {257, 4, 1, std::uint32_t(result.height)},
        {258, 3, std::uint32_t(result.planes), result.planes == 1 ? 8u : bitsAt},
        {259, 3, 1, 1},
        {262, 3, 1, Photometric(result.planes)},
        {273, 4, 1, pixelsAt},
        {277, 3, 1, std::uint32_t(result.planes)},
        {278, 4, 1, std::uint32_t(result.height)},
        {279, 4, 1, std::uint32_t(result.pixels.size())},
        {282, 5, 1, resolutionAt},
        {283, 5, 1, resolutionAt},
        {284, 3, 1, 1},
        {296, 3, 1, 2},
    };
    if (!result.icc.empty())
        entries.push_back({34675, 7, std::uint32_t(result.icc.size()), iccAt});

    const std::uint32_t directoryAt = std::uint32_t(out.size());
    out[4] = std::uint8_t(directoryAt);
    out[5] = std::uint8_t(directoryAt >> 8);
    out[6] = std::uint8_t(directoryAt >> 16);
    out[7] = std::uint8_t(directoryAt >> 24);
    Put16(out, std::uint32_t(entries.size()));
    for (const Entry& e : entries) {
        Put16(out, e.tag);
        Put16(out, e.type);
        Put32(out, e.count);
        Put32(out, e.value);
    }
    Put32(out, 0);

    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    return file && std::fwrite(out.data(), 1, out.size(), file.get()) == out.size();
}
