// The camera tone curves behind the dust map's tone tables: each block
// describes x(y), from a linear value y to an encoded value x (1 at the
// encoded white), in three joined segments. The blocks themselves are made
// by tools/MakeDustCurves (docs/dust-tables.md).
#pragma once

#include <cstdint>

// Curve ids 260, 1025 and 1026: a cubic up to y1, a power curve up to y2,
// a shifted power curve above.
struct TlDustCurveA {
    double c0, c1, c2, c3, a, g, b, c, d, e5, e, y1, y2;
};

// Curve ids 257, 258 and 259: a line from the foot up to o / 1800, power
// curves above; k0 sets the encoded white, s shifts the linear foot.
struct TlDustCurveB {
    double k[8];
    std::uint16_t s, o, p;
};

constexpr int kDustCurveBlocksA = 7;
constexpr int kDustCurveBlocksB = 9;

// The block lists: family A has one for curve id 1025 and one shared by
// 260 and 1026; family B one for all three of its ids.
extern const TlDustCurveA kDustCurvesA1025[kDustCurveBlocksA];
extern const TlDustCurveA kDustCurvesAShared[kDustCurveBlocksA];
extern const TlDustCurveB kDustCurvesB[kDustCurveBlocksB];

// Linear values are held in table units: y times 65535 / 2.275.
constexpr double kDustTableUnits = 28806.593406593405;

// x(y) of a block.
double DustCurveX(const TlDustCurveA& curve, double y);
double DustCurveX(const TlDustCurveB& curve, double y);
// Family B's linear foot, in units of y.
double DustCurveFoot(const TlDustCurveB& curve);
