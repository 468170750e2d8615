#include "UnsharpMaskKernel.h"

#include "filtrix/UnsharpMaskParams.h"

#include <algorithm>
#include <cmath>

namespace {

// Unnormalised weight of tap i.
double Tap(long method, double radius, long half, long i)
{
    switch (method) {
    case kUsmMaskBox:
        return 1.0;
    case kUsmMaskTent:
        return double(half + 1 - std::labs(i));
    default:
        return std::exp(-double(i) * double(i) / (2.0 * radius * radius));
    }
}

} // namespace

long UsmKernelHalfWidth(long method, double radius)
{
    switch (method) {
    case kUsmMaskBox:
        return std::max(1L, std::lround(radius));
    case kUsmMaskTent:
        return std::max(1L, std::lround(2.0 * radius));
    default:
        return std::max(1L, long(std::ceil(3.0 * radius)));
    }
}

UsmKernel MakeUsmKernel(long method, double radius)
{
    UsmKernel kernel;
    kernel.half = UsmKernelHalfWidth(method, radius);
    std::vector<double> taps;
    double sum = 0.0;
    for (long i = -kernel.half; i <= kernel.half; ++i) {
        taps.push_back(Tap(method, radius, kernel.half, i));
        sum += taps.back();
    }
    for (double tap : taps)
        kernel.weights.push_back(float(tap / sum));
    return kernel;
}
