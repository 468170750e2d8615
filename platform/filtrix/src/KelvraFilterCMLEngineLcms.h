// The LittleCMS side of the colour engine: one process-wide context whose
// error messages end up in the engine's error chains, opened profiles with
// the colour space their pixels have, and the engine's settings and
// transform cache (CKelvraFilterCMLEngine::CState).
#pragma once

#include "KelvraFilterCMLFormats.h"
#include "filtrix/KelvraFilterCMLEngine.h"
#include "kelvra/KelvraLock.h"

#include <lcms2.h>

#include <map>
#include <memory>
#include <mutex>
#include <utility>

constexpr KelvraTag kCmlEngineTag = KelvraFourCC('C', 'M', 'L', 'E');

cmsContext CmlContext();
// An error of `code` at `line` with `what` and the last LittleCMS message
// of this thread as its text.
IKelvraError* CmlFailure(long line, long code, const char* what);

// An open profile. For an LCh profile `handle` is a built-in Lab profile:
// the engine turns Lab into LCh itself.
struct CmlProfile {
    cmsHPROFILE handle = nullptr;
    CmlSpace space = CmlSpace::kNone;
    CmlProfile() = default;
    CmlProfile(const CmlProfile&) = delete;
    CmlProfile& operator=(const CmlProfile&) = delete;
    ~CmlProfile();
};
using CmlProfilePtr = std::shared_ptr<const CmlProfile>;

// Opens the profile at `path`: 1014 when there is no such file, 1010 when
// it is not a profile of a space the engine converts.
IKelvraError* CmlOpenProfile(const char* path, CmlProfilePtr* profile);

// True when both are matrix-shaper profiles of one space with the same
// colorants, tone curves and white: converting between them changes nothing
// whatever the intent, only their names differ.
bool CmlSameColorimetry(const CmlProfile& first, const CmlProfile& second);

// One conversion between two pixel formats; a null handle copies samples.
struct CmlTransform {
    cmsHTRANSFORM handle = nullptr;
    unsigned inputBits = 0;
    unsigned outputBits = 0;
    unsigned inputChannels = 0;
    unsigned outputChannels = 0;
    bool lchIn = false;  // input samples are LCh, the transform reads Lab doubles
    bool lchOut = false; // output samples are LCh, the transform writes Lab doubles
    CmlTransform() = default;
    CmlTransform(const CmlTransform&) = delete;
    CmlTransform& operator=(const CmlTransform&) = delete;
    ~CmlTransform();
};
using CmlTransformPtr = std::shared_ptr<const CmlTransform>;

struct CKelvraFilterCMLEngine::CState {
    enum { kSource, kDestination, kProof, kProfileCount };
    KelvraFile paths[kProfileCount];
    CmlProfilePtr profiles[kProfileCount];
    bool proofMode = false;
    long intent = INTENT_PERCEPTUAL;

    // The settings of `other`, with no transform made yet.
    static IKelvraError* CopySettings(const CState& other, std::shared_ptr<CState>* copy);
    bool HasProfiles() const { return profiles[kSource] && profiles[kDestination]; }
    bool ProofActive() const;
    // Same source and destination (by path or by colorimetry) and no proof:
    // samples are only copied.
    bool IsIdentity() const;
    IKelvraError* Convert(const void* input, KelvraPixelFormat inputFormat, void* output,
                          KelvraPixelFormat outputFormat, long count);

private:
    IKelvraError* FindTransform(KelvraPixelFormat inputFormat, KelvraPixelFormat outputFormat,
                                CmlTransformPtr* transform);
    IKelvraError* MakeTransform(CmlSpace inputSpace, unsigned inputBits, CmlSpace outputSpace,
                                unsigned outputBits, CmlTransformPtr* transform) const;

    CKelvraLock m_lock; // guards the cache; transforms are made under it
    std::map<std::pair<KelvraPixelFormat, KelvraPixelFormat>, CmlTransformPtr> m_transforms;
};
