// The three channel tables that SetCurveLut installs.
#pragma once

class CTlLutGroup;
struct STlLutTables;

// 65536 entries each, from either group or both (composed, the second
// group first when `secondFirst`); with neither the tables are only
// allocated. False when memory runs out.
bool BuildCurveTables(CTlLutGroup* first, CTlLutGroup* second, bool secondFirst, STlLutTables& out);
