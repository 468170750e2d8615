// The save that an image job runs once its source is loaded and its
// attributes are prepared: writes the image of `target` to `targetPath`.
// The save code installs the real one; until then every save fails.
#pragma once

#include <cstdint>

class CTlvParamSet;
class IKelvraError;

struct STlImageSave {
    CTlvParamSet* target;
    const char* targetPath;
    std::uint32_t channelLayout;
    std::uint32_t fileFormat;
    std::uint32_t formatOption;
    bool directImage;
};

// 0 on success, else the save's failure code (2, 3 and 6 mean something to
// the job; see CImageJob::Save).
using TlImageSaveHook = int (*)(const STlImageSave& save);

// What the default hook answers.
constexpr int kTlImageSaveUnavailable = 1;

// Returns the hook installed before; null puts the default back.
TlImageSaveHook SetImageSaveHook(TlImageSaveHook hook);
// Runs the hook on a clean error slot (see below).
int RunImageSave(const STlImageSave& save);

// The error slot of the save running on this thread: the save and the
// export it runs leave the error chain of their failure here, and the job
// that ran the save takes it, to hand it on to the host instead of a bare
// code. Keep appends `error` (null adds nothing) while RunImageSave runs and
// releases it otherwise; Take hands the chain over (null when none was
// left) and empties the slot.
void KeepImageSaveError(IKelvraError* error);
IKelvraError* TakeImageSaveError();
