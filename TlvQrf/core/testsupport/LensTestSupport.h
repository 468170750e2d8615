// The lens set-ups the fisheye stages are tried with: the picture's lens
// code and what the profiles folder holds as the lens's data file.
#pragma once

#include "DevelopTestSupport.h"
#include "MakeLensFile/TlLensFileMaker.h"
#include "support/CommonFilesSandbox.h"

#include <windows.h>

#include <string>

namespace develop_test {

struct SLensSetUp {
    const char* name;
    std::uint8_t lensCode;
    const char* file; // null: no lens file; empty: the real one
};

// In the order: unsupported lens, no file, rejected file, the real file.
constexpr SLensSetUp kLensSetUps[] = {
    {"lens not supported", 1, nullptr},
    {"no lens file", CTlLensInformation::kSupportedLensCode, nullptr},
    {"lens file rejected", CTlLensInformation::kSupportedLensCode, "not a lens file"},
    {"lens file read", CTlLensInformation::kSupportedLensCode, ""},
};

// Gives `picture` the set-up's lens and `folder` its lens file.
inline void ApplyLensSetUp(const SLensSetUp& setUp, const TempProfilesFolder& folder, SyntheticPicture& picture)
{
    DeleteFileA((folder.Path() + "Tl0080.lns").c_str());
    if (setUp.file != nullptr && *setUp.file != '\0') {
        folder.Write("Tl0080.lns", setUp.file);
    } else if (setUp.file != nullptr) {
        EXPECT_TRUE(TlWriteLensFile(folder.Path().c_str(), nullptr));
    }
    SetLensCode(picture.Tags(), setUp.lensCode);
}

} // namespace develop_test
