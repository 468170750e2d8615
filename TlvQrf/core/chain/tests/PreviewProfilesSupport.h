// The profiles a preview chain's colour stages convert through, written into
// a temporary profiles folder and put in force as the library's working
// profiles (the RGB, CMYK and monitor profiles all sRGB), with neutral
// calibrations for the LCh filters.
#pragma once

#include "CameraTestSupport.h"
#include "MakeCalibration/TlCalibrationMaker.h"

#include "colour/TlWorkingProfiles.h"
#include "settings/curves/TlLinearCurve.h"
#include "settings/curves/TlLut.h"
#include "settings/holders/TlvSettingsHolder.h"

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

// LCH curves that darken the middle lightness: settings the LCH filter needs
// its calibration for.
inline void BendLightness(CTlvSettingsHolder& holder)
{
    holder.lchUsed = 1;
    CTlLut* lightness = holder.lch.AddLut(1, {1, 1, 1}, {0, 0, 0}, {1, 1, 1});
    ASSERT_NE(lightness, nullptr);
    lightness->AddPoint(0.5, 0.25);
}
