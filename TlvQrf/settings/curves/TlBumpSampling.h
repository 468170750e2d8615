// Evaluation of a bump curve and its sampling into tables, shared by the hue
// curve and the chroma-by-hue curve. The points form a ring on the hue
// circle: before the first stands the last shifted by -1, after the last the
// first shifted by +1, so bumps reach across the seam at 0/1.
#pragma once

#include "settings/curves/TlBumpPoint.h"

#include <cstdint>

// The curve value E(s) for positions that come in ascending order: the walk
// keeps the two points around the position and passes each point once per
// turn of the circle. Positions are taken modulo 1; one that falls below the
// previous one starts a new turn.
class CTlBumpRing {
public:
    CTlBumpRing(const TlBumpPoint* points, int count);

    double ValueAt(double position);

private:
    // Ring index k: -1 the last point one turn back, count the first point
    // one turn on, else the point itself.
    TlBumpPoint At(int k) const;

    const TlBumpPoint* m_points;
    int m_count;
    int m_next = 0;               // ring index of the point after the position
    double m_lastPosition = -1.0; // below every position of a turn
};

// One table entry before it is stored at the table's width.
struct TlTableEntry {
    std::int64_t integer; // stored by the integer widths, modulo their range
    double real;          // stored by the double width
    bool signedAroundMiddle; // the 8- and 16-bit widths add their middle (128, 32768)
};

// A double turned into an integer entry: truncated toward zero and
// saturated to the 64-bit range (NaN gives 0), so that no input overflows.
std::int64_t TlTruncateEntry(double value);

// Stores `entry` as entry `index` of a table of 1 (u8), 2 (u16), 4 (int32)
// or 8 (double) bytes per entry; other widths store nothing.
void TlStoreTableEntry(void* table, int bytesPerEntry, int index, const TlTableEntry& entry);

// The table a sampler fills: `count` entries at start + (end - start) * j / count.
struct TlBumpTableRequest {
    void* table;
    int bytesPerEntry;
    int count;
    double start;
    double end;
};

// Samples the curve of `points` into the table; `toEntry(s, E)` turns a
// position and its curve value into the entry. Writes nothing for a count of
// 0 or less (or no table) and returns the count.
template <typename ToEntry>
int TlSampleBumpCurve(const TlBumpTableRequest& request, const TlBumpPoint* points, int pointCount,
                      ToEntry toEntry)
{
    if (request.count <= 0 || request.table == nullptr)
        return request.count;
    CTlBumpRing ring(points, pointCount);
    const double span = request.end - request.start;
    for (int j = 0; j < request.count; ++j) {
        // count, not count - 1: the samples stop short of `end`, as befits a ring.
        const double s = request.start + span * j / request.count;
        TlStoreTableEntry(request.table, request.bytesPerEntry, j, toEntry(s, ring.ValueAt(s)));
    }
    return request.count;
}
