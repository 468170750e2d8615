// The colour engine: converts pixels from a source ICC profile to a
// destination profile, optionally soft-proofed through a third one, with
// LittleCMS 2. Engines are shared: holders keep them through
// TReferencedObjectPointer, and the count of registered pointers is the
// engine's reference count. An engine with a manager (IMgr) tells it when
// that count falls to its auto-delete threshold or below; an engine without
// a manager deletes itself then (so such engines must live on the heap).
//
// Pixel layouts the engine reads and writes follow the profiles' colour
// spaces: RGB (0x?6201), grey (0x?20001), CMYK (0x?80202), Lab (0x?60204,
// the ICC v4 encoding: L 0..100 over the sample range, a and b -128..127
// with 0 at 0x8080 / 0x80) and LCh (0x?60203, see KelvraLChEncoding).
// Conversions are thread-safe; transforms are made on first use, one per
// (input format, output format), and dropped when a setting changes.
#pragma once

#include "filtrix/TReferencedObjectPointer.h"
#include "kelvra/KelvraError.h"
#include "kelvra/KelvraLock.h"
#include "kelvra/KelvraTypes.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

// LCh samples: lightness 0..100 and chroma 0..kMaxChroma over the sample
// range (0..2^bits-1); hue in degrees with a full turn of 2^bits, so that a
// hue table wraps around naturally. The profile maker writes the same
// encoding into the LCh profile's tables.
struct KelvraLChEncoding {
    static constexpr double kMaxLightness = 100.0;
    static constexpr double kMaxChroma = 200.0;
    // Lab (natural units) to unit values: L/100, C/200, hue/360 in [0, 1).
    static void LabToUnit(const double lab[3], double unit[3]);
    static void UnitToLab(const double unit[3], double lab[3]);
    // Unit values to samples of `bits` (8 or 16) and back.
    static void UnitToSamples(const double unit[3], unsigned bits, std::uint16_t samples[3]);
    static void SamplesToUnit(const std::uint16_t samples[3], unsigned bits, double unit[3]);
};

// The private tag that marks a profile whose device values are LCh samples
// ('tLCh'); the engine converts Lab and LCh itself (a table cannot follow
// the hue's wrap-around exactly), the profile's tables serve other readers.
constexpr std::uint32_t kKelvraLChProfileTag = 0x744C4368;

class CKelvraFilterCMLEngine {
public:
    using CReference = TReferencedObjectPointer<CKelvraFilterCMLEngine>;

    // The engine's owner, told when only `count` references are left.
    class IMgr {
    public:
        virtual void OnReferencesReleased(CKelvraFilterCMLEngine* engine, long count) = 0;

    protected:
        ~IMgr() = default;
    };

    CKelvraFilterCMLEngine();
    // Clears every registered reference.
    virtual ~CKelvraFilterCMLEngine();
    CKelvraFilterCMLEngine(const CKelvraFilterCMLEngine&) = delete;
    CKelvraFilterCMLEngine& operator=(const CKelvraFilterCMLEngine&) = delete;

    // Opens the three profiles: source, destination and proof (the proof
    // profile may be empty). File names are matched as Windows does, letter
    // case aside. On failure the engine keeps its previous profiles.
    IKelvraError* SetProfiles(const KelvraFile& source, const KelvraFile& destination, const KelvraFile& proof);
    // Copies the whole 260-byte records (zero after the text); null skips one.
    IKelvraError* GetProfiles(KelvraFile* source, KelvraFile* destination, KelvraFile* proof) const;
    // True: conversions soft-proof through the proof profile (when it is
    // set and differs from the destination).
    IKelvraError* SetProofMode(bool proof);
    bool GetProofMode() const;
    // ICC intents 0 perceptual, 1 relative colorimetric, 2 saturation,
    // 3 absolute colorimetric.
    IKelvraError* SetRenderingIntent(long intent);
    long GetRenderingIntent() const;
    // -1 (the default) never tells; n tells when the count falls to n or below.
    void SetAutoDeleteThreshold(long threshold);
    long GetAutoDeleteThreshold() const;
    void SetManager(IMgr* manager);
    IMgr* GetManager() const;

    // The reference registry (TReferencedObjectPointer calls these).
    // Removing may tell the manager, or delete the engine, as its last act.
    void AddReferencedObjectPointer(CReference* reference);
    void RemoveReferencedObjectPointer(CReference* reference);
    long GetReferenceCount() const;

    // Conversion.
    // The format of pixels going in: that of the source profile's space
    // with `bits` (8 or 16) per sample; likewise out of the destination.
    IKelvraError* GetInputFormat(long bits, KelvraPixelFormat* format) const;
    IKelvraError* GetOutputFormat(long bits, KelvraPixelFormat* format) const;
    // Converts `count` packed pixels. The formats must be those above (any
    // bit depth); 1010 otherwise, 1013 before SetProfiles.
    IKelvraError* Convert(const void* input, KelvraPixelFormat inputFormat, void* output,
                          KelvraPixelFormat outputFormat, long count);
    // Changes whenever a setting that changes results does; unique in the
    // process, so a holder can tell that its cached results are stale.
    unsigned long GetGeneration() const;

    struct CState; // LittleCMS side, in the sources

private:
    // Applies `change` to a copy of the current settings and makes the copy
    // current.
    template <typename Change>
    IKelvraError* Modify(Change change);
    // Modify for one plain setting; nothing happens when it holds `value`.
    template <typename Value>
    IKelvraError* SetSetting(Value CState::*setting, Value value);
    // The pixel format of profile `profile` (source or destination) at `bits`.
    IKelvraError* FormatOf(int profile, long bits, KelvraPixelFormat* format) const;
    std::shared_ptr<CState> Snapshot() const;

    mutable CKelvraLock m_lock;
    std::shared_ptr<CState> m_state; // replaced whole on every change
    std::vector<CReference*> m_references;
    IMgr* m_manager = nullptr;
    long m_threshold = -1;
    std::atomic<unsigned long> m_generation;
};
