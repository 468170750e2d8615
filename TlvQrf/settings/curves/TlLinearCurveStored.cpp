// The stored form of the chroma-by-hue curve: the element header followed by
// the body it shares with the calibration files (u16 version 1, u16 count,
// points, offset, reserved byte; 33 + 24 n bytes in all). It carries the list
// of the mode and always the first offset. Writer and reader take a field
// only when the block reaches one byte past its end.
#include "settings/curves/TlLinearCurve.h"

#include "settings/curves/TlBumpList.h"
#include "settings/curves/TlBumpListForm.h"
#include "settings/curves/TlElementBlock.h"
#include "settings/record/TlStateIds.h"

namespace {

// A block without version 1 is passed over: the header and two bytes.
constexpr int kPassedOverResult = TlCurveLayout::kElementHeaderSize + 3;

} // namespace

int CTlLinearCurve::Save(unsigned char* buffer, int size)
{
    const int header = CTlCurveBase::Save(buffer, size);
    return header + WriteBumpListForm(ElementBody(buffer, size), ElementBodySize(size), StoredList(), m_firstOffset);
}

int CTlLinearCurve::Load(const unsigned char* buffer, int size)
{
    if (!IsElementBlock(buffer, size, kTlIdLinearCurve))
        return 0;
    const int bodySize = ElementBodySize(size);
    // One byte less in view gives the one-byte-past rule.
    CTlStateReader reader(ElementBody(buffer, size), bodySize > 0 ? bodySize - 1 : 0);
    std::uint16_t version = 0;
    if (!reader.Get(version) || version != TlBumpListFormLayout::kVersion) {
        CTlCurveBase::Load(buffer, size);
        return kPassedOverResult;
    }
    std::uint16_t count = 0;
    reader.Get(count);
    std::vector<TlBumpPoint> points;
    if (!GetBumpPoints(reader, count, points))
        return 0;
    double offset = 0;
    reader.Get(offset);

    CTlCurveBase::Load(buffer, size);
    StoredList().swap(points);
    m_firstOffset = offset;
    m_editor = TlBumpEditorState();
    m_changed = 1;
    if (!StoredList().empty())
        m_currentPoint = 0;
    return TlCurveLayout::kElementHeaderSize + BumpListFormSize(count);
}
