// What the colour-engine and colour-filter tests share: the profiles, made
// once per test program by the profile tool's own code into a temporary
// folder, engines between them, and Lab and LCh sample decoding.
#pragma once

#include "FilterTestSupport.h"

#include "MakeProfiles/TlProfileMaker.h"
#include "filtrix/KelvraFilterCMLEngine.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

inline const TempFolder& ColourProfilesFolder()
{
    static const TempFolder folder;
    static const bool written = [] {
        IKelvraError* error = TlWriteProfiles(folder.Path().c_str());
        const bool ok = error == nullptr;
        ExpectOk(error, "profiles");
        return ok;
    }();
    EXPECT_TRUE(written);
    return folder;
}

inline KelvraFile ColourProfile(const char* name)
{
    return name[0] ? KelvraFile(ColourProfilesFolder().File(name).c_str()) : KelvraFile();
}

// An engine from `source` to `destination` (file names in the folder),
// proofing through the destination as engines are set up for the chains.
inline void SetUpEngine(CKelvraFilterCMLEngine& engine, const char* source, const char* destination,
                        long intent = 1)
{
    ExpectOk(engine.SetProfiles(ColourProfile(source), ColourProfile(destination), ColourProfile(destination)),
             "profiles");
    ExpectOk(engine.SetProofMode(true), "proof");
    ExpectOk(engine.SetRenderingIntent(intent), "intent");
}

struct LabValue {
    double L, a, b;
};

// Lab16 samples: the ICC version 4 encoding.
inline LabValue DecodeLab16(const std::uint16_t samples[3])
{
    return {samples[0] * 100.0 / 65535.0, samples[1] / 257.0 - 128.0, samples[2] / 257.0 - 128.0};
}

inline double DeltaE(const LabValue& x, const LabValue& y)
{
    return std::sqrt((x.L - y.L) * (x.L - y.L) + (x.a - y.a) * (x.a - y.a) + (x.b - y.b) * (x.b - y.b));
}

// Hue difference in degrees, the short way round.
inline double HueDistance(double x, double y)
{
    const double d = std::fabs(std::fmod(x - y + 540.0, 360.0) - 180.0);
    return d;
}

// Tests that look at a failure's code.
inline long CauseCode(IKelvraError* error)
{
    const IKelvraError* cause = error ? error->FindCause() : nullptr;
    const long code = cause ? cause->GetCode() : 0;
    IKelvraError::Release(error);
    return code;
}
