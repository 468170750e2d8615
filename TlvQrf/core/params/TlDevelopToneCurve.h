// The tone curve that follows the white balance and exposure in the
// developed image's table: the camera's own curve (chosen by the camera's
// curve tag or the user's tone mode) or the sRGB curve.
#pragma once

#include <cstdint>

class CTlvParamSet;
class IKelvraError;
struct STlLutTables;

// The camera's curve index: 1 and 5 one preset, 2 and 6 another, 16 the
// curve the image's tags carry.
constexpr std::uint32_t kTlvCurveIndexTag = 0x80081;

constexpr int kTlvDevelopEntries = 4096;  // 12-bit input
constexpr int kTlvSrgbEntries = 65536;

// The camera-curve path: NTSC chosen, or an as-shot colour space on the
// camera that has no sRGB development.
bool UsesCameraCurvePath(const CTlvParamSet& params);
// The curve index of the camera-curve path: the user's tone mode when set,
// else the tag (0 when it cannot be read).
int CameraCurveIndex(const CTlvParamSet& params);
// 4096 entries of the camera curve with index `index`.
void FillCameraCurve(const CTlvParamSet& params, int index, std::uint16_t* table);
// 65536 entries of the sRGB curve; its linear part ends at index 198.
void FillSrgbCurve(std::uint16_t* table);

// Passes each of the three 4096-entry channel tables through the chosen
// curve. Error 1005 when the working tables cannot be allocated.
IKelvraError* ApplyDevelopToneCurve(const CTlvParamSet& params, STlLutTables& channels);
