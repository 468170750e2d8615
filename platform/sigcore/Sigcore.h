// The signal-processing library "Sigcore.dll": develops the raw mosaics of
// the signal-processing cameras into RGB. The raw-image library loads it at
// run time and finds its one entry point, "sig_proc_ex", by name.
#pragma once

#include <cstdint>

// Asked during a run with (rows done, rows in all) and the caller's context;
// answering 0 cancels the run.
using SigcoreProgressFn = int(__stdcall*)(int done, int total, void* context);

// Raw layouts: which sensor and which margins the mosaic has.
enum : int {
    // Complementary YCGM sensor; 2 rows of margin above and below.
    kSigcoreLayoutYcgm = 1,
    // BGGR sensor; 3 rows of margin above and below.
    kSigcoreLayoutBggr = 2,
};

// Results of a run.
enum : int {
    kSigcoreCancelled = 0,
    kSigcoreDone = 1,
    kSigcoreBadArguments = 3,
};

// Tone codes: the output curve of a run. Any other code renders as the
// standard curve.
enum : int {
    kSigcoreToneStandard = 0, // the sRGB curve
    kSigcoreToneAsShot = 1,   // as the camera was set: the sRGB curve too
    kSigcoreToneDeeper = 2,   // the sRGB curve with deeper mid-tones
    kSigcoreToneBrighter = 3, // the sRGB curve with brighter mid-tones
};

// Develop parameters, in the order the call takes them.
struct SigcoreParams {
    int redGain;      // 1/128 units
    int blueGain;     // 1/128 units
    int sharpenCode;  // not used by this version
    int toneCode;     // the output curve (above)
    int exposure;     // 1/256 units
    int toneValue;    // not used by this version
};

// mosaic: width x (lastRow + 1) 16-bit samples holding 12-bit values.
// output: (width - 16) x (rows - margins) pixels of three 16-bit values
// holding 12-bit data, rendered through the tone code's curve. makerTable may be null; this version reads none of it.
using SigProcExFn = int(__stdcall*)(const std::uint16_t* mosaic, int lastRow, int width, int redGain, int blueGain,
                                    int sharpenCode, int toneCode, int exposure, int toneValue,
                                    const std::uint8_t* makerTable, SigcoreProgressFn progress, void* context,
                                    std::uint16_t* output, int layout);

// Columns of margin on each side, and rows above and below, of a layout;
// false for a layout the library does not know.
inline bool SigcoreMargins(int layout, int* columns, int* rows)
{
    if (layout != kSigcoreLayoutYcgm && layout != kSigcoreLayoutBggr)
        return false;
    *columns = 8;
    *rows = layout == kSigcoreLayoutYcgm ? 2 : 3;
    return true;
}
