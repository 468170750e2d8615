// The arithmetic of the look-up-table filter: how tables of any width meet
// samples of 8 or 16 bits, worked out once per change into direct lookups
// so that a tile costs one table read per sample.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// The tables a look-up-table filter holds: entries of `outBits` bits, each
// table 2^inBits long; one table for every channel, or one per channel.
struct LutTables {
    long inBits = 0;
    long outBits = 0;
    std::vector<std::vector<std::uint16_t>> tables;

    bool Empty() const { return tables.empty(); }
    bool operator==(const LutTables& other) const
    {
        return inBits == other.inBits && outBits == other.outBits && tables == other.tables;
    }
    bool operator!=(const LutTables& other) const { return !(*this == other); }
};

// Depth of the filter's output samples: 8 for tables of at most 8 output
// bits, else 16.
unsigned LutOutputDepth(const LutTables& tables, unsigned inputDepth);

// The table entry that a sample of `inputDepth` bits reads in a table of
// `inBits` bits: narrower tables take the sample's top bits (a 12-bit table
// on 16-bit data reads entry sample >> 4), wider tables the sample spread
// over their range (a 16-bit table on 8-bit data reads entry sample x 257).
unsigned LutIndex(unsigned sample, unsigned inputDepth, unsigned inBits);

// Direct lookups for one input depth: entry v of a plane's table is the
// output sample for input sample v.
struct LutPlan {
    unsigned inputDepth = 8;
    unsigned outputDepth = 8;
    long planes = 0;
    std::vector<std::vector<std::uint16_t>> planeTables;
};

// Plane p reads table p (table 0 when there is one table); planes beyond
// the tables, and every plane when there are none, keep their value
// (brought to the output depth). Throws std::bad_alloc.
std::shared_ptr<const LutPlan> MakeLutPlan(const LutTables& tables, unsigned inputDepth, long planes);

// Looks up `pixels` interleaved pixels of `in` into `out`.
void ApplyLutPlan(const LutPlan& plan, const std::uint8_t* in, std::uint8_t* out, long pixels);
