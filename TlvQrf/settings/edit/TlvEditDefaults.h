// Whether a nested record is at its defaults, for the at-default flags of
// the top-level record. Most records answer themselves; the two that have no
// such test of their own are judged here.
#pragma once

class CTlGeometryState;
class CTlLEGeneral;

// Records with their own test.
template <class Record>
bool TlvAtDefaults(const Record& record)
{
    return record.IsDefault();
}

// The geometry is at its defaults when its output is the whole image at the
// image's own pixel size (no crop, no resizing). Its orientation does not
// count: the flip value and angle carry that.
bool TlvAtDefaults(const CTlGeometryState& geometry);
// The general values are at their defaults when all four are 0, as a new
// or reset record holds them.
bool TlvAtDefaults(const CTlLEGeneral& general);
