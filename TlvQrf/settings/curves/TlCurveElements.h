// What the container and the tone curve need to know of the element
// classes: which class a stored id names, copying and comparing an element
// by its class, and the master tone curve of a container.
#pragma once

#include "settings/curves/TlCurveBase.h"
#include "settings/curves/TlLut.h"

#include <memory>

// The colours of a container's master and of a loader's new tone curves.
constexpr TlLutColour kTlLutNoColour = {0, 0, 0};

// True when the 16 bytes are the stored id of one of the element classes.
bool TlIsElementId(const unsigned char* storedId);
// A fresh element of the class the stored id names, for a loader to fill
// (a tone curve gets black colours and no element id yet); null for an
// unknown id. Throws std::bad_alloc.
std::unique_ptr<CTlCurveBase> TlNewStoredElement(const unsigned char* storedId, CTlLutGroup* owner);
// A deep copy by the element's own class. Throws std::bad_alloc.
std::unique_ptr<CTlCurveBase> TlCopyElement(const CTlCurveBase& element, CTlLutGroup* owner);
bool TlSameElementClass(const CTlCurveBase& a, const CTlCurveBase& b);
// Same class and the class's own comparison.
bool TlElementsEqual(const CTlCurveBase& a, const CTlCurveBase& b);

// Element 0 of the owner when it is a tone curve; null otherwise.
CTlLut* TlMasterLutOf(const CTlLutGroup* owner);
