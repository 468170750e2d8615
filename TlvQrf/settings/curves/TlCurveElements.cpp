#include "settings/curves/TlCurveElements.h"

#include "settings/curves/TlLinearCurve.h"
#include "settings/curves/TlLut.h"
#include "settings/curves/TlLutGroup.h"
#include "settings/curves/TlPointCurve.h"
#include "settings/record/TlStateIds.h"

#include <cstring>

namespace {

bool IdIs(const unsigned char* storedId, const TlGuid& id)
{
    return std::memcmp(storedId, &id, TlStateLayout::kIdSize) == 0;
}

} // namespace

bool TlIsElementId(const unsigned char* storedId)
{
    return IdIs(storedId, kTlIdLut) || IdIs(storedId, kTlIdPointCurve) || IdIs(storedId, kTlIdLinearCurve);
}

std::unique_ptr<CTlCurveBase> TlNewStoredElement(const unsigned char* storedId, CTlLutGroup* owner)
{
    if (IdIs(storedId, kTlIdLut))
        return std::make_unique<CTlLut>(owner, kTlElementUnread, kTlLutNoColour, kTlLutNoColour, kTlLutNoColour);
    if (IdIs(storedId, kTlIdPointCurve))
        return std::make_unique<CTlPointCurve>(owner, kTlElementUnread);
    if (IdIs(storedId, kTlIdLinearCurve))
        return std::make_unique<CTlLinearCurve>(owner, kTlElementUnread);
    return nullptr;
}

std::unique_ptr<CTlCurveBase> TlCopyElement(const CTlCurveBase& element, CTlLutGroup* owner)
{
    std::unique_ptr<CTlCurveBase> copy;
    if (element.IsPointCurve())
        copy = std::make_unique<CTlPointCurve>(static_cast<const CTlPointCurve&>(element));
    else if (element.IsLinearCurve())
        copy = std::make_unique<CTlLinearCurve>(static_cast<const CTlLinearCurve&>(element));
    else
        copy = std::make_unique<CTlLut>(static_cast<const CTlLut&>(element));
    copy->SetOwner(owner);
    return copy;
}

bool TlSameElementClass(const CTlCurveBase& a, const CTlCurveBase& b)
{
    return std::memcmp(a.GetID(), b.GetID(), TlStateLayout::kIdSize) == 0;
}

bool TlElementsEqual(const CTlCurveBase& a, const CTlCurveBase& b)
{
    if (!TlSameElementClass(a, b))
        return false;
    if (a.IsPointCurve())
        return static_cast<const CTlPointCurve&>(a).Compare(static_cast<const CTlPointCurve&>(b));
    if (a.IsLinearCurve())
        return static_cast<const CTlLinearCurve&>(a).Compare(static_cast<const CTlLinearCurve&>(b));
    return static_cast<const CTlLut&>(a).Compare(static_cast<const CTlLut&>(b));
}

CTlLut* TlMasterLutOf(const CTlLutGroup* owner)
{
    if (owner == nullptr)
        return nullptr;
    return dynamic_cast<CTlLut*>(owner->GetAt(kTlElementMaster));
}
