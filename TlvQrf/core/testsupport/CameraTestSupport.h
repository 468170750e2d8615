// What the camera profile tests share: parameters by kind, mode and source,
// and the synthetic data files of a sandboxed profiles folder.
#pragma once

#include "camera/TlCameraProfileParams.h"
#include "colour/TlWorkingProfiles.h"
#include "MakeCameraTables/TlCameraTablesMaker.h"
#include "MakeProfiles/TlProfileMaker.h"
#include "support/CommonFilesSandbox.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace camera_test {

inline TlCameraProfileParams Params(std::int32_t kind, std::int32_t mode, bool fromSettings, std::int32_t source)
{
    TlCameraProfileParams p;
    p.cameraKind = kind;
    p.colourMode = mode;
    p.colourModeFromSettings = fromSettings ? 1 : 0;
    p.wbSource = source;
    return p;
}

// A synthetic profile of the profiles folder, as the install step makes it.
inline std::string ProfileBytes(const char* name)
{
    std::vector<std::uint8_t> bytes;
    IKelvraError* error = TlBuildProfile(name, &bytes);
    EXPECT_EQ(error, nullptr) << name;
    IKelvraError::Release(error);
    return std::string(bytes.begin(), bytes.end());
}

// The base profiles, `TLsRGB.icm` and the generator's tables.
inline void WriteCameraData(const TempProfilesFolder& folder)
{
    for (const char* name : {"TLKX7_QRF.icm", "TLDBase_QRF.icm", "TLsRGB.icm"})
        folder.Write(name, ProfileBytes(name));
    std::unique_ptr<TlCameraTables> tables = TlBuildCameraTables();
    ASSERT_NE(tables, nullptr);
    folder.Write(kTlCameraTablesFile, TlSerialiseCameraTables(*tables));
}

// The camera data written into `folder`, which becomes the profiles folder,
// with sRGB in force as the RGB, CMYK and monitor profile.
inline void UseSrgbProfilesIn(const TempProfilesFolder& folder)
{
    WriteCameraData(folder);
    SetProfileFolder(folder.Path().c_str());
    const std::string srgb = folder.Path() + "TLsRGB.icm";
    SetWorkingProfiles(srgb.c_str(), srgb.c_str(), nullptr, srgb.c_str(), nullptr);
}

} // namespace camera_test
