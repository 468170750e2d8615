// Makes the synthetic tone-curve blocks of the dust map (docs/dust-tables.md)
// from the two given blocks, and writes them as the library's source file
// "TlDustCurveBlocks.cpp".
#pragma once

#include "filters/dust/TlDustCurveBlocks.h"

#include <string>

struct TlDustCurveSet {
    TlDustCurveA a1025[kDustCurveBlocksA];
    TlDustCurveA aShared[kDustCurveBlocksA];
    TlDustCurveB b[kDustCurveBlocksB];
};

TlDustCurveSet MakeDustCurveSet();

// Empty when the block's segments join and x rises over the whole linear
// range the tables reach; else what is wrong.
std::string CheckDustCurve(const TlDustCurveA& curve);
std::string CheckDustCurve(const TlDustCurveB& curve);

// The source file that holds the set.
std::string FormatDustCurveSet(const TlDustCurveSet& set);

// Writes "TlDustCurveBlocks.cpp" into `folder`, after checking every block.
bool TlWriteDustCurveBlocks(const char* folder, std::string* failure);
