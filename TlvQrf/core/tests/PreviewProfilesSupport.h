// The profiles a preview chain's colour stages convert through, written into
// a temporary profiles folder and put in force as the library's working
// profiles (the RGB, CMYK and monitor profiles all sRGB), with neutral
// calibrations for the LCh filters.
#pragma once

#include "CameraTestSupport.h"
#include "MakeCalibration/TlCalibrationMaker.h"

#include "colour/TlWorkingProfiles.h"
#include "settings/curves/TlLinearCurve.h"

inline void InstallPreviewProfiles(const TempProfilesFolder& folder)
{
    camera_test::WriteCameraData(folder);
    for (const char* name : {"TLLab.icm", "TLLch2.icm", "TLAdobe.icm", "TLGrayG22.icm", "TLNTSC.icm"})
        folder.Write(name, camera_test::ProfileBytes(name));
    for (const char* name : {kTlChromaBoostCalibrationFile, kTlLchCalibrationFile})
        EXPECT_TRUE(TlWriteCalibrationFile(folder.Path() + name, TlNeutralCalibration())) << name;
    SetProfileFolder(folder.Path().c_str());
    SetGeneratedProfilePrefix("Tlb_");
    const std::string srgb = folder.Path() + "TLsRGB.icm";
    SetWorkingProfiles(srgb.c_str(), srgb.c_str(), nullptr, srgb.c_str(), nullptr);
}
