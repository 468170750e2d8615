// The contents of a camera profile: the tone table and the 32 x 32 x 32
// table from camera RGB to CIELAB, in the generator's two styles.
#pragma once

#include "camera/TlCameraSetUp.h"

#include <cstdint>

constexpr int kTlToneEntries = 4096;
constexpr int kTlGridPoints = 32;
constexpr int kTlGridSize = kTlGridPoints * kTlGridPoints * kTlGridPoints;

// The second style serves naming style 1 and colour modes 5 and 6.
bool TlUsesSecondStyle(const TlCameraProfileParams& params, const TlCameraSetUpState& state);

// 4096 entries of 12-bit values, monotone whenever the coefficients are.
void TlMakeToneTable(const TlCameraProfileParams& params, const TlCameraSetUpState& state,
                     const TlCameraTables& tables, std::uint16_t* tone);

// The L, a and b planes (kTlGridSize entries each, the first input slowest).
void TlMakeGrid(const TlCameraProfileParams& params, const TlCameraSetUpState& state, const TlCameraTables& tables,
                const std::uint16_t* tone, std::uint16_t* planeL, std::uint16_t* planeA, std::uint16_t* planeB);
