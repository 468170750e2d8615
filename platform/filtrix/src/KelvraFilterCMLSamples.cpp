#include "KelvraFilterCMLSamples.h"

#include "FiltrixSamples.h"

void CmlCopySamples(const void* input, unsigned inputBits, void* output, unsigned outputBits, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        CmlPutSample(output, outputBits, i, FiltrixRescale(CmlGetSample(input, inputBits, i), inputBits, outputBits));
}
