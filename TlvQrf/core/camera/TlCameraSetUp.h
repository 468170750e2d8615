// Set-up of the camera profile generator: the white-balance class, the
// table index it leads to, and the matrices and hue correction of that
// index.
#pragma once

#include "camera/TlCameraProfileParams.h"
#include "camera/TlCameraTables.h"

#include <cstdint>

constexpr std::uint32_t kTlNoTableIndex = 0xFFFF;

// Which matrix set an index is loaded from.
enum class TlMatrixSet { C, A, B };

struct TlCameraSetUpState {
    std::int32_t wbClass = -1;
    std::uint32_t tableIndex = kTlNoTableIndex;
    TlMatrixSet set = TlMatrixSet::C;
    double cameraMatrix[9] = {};
    double colourMatrix[9] = {};
    const TlHueRecord* hue = nullptr; // null: no hue correction
    bool setUp = false;
    bool fixedProfile = false;
    bool mode4Variant = false;
    std::int32_t namingStyle = 0;
    bool hueRange = false;
    std::int32_t hueValue = 0;
};

// The white-balance class, or -1 for a combination without one.
std::int32_t TlWhiteBalanceClass(const TlCameraProfileParams& params);

// index = (1000000 / kelvin - 83) / 1.3, truncated; 0 for a temperature of
// 0 or less (no temperature).
std::int32_t KelvinToIndex(std::int32_t kelvin);
// kelvin = 1000000 / (1.3 index + 83), truncated; 0 where the divisor is
// not positive.
std::int32_t IndexToKelvin(std::int32_t index);

// Validates the parameters, splits the hue index, picks class and table
// index and loads the matrices. False leaves `state` not set up.
bool TlSetUpCamera(const TlCameraProfileParams& params, const TlCameraTables& tables, TlCameraSetUpState* state);
// Picks class and table index again (the state's hue split and naming
// style stay); false when none can be chosen.
bool TlChooseTableIndex(const TlCameraProfileParams& params, const TlCameraTables& tables,
                        TlCameraSetUpState* state);
