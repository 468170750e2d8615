#include "settings/curves/TlLutGroup.h"

#include "settings/curves/TlCurveElements.h"
#include "settings/record/TlStateIds.h"

#include <new>

CTlLutGroup::CTlLutGroup()
{
    try {
        auto master = std::make_unique<CTlLut>(this, kTlElementMaster, kTlLutNoColour, kTlLutNoColour, kTlLutNoColour);
        m_elements.push_back(master.get());
        master.release();
    } catch (const std::bad_alloc&) {
        // An empty container: every lookup gives null.
    }
}

CTlLutGroup::~CTlLutGroup()
{
    DeleteElements();
}

void CTlLutGroup::DeleteElements()
{
    for (CTlCurveBase* element : m_elements)
        delete element;
    m_elements.clear();
}

const TlGuid* CTlLutGroup::GetID() const
{
    return &kTlIdLutGroup;
}

void CTlLutGroup::Assign(const CTlLutGroup& other)
{
    if (&other == this)
        return;
    std::vector<CTlCurveBase*> copies;
    try {
        copies.reserve(other.m_elements.size());
        for (const CTlCurveBase* element : other.m_elements)
            copies.push_back(TlCopyElement(*element, this).release());
    } catch (const std::bad_alloc&) {
        for (CTlCurveBase* copy : copies)
            delete copy;
        return;
    }
    DeleteElements();
    m_elements.swap(copies);
    m_current = other.m_current;
    m_contrast = other.m_contrast;
    m_snapshotContrast = other.m_snapshotContrast;
}

bool CTlLutGroup::IsEqual(const CTlLutGroup& other) const
{
    if (m_contrast != other.m_contrast || m_elements.size() != other.m_elements.size())
        return false;
    for (std::size_t i = 0; i < m_elements.size(); ++i) {
        if (!TlElementsEqual(*m_elements[i], *other.m_elements[i]))
            return false;
    }
    return true;
}

void CTlLutGroup::RemoveChannels()
{
    for (std::size_t i = 1; i < m_elements.size(); ++i)
        delete m_elements[i];
    if (m_elements.size() > 1)
        m_elements.resize(1);
    m_current = 0;
}

void CTlLutGroup::RemoveAll()
{
    DeleteElements();
    m_current = -1;
}

CTlCurveBase* CTlLutGroup::GetAt(int index) const
{
    if (index == -1)
        index = m_current;
    if (index < 0 || index >= GetCount())
        return nullptr;
    return m_elements[static_cast<std::size_t>(index)];
}

CTlCurveBase* CTlLutGroup::Find(int id) const
{
    if (id == -1)
        return m_current == -1 ? nullptr : GetAt(m_current);
    for (CTlCurveBase* element : m_elements) {
        if (element->GetElementId() == id)
            return element;
    }
    return nullptr;
}

void CTlLutGroup::Reset(bool contrastToo)
{
    if (contrastToo)
        m_contrast = 0.0;
    for (CTlCurveBase* element : m_elements)
        element->Reset(contrastToo, true);
}

int CTlLutGroup::GetModifiedFlags(int mask) const
{
    int flags = 0;
    for (auto element = m_elements.rbegin(); element != m_elements.rend(); ++element)
        flags |= (*element)->GetModifiedFlags(mask);
    return flags & mask;
}

bool CTlLutGroup::IsDefault() const
{
    return GetModifiedFlags(~0) == 0;
}
