// Capability answers of the base step: leaves answer true, the combined
// queries ask their leaves so that a derived step overrides only leaves.
#include "settings/geometry/TlGeometryStep.h"

bool CTlGeometryStep::CapabilityQuery1() const { return CapabilityQuery2() || CapabilityQuery5(); }
bool CTlGeometryStep::CapabilityQuery2() const { return true; }
bool CTlGeometryStep::CapabilityQuery3() const { return true; }
bool CTlGeometryStep::CapabilityQuery4() const { return true; }
bool CTlGeometryStep::CapabilityQuery5() const { return CapabilityQuery3() || CapabilityQuery4(); }
bool CTlGeometryStep::CapabilityQuery6() const { return true; }
bool CTlGeometryStep::CapabilityQuery7() const { return true; }
bool CTlGeometryStep::CapabilityQuery8() const { return CapabilityQuery6() || CapabilityQuery7(); }
bool CTlGeometryStep::CapabilityQuery9() const { return true; }
bool CTlGeometryStep::CapabilityQuery10() const { return true; }
bool CTlGeometryStep::CapabilityQuery11() const { return true; }
bool CTlGeometryStep::CapabilityQuery12() const { return true; }
bool CTlGeometryStep::CapabilityQuery13() const { return true; }
bool CTlGeometryStep::CapabilityQuery14() const { return CapabilityQuery12() || CapabilityQuery13(); }
bool CTlGeometryStep::CapabilityQuery15() const { return true; }
bool CTlGeometryStep::CapabilityQuery16() const { return false; }
