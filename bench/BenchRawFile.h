// What the development benchmarks share: a synthetic raw file of model 258,
// 6000 x 4000 unless the command line gives width and height, made in the
// environment's folder and opened through an image control.
// The environment points the Wine prefix's Common Files folder at a folder of
// its own while a benchmark runs, as the tests do: a program of the same
// prefix that starts meanwhile (a develop) finds its profiles there, and
// loses them when the benchmark ends. Run benchmarks beside such programs in
// a prefix of their own. Benchmarks of one prefix take turns: each waits for
// the one before it to end.
#pragma once

#include "DevelopEnvironment.h"

#include <string>

struct SBenchRaw {
    QrfRawOptions options;
    double megapixels = 0.0;
    double makeSeconds = 0.0;
    double openSeconds = 0.0; // load and initialisation
    SOpenedRaw opened;
};

// False, after saying why, when the file cannot be made or opened.
bool OpenBenchRaw(int argc, char** argv, const CDevelopEnvironment& environment, const char* name, SBenchRaw* raw);
