// The export's course: the preparation, then one resumable step at a time,
// the step state in the save state choosing what the next step does.
#pragma once

#include "kelvra/KelvraTypes.h"

#include <cstdint>

class CTlvParamSet;
class IKelvraError;

// The export's steps.
enum TlExportStepState {
    kTlExportDevelop = 0,     // develop the source, build and begin the chain
    kTlExportRunChain = 1,
    kTlExportNextPlugin = 2,
    kTlExportRunPlugin = 3,
    kTlExportBeginRendition = 4,
    kTlExportRunRendition = 5,
    kTlExportSetupWrite = 6,
    kTlExportWrite = 7,
    kTlExportEnded = 8,
};

// What one step works with and what it leaves.
struct STlExportStep {
    CTlvParamSet& params;
    bool directImage;
    IKelvraError* errors = nullptr; // the step's error chain
    bool ended = false;             // the export ended, well or not
};

// 0, or the result; on failure the save state is released and the file at
// `targetPath` deleted.
int PrepareExport(CTlvParamSet* params, const char* targetPath, std::uint32_t channelLayout,
                  std::uint32_t fileFormat, std::uint32_t formatOption);
// One step; `done` becomes 1 once the export ended, successfully or not.
int ExportStep(CTlvParamSet& params, int* done, bool directImage);

// The step groups; each returns 0 or the result that ends the export.
int StepDevelop(STlExportStep& step);
int StepRunChain(STlExportStep& step);
int StepNextPlugin(STlExportStep& step);
int StepRunPlugin(STlExportStep& step);
int StepBeginRendition(STlExportStep& step);
int StepRunRendition(STlExportStep& step);
int StepSetupWrite(STlExportStep& step);
int StepWrite(STlExportStep& step);

// The working-profile slot the main image is converted to when the output
// profile is asked for, by its pixel format and the channel layout; kNoSlot
// for none, kBadColourSpace for a format the export cannot write. 8-bit
// grey has no working slot of its own: its data stays in the grey profile it
// was developed into.
enum : int { kNoSlot = -1, kBadColourSpace = -2 };
int ExportWorkingSlot(KelvraPixelFormat format, std::uint32_t layout);

// Fills the save state's image list: the thumbnail, the 640 rendition when
// `count` is above 1, then the source's own entry (or the attached bitmap)
// at `count`. The list has room for two renditions whatever the saver asks;
// answers the count used.
int FillExportImageList(const CTlvParamSet& params, int count);

// Ends the export with `result`.
int EndExport(STlExportStep& step, int result);
// Ends it with an error of `text` at `line` in the step's chain.
int EndExport(STlExportStep& step, int result, long line, const char* text);
// Ends it with the error `error` (released here when it is not kept).
int EndExport(STlExportStep& step, int result, IKelvraError* error);
// Ends it with result 3 and an out-of-memory error at `line`.
int EndExportNoMemory(STlExportStep& step, long line);
// The next step is `next`.
int GoTo(TlExportStepState next);
