// Helpers shared by the tone-curve tests: tone curves made from stored
// forms with chosen fields, and table evaluation into doubles.
#pragma once

#include "LutStoredGoldens.h"
#include "StateTestSupport.h"
#include "settings/curves/TlLut.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace lut_test {

using tlstate_test::Bytes;

// Offsets of the fields in the written tone-curve form.
enum : std::size_t {
    kAtBlack = 59,
    kAtWhite = 67,
    kAtGamma = 75,
    kAtOutputLow = 83,
    kAtOutputHigh = 91,
    kAtCount = 99,
    kAtPoints = 103,
};

inline void PutDouble(Bytes& bytes, std::size_t offset, double value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

struct SField {
    std::size_t offset;
    double value;
};

// A new tone curve's stored form with some fields changed.
inline Bytes NewLutBytes(std::initializer_list<SField> fields)
{
    Bytes bytes = lut_stored_test::kLutStoredNewMaster;
    for (const SField& field : fields)
        PutDouble(bytes, field.offset, field.value);
    return bytes;
}

// Loads such a form into `lut` (keeping its owner and element id).
inline void LoadFields(CTlLut& lut, std::initializer_list<SField> fields)
{
    Bytes bytes = NewLutBytes(fields);
    const int id = lut.GetElementId();
    tlstate_test::LoadBytes(lut, bytes);
    lut.SetElementId(id);
}

struct SKnot {
    double x;
    double y;
};
using Knots = std::vector<SKnot>;

// A tone curve loaded from a stored form with these points and fields (a
// black channel with element id 1); its current point is then 0.
inline CTlLut LutWithPoints(const Knots& points, std::initializer_list<SField> fields = {})
{
    const Bytes form = NewLutBytes(fields);
    Bytes bytes(form.begin(), form.begin() + kAtCount);
    const auto append = [&bytes](const auto& value) {
        const auto* raw = reinterpret_cast<const unsigned char*>(&value);
        bytes.insert(bytes.end(), raw, raw + sizeof value);
    };
    append(static_cast<std::int32_t>(points.size()));
    for (const SKnot& p : points) {
        append(p.x);
        append(p.y);
    }
    bytes.insert(bytes.end(), form.end() - sizeof(double), form.end()); // brightness
    const TlLutColour black = {0, 0, 0};
    CTlLut lut(nullptr, 1, black, black, black);
    tlstate_test::LoadBytes(lut, bytes);
    lut.SetCurrentPoint(0);
    return lut;
}

// The curve at `positions`, as doubles.
inline std::vector<double> EvaluateAt(CTlLut& lut, double start, double end, int count, int flags,
                                      double power = 1.0)
{
    std::vector<double> table(static_cast<std::size_t>(count), -1.0);
    lut.Evaluate(table.data(), 8, count, 65536, start, end, flags, power);
    return table;
}

inline double EvaluateOne(CTlLut& lut, double position, int flags)
{
    return EvaluateAt(lut, position, position, 1, flags)[0];
}

} // namespace lut_test
