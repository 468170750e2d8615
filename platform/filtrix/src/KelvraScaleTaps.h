// Where each output pixel of a scaled axis reads the source, and with which
// weights: worked out once per tile and axis so that the kernels only
// multiply and add along whole rows.
#pragma once

#include <vector>

enum class KelvraResampling {
    Nearest, // the source pixel under the output pixel's centre
    Linear,  // the two source pixels around the output pixel's centre
    Box,     // every source pixel the output pixel covers, by the area covered
};

// The resampling of one axis: method 0 nearest; 1 linear; 2 box when the
// axis shrinks, else linear.
KelvraResampling KelvraAxisResampling(long method, long sourceSize, long outputSize);

struct KelvraScaleTaps {
    // Source positions [sourceBegin, sourceEnd) hold every tap.
    long sourceBegin = 0;
    long sourceEnd = 0;
    // Per output position: its first source position, its tap count and
    // where its weights start in `weights` (they sum to 1).
    std::vector<long> first;
    std::vector<long> count;
    std::vector<long> offset;
    std::vector<float> weights;

    long Size() const { return long(first.size()); }
};

// The taps of output positions [begin, end) of an axis that maps
// `sourceSize` pixels onto `outputSize`, pixel centres onto pixel centres.
// Throws std::bad_alloc when memory runs out.
KelvraScaleTaps KelvraMakeTaps(KelvraResampling resampling, long sourceSize, long outputSize, long begin, long end);
