// The stored form of the container: version 4 is written (header, then each
// element's own stored form back to back); versions 1 to 3 are read too.
// A load changes nothing until every element has been read; a container of
// the same shape keeps its element objects.
#include "settings/curves/TlCurveElements.h"
#include "settings/curves/TlLinearCurve.h"
#include "settings/curves/TlLutGroup.h"
#include "settings/curves/TlLutGroupReading.h"
#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateWriter.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// 0xFF then the version byte: the u16 0x04FF.
constexpr std::uint16_t kStoredVersionWord = 0x04FF;
constexpr int kFirstWithKind = 3;
constexpr int kFirstWithNewChroma = 4;
constexpr std::size_t kMaxStoredElements = 255;
constexpr std::size_t kChroma = 2;
constexpr std::size_t kHue = 3;

// The LCH set of older records: the hue curve stood before the chroma curve
// (they change places), and before version 4 the chroma curve had another
// meaning (an empty one takes its place, keeping its element id).
void AdaptLchSet(STlLutGroupReading& reading, CTlLutGroup* owner)
{
    std::vector<std::unique_ptr<CTlCurveBase>>& elements = reading.elements;
    if (elements.size() > kHue && elements[kChroma]->IsPointCurve() && elements[kHue]->IsLinearCurve()) {
        std::swap(elements[kChroma], elements[kHue]);
        elements[kChroma]->SetElementId(static_cast<int>(kChroma));
        elements[kHue]->SetElementId(static_cast<int>(kHue));
    }
    if (reading.header.version < kFirstWithNewChroma && elements.size() > kChroma)
        elements[kChroma] = std::make_unique<CTlLinearCurve>(owner, elements[kChroma]->GetElementId());
}

// An element's whole stored form. Throws std::bad_alloc.
std::vector<unsigned char> StoredForm(CTlCurveBase& element)
{
    std::vector<unsigned char> bytes(static_cast<std::size_t>(element.GetSize()));
    element.Save(bytes.data(), static_cast<int>(bytes.size()));
    return bytes;
}

} // namespace

int CTlLutGroup::Save(unsigned char* buffer, int size)
{
    const std::size_t count = std::min(m_elements.size(), kMaxStoredElements);
    CTlStateWriter writer(buffer, size);
    writer.Header(kTlIdLutGroup, kStoredVersionWord);
    writer.Put(static_cast<std::uint8_t>(m_kind));
    writer.Put(static_cast<std::uint8_t>(count));
    writer.Put(static_cast<std::uint8_t>(m_current));
    writer.Put(m_contrast);
    for (std::size_t i = 0; i < count; ++i)
        writer.PutRecord(*m_elements[i]);
    return writer.Finish();
}

bool CTlLutGroup::ReadElements(const unsigned char* buffer, int size, STlLutGroupReading& reading)
{
    const int count = reading.header.count;
    // A container always keeps its master: a block without one is refused.
    if (count == 0)
        return false;
    reading.elements.reserve(static_cast<std::size_t>(count));
    reading.taken.reserve(static_cast<std::size_t>(count));
    int position = reading.header.elementsStart;
    for (int i = 0; i < count; ++i) {
        const int left = size - position;
        if (left < TlStateLayout::kIdSize)
            return false;
        std::unique_ptr<CTlCurveBase> element = TlNewStoredElement(buffer + position, this);
        if (element == nullptr)
            return false;
        const int used = element->Load(buffer + position, left);
        if (used <= 0 || used > left)
            return false;
        reading.elements.push_back(std::move(element));
        position += used;
    }
    reading.end = position;
    return dynamic_cast<const CTlLut*>(reading.elements.front().get()) != nullptr;
}

// Each kept element loads the stored form of the element read in its place,
// so it ends exactly as a new container's element would (also where an
// element was replaced or its version passed over), and keeps only what
// records do not store: histograms, sample tables, calibration curves.
bool CTlLutGroup::ReloadInPlace(const STlLutGroupReading& reading)
{
    if (m_elements.size() != reading.elements.size())
        return false;
    for (std::size_t i = 0; i < m_elements.size(); ++i) {
        if (!TlSameElementClass(*m_elements[i], *reading.elements[i]))
            return false;
    }
    try {
        for (std::size_t i = 0; i < m_elements.size(); ++i) {
            const std::vector<unsigned char> bytes = StoredForm(*reading.elements[i]);
            if (m_elements[i]->Load(bytes.data(), static_cast<int>(bytes.size())) <= 0)
                return false;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void CTlLutGroup::TakeElements(STlLutGroupReading& reading)
{
    // The room was reserved while reading: nothing here allocates.
    for (std::unique_ptr<CTlCurveBase>& element : reading.elements)
        reading.taken.push_back(element.release());
    DeleteElements();
    m_elements.swap(reading.taken);
}

int CTlLutGroup::Load(const unsigned char* buffer, int size)
{
    if (buffer == nullptr || size < TlStateLayout::kIdSize ||
        std::memcmp(buffer, &kTlIdLutGroup, TlStateLayout::kIdSize) != 0)
        return 0;
    STlLutGroupReading reading;
    try {
        if (!TlReadLutGroupHeader(buffer, size, reading.header) || !ReadElements(buffer, size, reading))
            return 0;
        const int kind = reading.header.hasKind ? reading.header.kind : m_kind;
        if (kind == kTlLutGroupLch)
            AdaptLchSet(reading, this);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    // A re-read that fails part-way still leaves a whole container: the
    // elements just read take over.
    if (!ReloadInPlace(reading))
        TakeElements(reading);

    const STlLutGroupHeader& header = reading.header;
    m_contrast = header.contrast;
    if (header.hasKind)
        m_kind = header.kind;
    m_current = header.current < header.count ? header.current : 0;
    if (header.version < kFirstWithKind) {
        // Older records kept brightness and contrast in a set of their own:
        // a set that changes nothing else is that set.
        const int flags = GetModifiedFlags(~0);
        if ((flags & 0x01) != 0 && (flags & 0x02) == 0)
            m_kind = kTlLutGroupBrightnessContrast;
    }
    return reading.end;
}
