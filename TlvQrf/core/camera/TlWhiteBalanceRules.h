// The rules that turn a white balance into a column of an index table, and
// the index tables' reads. Every value read from a table is bounded before
// it is used.
#pragma once

#include "camera/TlCameraSetUp.h"

// A temperature with its sub-mode (0 none, 1 and 2 light-source kinds,
// 3 the fixed column).
struct TlKelvinChoice {
    std::int32_t kelvin = 0;
    std::int32_t subMode = 0;
};

// The hue index value (after the range split) as a temperature and
// sub-mode; false for a value outside the mapping.
bool TlHueToKelvin(const TlCameraProfileParams& params, const TlCameraSetUpState& state, TlKelvinChoice* choice);

// The table index of `column` in `set`'s byte table for the parameters'
// colour mode and tone compensation (500- or 700-based for sets A and B).
std::uint32_t TlIndexFromTable(const TlCameraTables& tables, TlMatrixSet set, const TlCameraProfileParams& params,
                               int column);

// Classes 11, 13, 212: the index from the gains table of the sub-mode.
std::int32_t TlGainsToIndex(const TlCameraTables& tables, const TlCameraProfileParams& params,
                            std::int32_t subMode);
// Classes 4, 8, 12, 14, 104, 204: an index and a sub-mode from the gains.
void TlGainsToIndexAndSubMode(const TlCameraTables& tables, const TlCameraProfileParams& params,
                              std::int32_t* index, std::int32_t* subMode);

// The tone rule's table index (set C) for index value `value`.
std::uint32_t TlToneRuleIndex(const TlCameraTables& tables, const TlCameraProfileParams& params,
                              std::int32_t value);
// Class 6: `value` held between the bounds the brightness value selects for
// `subMode` (sub-mode 1 and others without bounds leave it).
std::int32_t TlClampByBrightness(const TlCameraTables& tables, double brightness, std::int32_t subMode,
                                 std::int32_t value);
// Class 7: the preset table's index and sub-mode for the preset word and
// fine tune.
void TlPresetTableEntry(const TlCameraTables& tables, const TlCameraProfileParams& params, std::int32_t* index,
                        std::int32_t* subMode);
