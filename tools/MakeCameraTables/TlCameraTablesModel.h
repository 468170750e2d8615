// What the table builders share: the lights the rows stand for.
//
// Sets A and B: rows 0 to 6 are 3300 K; then blocks of 42 (one per
// colour-mode group) of runs of 7 (one row per tone compensation): 5000 K,
// 7000 K, 5000 K lamp 2, 5000 K lamp 1, flash, 3300 K. Set C: the second
// half's rows 0 to 97 follow the sets' runs (blocks of 42, then flash at 84
// to 90 and lamp 1 at 91 to 97); the first half, and the second half's rows
// from 98, go from 3300 K at row 0 to 7000 K at row 150, with flash at 84 to
// 90 and lamp 1 at 91 to 97.
#pragma once

#include "camera/TlCameraTables.h"

struct TlLight {
    double kelvin;
    int subMode; // 0 daylight-like, 1 and 2 lamps, 3 flash
};

// The first row of a run in sets A and B.
int TlSetRunRow(int group, int run);

void TlFillMatrixTables(TlCameraTables& tables);
void TlFillIndexTables(TlCameraTables& tables);
