// How a camera model, a preset and a temperature pick the coefficients of
// the temperature-to-gain conversion. Internal to the white-balance code.
#pragma once

#include <cstdint>

namespace TlWhiteBalanceDetail {

// Light-source presets fall into four coefficient groups.
enum class PresetGroup { A, B, C, D };

// Camera models that have their own coefficients; every other model code
// uses the `Other` rows.
enum class CameraFamily { Model260, Model513And514, Model515, Model516, Model1025, Model1026, Other };

// c0 + r × (c1 + r × (c2 + r × c3)). Linear and quadratic formulas leave the
// higher coefficients 0, which changes no result.
struct Polynomial {
    double c0;
    double c1;
    double c2;
    double c3;
};

constexpr Polynomial Linear(double intercept, double slope) { return {intercept, slope, 0.0, 0.0}; }
constexpr Polynomial Quadratic(double c0, double c1, double c2) { return {c0, c1, c2, 0.0}; }
constexpr Polynomial Cubic(double c0, double c1, double c2, double c3) { return {c0, c1, c2, c3}; }

// Each gain is its scale times its polynomial.
struct GainRow {
    Polynomial first;
    Polynomial second;
    double firstScale;
    double secondScale;
};

PresetGroup GroupOfPreset(std::int32_t preset);
CameraFamily FamilyOfModel(std::int16_t model);

// The row for a family, preset and temperature (mired = 1 000 000 / kelvin);
// null where the family has none (model 1025 with group C, which uses a
// stepped formula instead).
const GainRow* FindGainRow(CameraFamily family, std::int32_t preset, std::uint16_t kelvin, double mired);

} // namespace TlWhiteBalanceDetail
