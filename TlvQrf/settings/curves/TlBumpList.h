// The point lists of the bump curves: copying, comparing, and their records
// inside a stored form (three doubles each: x, y, z).
#pragma once

#include "settings/curves/TlBumpPoint.h"
#include "settings/record/TlStateReader.h"
#include "settings/record/TlStateWriter.h"

#include <cstdint>
#include <vector>

namespace TlBumpListLayout {
constexpr int kPointSize = 24;
}

// A deep copy; empty when it cannot be allocated.
std::vector<TlBumpPoint> CopyBumpPoints(const std::vector<TlBumpPoint>& source);

// Same count and every x, y and z exactly equal, in order.
bool SameBumpPoints(const std::vector<TlBumpPoint>& a, const std::vector<TlBumpPoint>& b);

void PutBumpPoints(CTlStateWriter& writer, const TlBumpPoint* points, std::size_t count);

// Reads `count` point records into `points`. False (and `points` empty) when
// the block does not hold them all: a count that claims more is a corrupt
// record. A list that cannot be allocated is left empty; its records are
// still passed.
bool GetBumpPoints(CTlStateReader& reader, std::int64_t count, std::vector<TlBumpPoint>& points);
