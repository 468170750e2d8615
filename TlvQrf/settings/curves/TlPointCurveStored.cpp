// The stored form of the hue curve. Version 2 (written): the element header,
// 0xFF, u16 version, int32 count n, n points, offset, int32 scale (39 + 24 n
// bytes). The older form has no marker: the count follows the header (36 +
// 24 n bytes). Versions 3 to 199 are newer forms that this reader passes over.
#include "settings/curves/TlPointCurve.h"

#include "settings/curves/TlBumpList.h"
#include "settings/curves/TlElementBlock.h"
#include "settings/record/TlStateIds.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kMarker = 0xFF;
constexpr std::uint16_t kVersion = 2;
constexpr std::uint16_t kFirstNewerVersion = 3;
constexpr std::uint16_t kFirstOlderAgain = 200; // read as the older form, as 0 and 1 are
constexpr int kMarkerAndVersionSize = 3;
constexpr int kPassedOverResult = TlCurveLayout::kElementHeaderSize + kMarkerAndVersionSize;
constexpr std::int32_t kMinScale = 1;
constexpr std::int32_t kMaxScale = 3;

enum class StoredForm { kCurrent, kOlder, kNewer };

// A version is only seen behind the marker; a block cut within it counts as
// version 0, which is the older form.
StoredForm FormOf(const unsigned char* body, int bodySize)
{
    CTlStateReader reader(body, bodySize);
    std::uint8_t marker = 0;
    if (!reader.Get(marker) || marker != kMarker)
        return StoredForm::kOlder;
    std::uint16_t version = 0;
    reader.Get(version);
    if (version == kVersion)
        return StoredForm::kCurrent;
    if (version >= kFirstNewerVersion && version < kFirstOlderAgain)
        return StoredForm::kNewer;
    return StoredForm::kOlder;
}

struct StoredPointCurve {
    std::vector<TlBumpPoint> points;
    double offset = 0;
    std::int32_t scale = 1;
};

// The body's size as the record accounts for it, 0 when the count claims
// more points than the block holds (or is negative). Fields after the points
// that the block does not hold keep their defaults.
int ReadBody(const unsigned char* body, int bodySize, StoredForm form, StoredPointCurve& stored)
{
    CTlStateReader reader(body, bodySize);
    if (form == StoredForm::kCurrent)
        reader.Skip(kMarkerAndVersionSize);
    std::int32_t count = 0;
    reader.Get(count);
    if (!GetBumpPoints(reader, count, stored.points))
        return 0;
    reader.Get(stored.offset);
    reader.Get(stored.scale);
    return static_cast<int>(reader.Offset());
}

} // namespace

int CTlPointCurve::Save(unsigned char* buffer, int size)
{
    const int header = CTlCurveBase::Save(buffer, size);
    CTlStateWriter writer(ElementBody(buffer, size), ElementBodySize(size));
    writer.Put(kMarker);
    writer.Put(kVersion);
    writer.Put(static_cast<std::int32_t>(m_points.size()));
    PutBumpPoints(writer, m_points.data(), m_points.size());
    writer.Put(m_offset);
    writer.Put(static_cast<std::int32_t>(m_scale));
    return header + writer.Finish();
}

int CTlPointCurve::Load(const unsigned char* buffer, int size)
{
    if (!IsElementBlock(buffer, size, kTlIdPointCurve))
        return 0;
    const unsigned char* body = ElementBody(buffer, size);
    const int bodySize = ElementBodySize(size);
    const StoredForm form = FormOf(body, bodySize);
    if (form == StoredForm::kNewer) {
        CTlCurveBase::Load(buffer, size);
        return kPassedOverResult;
    }
    StoredPointCurve stored;
    const int bodyRead = ReadBody(body, bodySize, form, stored);
    if (bodyRead == 0)
        return 0;

    CTlCurveBase::Load(buffer, size);
    m_points.swap(stored.points);
    m_offset = stored.offset;
    // The editor divides by the scale: keep it in its range.
    m_scale = std::clamp(stored.scale, kMinScale, kMaxScale);
    m_editor = TlBumpEditorState();
    m_changed = 1;
    m_currentPoint = m_points.empty() ? -1 : 0;
    return TlCurveLayout::kElementHeaderSize + bodyRead;
}
