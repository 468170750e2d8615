#include "settings/curves/TlCurveBase.h"

#include "settings/record/TlFieldCopy.h"

#include <cstring>

CTlCurveBase::CTlCurveBase(CTlLutGroup* owner, int elementId, int currentPoint)
    : m_owner(owner), m_elementId(elementId), m_currentPoint(currentPoint)
{
}

CTlCurveBase::~CTlCurveBase() = default;

int CTlCurveBase::Save(unsigned char* buffer, int size)
{
    if (buffer != nullptr && size >= TlStateLayout::kIdSize)
        CopyBytes(GetID(), buffer, TlStateLayout::kIdSize);
    if (buffer != nullptr && size >= TlCurveLayout::kElementHeaderSize)
        WriteValue(&m_elementId, buffer + TlStateLayout::kIdSize, sizeof(std::int32_t));
    return TlCurveLayout::kElementHeaderSize;
}

int CTlCurveBase::Load(const unsigned char* buffer, int size)
{
    if (buffer == nullptr || size < TlStateLayout::kIdSize)
        return 0;
    if (std::memcmp(buffer, GetID(), TlStateLayout::kIdSize) != 0)
        return 0;
    if (size >= TlCurveLayout::kElementHeaderSize)
        ReadValue(buffer + TlStateLayout::kIdSize, &m_elementId, sizeof(std::int32_t));
    m_currentPoint = -1;
    return TlCurveLayout::kElementHeaderSize;
}
