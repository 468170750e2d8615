// The colour-space filter ('CSpc'): brings its source to another colour
// model, another sample depth, or both.
//
// Space: kColorSpaceKeep (0) keeps the source's colour model,
// kColorSpaceGrey (1) makes grey, kColorSpaceRGB (2) makes RGB.
// Depth: kColorDepthKeep (0) keeps the source's, kColorDepth8 (1) makes
// 8-bit samples, kColorDepth16 (2) 16-bit samples.
// Depths convert exactly: v8 = (v16 x 255 + 32767) / 65535, v16 = v8 x 257,
// so 8 -> 16 -> 8 gives every value back. Models: grey to RGB repeats the
// grey; RGB to grey weighs 0.299 R + 0.587 G + 0.114 B; CMYK to RGB takes
// (1 - C)(1 - K) and so on per channel (no colour management: a preview's
// approximation); CMYK to grey goes through RGB. Keeping the model works
// on every format of 8- or 16-bit samples; a change of model needs grey,
// RGB or CMYK data, else the output format is refused with 1010. A new
// filter keeps both, passing its source on unchanged.
#pragma once

#include "filtrix/KelvraFilterBase.h"
#include "kelvra/KelvraLock.h"

#include <mutex>

enum : long {
    kColorSpaceKeep = 0,
    kColorSpaceGrey = 1,
    kColorSpaceRGB = 2,
};

enum : long {
    kColorDepthKeep = 0,
    kColorDepth8 = 1,
    kColorDepth16 = 2,
};

class CKelvraFilterColorSpace : public CKelvraFilterBase {
public:
    static constexpr KelvraTag kTag = KelvraFourCC('C', 'S', 'p', 'c');

    explicit CKelvraFilterColorSpace(IKelvraManager* manager);

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;

    // Values outside the enumerations give 1008 and change nothing. A new
    // output format is announced with code 2, then code 0.
    IKelvraError* SetOutputColorSpace(long space, long depth, bool notify);
    void GetOutputColorSpace(long* space, long* depth) const;

    IKelvraError* GetFilteredColorSpace(IKelvraDataSource* const* sources, long count,
                                        KelvraPixelFormat* format) override;
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

private:
    // The output format for sources of `input`; 1010 when it cannot be made.
    IKelvraError* OutputFor(KelvraPixelFormat input, KelvraPixelFormat* output) const;

    mutable CKelvraLock m_lock;
    long m_space = kColorSpaceKeep;
    long m_depth = kColorDepthKeep;
};
