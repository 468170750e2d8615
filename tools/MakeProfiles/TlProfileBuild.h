// What the profile builders share: the profile handle they build, saving
// with our description and notice, and sampled table stages.
#pragma once

#include "TlProfileMaker.h"

#include <lcms2.h>

#include <initializer_list>

using TlBytes = std::vector<std::uint8_t>;

// A published RGB space: white point, primaries (CIE xy) and the curve as
// a LittleCMS parametric curve (type 1: gamma; type 4: the sRGB form).
struct TlRgbSpace {
    cmsCIExyY white;
    cmsCIExyYTRIPLE primaries;
    int curveType;
    double curve[5];
};

// What a builder is asked for.
struct TlProfileSpec {
    const char* fileName;
    const char* description;
    const TlRgbSpace* rgb; // RGB builders only
};

IKelvraError* TlBuildRgbProfile(const TlProfileSpec& spec, TlBytes* bytes);
IKelvraError* TlBuildGreyProfile(const TlProfileSpec& spec, TlBytes* bytes);
IKelvraError* TlBuildLabProfile(const TlProfileSpec& spec, TlBytes* bytes);
IKelvraError* TlBuildLChProfile(const TlProfileSpec& spec, TlBytes* bytes);
IKelvraError* TlBuildCmykProfile(const TlProfileSpec& spec, TlBytes* bytes);
IKelvraError* TlBuildCameraBaseProfile(const TlProfileSpec& spec, TlBytes* bytes);

extern const TlRgbSpace kTlSrgbSpace;
extern const TlRgbSpace kTlAdobeRgbSpace;
extern const TlRgbSpace kTlNtscSpace;

// An error of this tool: code 1007 with `what` as its text.
IKelvraError* TlProfileFailure(long line, const char* what);

// Owns a profile while it is built.
class TlProfile {
public:
    explicit TlProfile(cmsHPROFILE handle) : m_handle(handle) {}
    ~TlProfile()
    {
        if (m_handle)
            cmsCloseProfile(m_handle);
    }
    TlProfile(const TlProfile&) = delete;
    TlProfile& operator=(const TlProfile&) = delete;
    cmsHPROFILE Get() const { return m_handle; }

private:
    cmsHPROFILE m_handle;
};

// Makes the profile ICC version 2.1 (the version whose text tags the
// library's description reader understands), writes the description and
// our notice, and saves it.
IKelvraError* TlSaveProfile(cmsHPROFILE profile, const char* description, TlBytes* bytes);
// Saves the profile as it stands. The creation date in the header is fixed,
// so that the same profile always gives the same bytes.
IKelvraError* TlSaveProfileAsIs(cmsHPROFILE profile, TlBytes* bytes);

// A table stage of `grid` points per input, each point filled by `sampler`.
cmsStage* TlSampledTable(unsigned grid, unsigned inputs, unsigned outputs, cmsSAMPLER16 sampler, void* cargo);
// A stage of `channels` identity curves tabulated with `entries` entries.
cmsStage* TlIdentityCurves(unsigned channels, unsigned entries);
// Builds a pipeline of the stages (taking them over; a null stage fails)
// and writes it as tag `tag`.
IKelvraError* TlWriteTables(cmsHPROFILE profile, cmsTagSignature tag, unsigned inputs, unsigned outputs,
                            std::initializer_list<cmsStage*> stages);

// The 16-bit Lab encoding of ICC version 2 table tags (L 100 at 0xFF00).
void TlEncodeLabV2(const cmsCIELab& lab, cmsUInt16Number out[3]);
cmsCIELab TlDecodeLabV2(const cmsUInt16Number in[3]);

// sRGB (0..1 doubles) to and from Lab (D50) through LittleCMS's own sRGB.
class TlSrgbLab {
public:
    TlSrgbLab();
    ~TlSrgbLab();
    TlSrgbLab(const TlSrgbLab&) = delete;
    TlSrgbLab& operator=(const TlSrgbLab&) = delete;
    bool IsReady() const { return m_toLab && m_fromLab; }
    cmsCIELab ToLab(const double rgb[3]) const;
    // Clipped to 0..1.
    void FromLab(const cmsCIELab& lab, double rgb[3]) const;

private:
    cmsHTRANSFORM m_toLab = nullptr;
    cmsHTRANSFORM m_fromLab = nullptr;
};
