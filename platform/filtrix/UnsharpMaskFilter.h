// The unsharp-mask filter ('usm '): sharpens by adding back a share of the
// difference between each pixel and a blurred copy of its neighbourhood.
//
// Formats: LCh (0x08060203, 0x10060203) and Lab (0x10060204) sharpen the
// lightness plane only, the other planes pass untouched; on LCh the hue
// band (SetRange) chooses where sharpening applies. RGB sharpens each
// channel against its own mask, grey its one channel; the hue band does not
// apply there. Any other format fails the tile with error 1010. A hue
// sample h stands for the position h / (max + 1) on the circle [0, 1).
//
// The mask is blurred with the first radius along x and the second along
// y, so that on pixels that are not square (a picture still to be stretched
// vertically) it stays round in the finished picture.
//
// Per sharpened sample, with d = value - mask:
//   |d| < threshold:            unchanged
//   otherwise:                  value + power x band(h) x noise(d) x d
// where noise(d) = 1 while noise is affected, else d^2 / (d^2 + 2^2)
// (in eight-bit levels), so ripples of a level or two are barely lifted.
// Threshold and noise floor are in eight-bit levels (x 257 on 16 bits).
#pragma once

#include "filtrix/KelvraFilterBase.h"
#include "filtrix/UnsharpMaskParams.h"
#include "kelvra/KelvraLock.h"

#include <memory>
#include <mutex>

struct UsmPlan;

class CUnsharpMaskFilter : public CKelvraFilterBase {
public:
    static constexpr KelvraTag kTag = KelvraFourCC('u', 's', 'm', ' ');

    explicit CUnsharpMaskFilter(IKelvraManager* manager);
    ~CUnsharpMaskFilter() override;

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;

    // Setters refuse values out of range with 1008 and keep the old ones.
    // radius along x, secondRadius along y; each in (0, kUsmMaxRadius].
    IKelvraError* SetRadii(double radius, double secondRadius, bool notify);
    // At least kUsmMinPower; negative powers soften.
    IKelvraError* SetPower(double power, bool notify);
    // In eight-bit levels, at least 0.
    IKelvraError* SetThreshold(double threshold, bool notify);
    IKelvraError* SetAffectNoise(bool affectNoise, bool notify);
    // kUsmMaskBox, kUsmMaskTent or kUsmMaskGaussian.
    IKelvraError* SetMaskMethod(long method, bool notify);
    // Positions and softness widths on the hue circle, each in [0, 1].
    IKelvraError* SetRange(double start, double startSoftness, double end, double endSoftness, bool notify);
    IKelvraError* GetRange(double* start, double* startSoftness, double* end, double* endSoftness) const;

    UsmParams GetParams() const;
    double GetRadius() const { return GetParams().radius; }
    double GetSecondRadius() const { return GetParams().secondRadius; }
    double GetPower() const { return GetParams().power; }
    double GetThreshold() const { return GetParams().threshold; }
    bool GetAffectNoise() const { return GetParams().affectNoise; }
    long GetMaskMethod() const { return GetParams().method; }

    // A changed source rectangle changes the output as far as the mask reaches.
    IKelvraError* FilterRect(KelvraDblRect* rect) override;
    IKelvraError* FilterRect(KelvraRect* rect) override;

    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

private:
    // The setter pattern: refuse what is not `valid`; settings that `edit`
    // leaves equal change nothing; else store, mark stale and tell the
    // destinations when asked.
    template <typename Edit>
    IKelvraError* Change(bool valid, bool notify, Edit edit);
    // Kernels are built once per change of the settings, not per tile.
    std::shared_ptr<const UsmPlan> CurrentPlan();
    // Grows `rect` by the mask's reach, inside the output when it is known.
    template <typename Rect>
    IKelvraError* GrowByReach(Rect* rect);

    mutable CKelvraLock m_lock; // settings are set on one thread while tiles are made on others
    UsmParams m_params;
    std::shared_ptr<const UsmPlan> m_plan;
};
