// The save that an image job runs once its source is loaded and its
// attributes are prepared: writes the image of `target` to `targetPath`.
// The save code installs the real one; until then every save fails.
#pragma once

#include <cstdint>

class CTlvParamSet;

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
int RunImageSave(const STlImageSave& save);
