// The three channel tables that SetWhiteBalanceToneLut installs.
#pragma once

class CTlvParamSet;
class IKelvraError;
struct STlLutTables;

// 4096 entries each: the scaled ramp through the tone curve. Error 1005
// when memory runs out.
IKelvraError* BuildWhiteBalanceToneTables(const CTlvParamSet& params, STlLutTables& tables);
