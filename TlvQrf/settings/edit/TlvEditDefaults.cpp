#include "settings/edit/TlvEditDefaults.h"

#include "settings/geometry/TlGeometryState.h"
#include "settings/small/TlLEGeneral.h"

#include <algorithm>
#include <iterator>

bool TlvAtDefaults(const CTlGeometryState& geometry)
{
    return geometry.IsUncropped();
}

bool TlvAtDefaults(const CTlLEGeneral& general)
{
    return std::all_of(std::begin(general.values), std::end(general.values), [](std::uint16_t v) { return v == 0; });
}
