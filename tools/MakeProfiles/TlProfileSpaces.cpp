// Matrix and tone-curve profiles of the published RGB and grey spaces.
#include "TlProfileBuild.h"

// IEC 61966-2-1: D65, the Rec. 709 primaries and the sRGB curve.
const TlRgbSpace kTlSrgbSpace = {
    {0.3127, 0.3290, 1.0},
    {{0.64, 0.33, 1.0}, {0.30, 0.60, 1.0}, {0.15, 0.06, 1.0}},
    4,
    {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045},
};

// Adobe RGB (1998): D65, its primaries and a gamma of 563/256.
const TlRgbSpace kTlAdobeRgbSpace = {
    {0.3127, 0.3290, 1.0},
    {{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}},
    1,
    {563.0 / 256.0},
};

// NTSC (1953): illuminant C, the FCC primaries and a gamma of 2.2.
const TlRgbSpace kTlNtscSpace = {
    {0.3101, 0.3162, 1.0},
    {{0.67, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.14, 0.08, 1.0}},
    1,
    {2.2},
};

IKelvraError* TlBuildRgbProfile(const TlProfileSpec& spec, TlBytes* bytes)
{
    const TlRgbSpace& space = *spec.rgb;
    cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, space.curveType, space.curve);
    if (!curve)
        return TlProfileFailure(__LINE__, "no curve");
    cmsToneCurve* curves[3] = {curve, curve, curve};
    TlProfile profile(cmsCreateRGBProfile(&space.white, &space.primaries, curves));
    cmsFreeToneCurve(curve);
    if (!profile.Get())
        return TlProfileFailure(__LINE__, "no RGB profile");
    return TlSaveProfile(profile.Get(), spec.description, bytes);
}

// Grey with a gamma of 2.2 and the D50 white of the profile connection space.
IKelvraError* TlBuildGreyProfile(const TlProfileSpec& spec, TlBytes* bytes)
{
    cmsToneCurve* curve = cmsBuildGamma(nullptr, 2.2);
    if (!curve)
        return TlProfileFailure(__LINE__, "no curve");
    TlProfile profile(cmsCreateGrayProfile(cmsD50_xyY(), curve));
    cmsFreeToneCurve(curve);
    if (!profile.Get())
        return TlProfileFailure(__LINE__, "no grey profile");
    return TlSaveProfile(profile.Get(), spec.description, bytes);
}
