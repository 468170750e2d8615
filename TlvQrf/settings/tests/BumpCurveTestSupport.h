// Helpers for the bump-curve tests: stored blocks and calibration files built
// field by field from their layouts, and curves filled through them.
#pragma once

#include "StateTestSupport.h"

#include "settings/curves/TlLinearCurve.h"
#include "settings/curves/TlPointCurve.h"
#include "settings/record/TlStateIds.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace tlstate_test {

using Points = std::vector<TlBumpPoint>;

template <typename T>
void Append(Bytes& bytes, T value)
{
    const auto* raw = reinterpret_cast<const unsigned char*>(&value);
    bytes.insert(bytes.end(), raw, raw + sizeof value);
}

inline void AppendPoints(Bytes& bytes, const Points& points)
{
    for (const TlBumpPoint& p : points) {
        Append(bytes, p.x);
        Append(bytes, p.y);
        Append(bytes, p.z);
    }
}

inline Bytes ElementHeader(const TlGuid& id, std::int32_t elementId)
{
    Bytes bytes;
    Append(bytes, id);
    Append(bytes, elementId);
    return bytes;
}

// The hue curve as written: header, 0xFF, u16 2, int32 count, points, offset, int32 scale.
inline Bytes PointCurveBlock(const Points& points, double offset, std::int32_t scale, std::int32_t elementId = 3)
{
    Bytes bytes = ElementHeader(kTlIdPointCurve, elementId);
    Append<std::uint8_t>(bytes, 0xFF);
    Append<std::uint16_t>(bytes, 2);
    Append<std::int32_t>(bytes, std::int32_t(points.size()));
    AppendPoints(bytes, points);
    Append(bytes, offset);
    Append(bytes, scale);
    return bytes;
}

// A calibration file: u16 1, u16 count, points, offset, reserved byte.
inline Bytes CalibrationBytes(const Points& points, double offset)
{
    Bytes bytes;
    Append<std::uint16_t>(bytes, 1);
    Append<std::uint16_t>(bytes, std::uint16_t(points.size()));
    AppendPoints(bytes, points);
    Append(bytes, offset);
    Append<std::uint8_t>(bytes, 0);
    return bytes;
}

// The chroma-by-hue curve as written: the header and a calibration file's bytes.
inline Bytes LinearCurveBlock(const Points& points, double offset, std::int32_t elementId = 2)
{
    Bytes bytes = ElementHeader(kTlIdLinearCurve, elementId);
    const Bytes body = CalibrationBytes(points, offset);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

inline CTlPointCurve MakePointCurve(const Points& points, double offset = 0, std::int32_t scale = 1)
{
    CTlPointCurve curve(nullptr, 3);
    LoadBytes(curve, PointCurveBlock(points, offset, scale));
    return curve;
}

// The edited curve from a stored block, the calibration curve from a file's bytes.
inline CTlLinearCurve MakeLinearCurve(const Points& edited, double firstOffset, const Points& calibration = {},
                                      double secondOffset = 0)
{
    CTlLinearCurve curve(nullptr, 2);
    LoadBytes(curve, LinearCurveBlock(edited, firstOffset));
    const Bytes file = CalibrationBytes(calibration, secondOffset);
    curve.ParseCalibration(file.data(), file.size());
    return curve;
}

inline bool SamePoints(const Points& a, const Points& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(TlBumpPoint)) == 0);
}

} // namespace tlstate_test
