// Appending elements: each is owned by the container from the moment it is
// made, and nothing is added when memory runs out.
#include "settings/curves/TlLinearCurve.h"
#include "settings/curves/TlLutGroup.h"
#include "settings/curves/TlPointCurve.h"

#include <new>

bool CTlLutGroup::Append(std::unique_ptr<CTlCurveBase> element)
{
    try {
        m_elements.push_back(element.get());
    } catch (const std::bad_alloc&) {
        return false;
    }
    element.release();
    if (m_current == -1)
        m_current = GetCount() - 1;
    return true;
}

CTlPointCurve* CTlLutGroup::AddPointCurve(int id)
{
    try {
        auto curve = std::make_unique<CTlPointCurve>(this, id);
        CTlPointCurve* added = curve.get();
        return Append(std::move(curve)) ? added : nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

CTlLinearCurve* CTlLutGroup::AddLinearCurve(int id, const CTlLinearCurve* source)
{
    try {
        auto curve = std::make_unique<CTlLinearCurve>(this, id);
        if (source != nullptr)
            curve->CopyCalibrationFrom(*source);
        CTlLinearCurve* added = curve.get();
        return Append(std::move(curve)) ? added : nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

CTlLut* CTlLutGroup::AddLut(int id, const TlLutColour& colour1, const TlLutColour& colour2,
                            const TlLutColour& colour3)
{
    try {
        auto lut = std::make_unique<CTlLut>(this, id, colour1, colour2, colour3);
        CTlLut* added = lut.get();
        return Append(std::move(lut)) ? added : nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
