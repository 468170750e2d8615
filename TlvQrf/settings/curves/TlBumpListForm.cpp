#include "settings/curves/TlBumpListForm.h"

#include "settings/curves/TlBumpList.h"
#include "settings/record/TlStateWriter.h"

#include <algorithm>

namespace {

std::size_t StoredCount(const std::vector<TlBumpPoint>& points)
{
    return std::min(points.size(), TlBumpListFormLayout::kMaxPoints);
}

} // namespace

int BumpListFormSize(std::size_t pointCount)
{
    const std::size_t stored = std::min(pointCount, TlBumpListFormLayout::kMaxPoints);
    return TlBumpListFormLayout::kFixedSize + TlBumpListLayout::kPointSize * static_cast<int>(stored);
}

int WriteBumpListForm(unsigned char* buffer, int size, const std::vector<TlBumpPoint>& points, double offset)
{
    const std::size_t count = StoredCount(points);
    const int fullSize = BumpListFormSize(count);
    // The writer sees one byte less, which gives the one-byte-past rule.
    CTlStateWriter writer(buffer, size > 0 ? size - 1 : 0);
    writer.Put(TlBumpListFormLayout::kVersion);
    writer.Put(static_cast<std::uint16_t>(count));
    PutBumpPoints(writer, points.data(), count);
    writer.Put(offset);
    if (buffer != nullptr && size >= fullSize)
        buffer[fullSize - 1] = 0; // reserved; never read
    return fullSize;
}

std::vector<unsigned char> ComposeCalibrationFile(const std::vector<TlBumpPoint>& points, double offset)
{
    std::vector<unsigned char> bytes(static_cast<std::size_t>(BumpListFormSize(points.size())));
    WriteBumpListForm(bytes.data(), static_cast<int>(bytes.size()), points, offset);
    return bytes;
}
