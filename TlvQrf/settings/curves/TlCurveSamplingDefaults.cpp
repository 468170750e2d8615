// The sampling calls the chain builders make: the whole curve, from
// position 0 to position 1.
#include "settings/curves/TlLut.h"
#include "settings/curves/TlPointCurve.h"

int CTlLut::EvaluateDefault(void* table, int bytesPerEntry, int count, int levels, int flags, double power)
{
    return Evaluate(table, bytesPerEntry, count, levels, 0.0, 1.0, flags, power);
}

int CTlPointCurve::FillTableDefault(void* table, int bytesPerEntry, int count, int levels, int flags) const
{
    return FillTable(table, bytesPerEntry, count, levels, 0.0, 1.0, flags | 1);
}
