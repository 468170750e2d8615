// One-dimensional mask kernels of the unsharp-mask filter.
#pragma once

#include <vector>

struct UsmKernel {
    long half = 0;               // taps reach from -half to +half
    std::vector<float> weights;  // 2 x half + 1 weights summing to 1
};

// How far a kernel of `method` and `radius` reaches (the settings are valid).
long UsmKernelHalfWidth(long method, double radius);
// Throws std::bad_alloc when memory runs out.
UsmKernel MakeUsmKernel(long method, double radius);
