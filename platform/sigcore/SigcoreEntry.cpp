// The library's entry point: checks the call, then develops the mosaic row
// by row inside the layout's margins and renders it through the tone code's
// curve, asking the caller after each band whether to go on.
#include "SigcoreDemosaic.h"
#include "SigcoreTone.h"

namespace {

// Rows between two progress questions.
constexpr long kBandRows = 16;

bool ParamsUsable(const SigcoreParams& params)
{
    return params.redGain > 0 && params.blueGain > 0 && params.exposure > 0;
}

} // namespace

extern "C" __declspec(dllexport) int __stdcall sig_proc_ex(const std::uint16_t* mosaic, int lastRow, int width,
                                                           int redGain, int blueGain, int sharpenCode, int toneCode,
                                                           int exposure, int toneValue, const std::uint8_t*,
                                                           SigcoreProgressFn progress, void* context,
                                                           std::uint16_t* output, int layout)
{
    const SigcoreParams params{redGain, blueGain, sharpenCode, toneCode, exposure, toneValue};
    int marginColumns = 0;
    int marginRows = 0;
    if (!mosaic || !output || !SigcoreMargins(layout, &marginColumns, &marginRows) || !ParamsUsable(params))
        return kSigcoreBadArguments;
    const long height = long(lastRow) + 1;
    const long outWidth = long(width) - 2 * marginColumns;
    const long outHeight = height - 2 * marginRows;
    if (outWidth <= 0 || outHeight <= 0)
        return kSigcoreBadArguments;

    SigcoreToneTable tone;
    SigcoreBuildTone(toneCode, &tone);
    const SigcoreMosaic source{mosaic, width, height, layout};
    for (long row = 0; row < outHeight; ++row) {
        std::uint16_t* out = output + row * outWidth * 3;
        for (long column = 0; column < outWidth; ++column, out += 3) {
            SigcoreDevelopPixel(source, params, column + marginColumns, row + marginRows, out);
            for (int channel = 0; channel < 3; ++channel)
                out[channel] = tone.entry[out[channel]];
        }
        const bool bandEnds = (row + 1) % kBandRows == 0 || row + 1 == outHeight;
        if (bandEnds && progress && !progress(int(row + 1), int(outHeight), context))
            return kSigcoreCancelled;
    }
    return kSigcoreDone;
}
