// The red-eye filter ('OmRe'): corrects red eyes through the outside red-eye
// library. The library works on a copy of the whole source; regions found
// automatically or near a clicked point live in two lists, automatic and
// manual, which the edit settings keep as stored region records.
#pragma once

#include "filters/frame/TlFilter.h"
#include "filters/redeye/TlRedEyeLibrary.h"

#include <cstdint>
#include <vector>

class CByteBuffer;
class IKelvraTagControl;

// The capture data the detector reads; `size` is 0 until it is filled.
struct TlRedEyeShootingInfo {
    std::uint32_t size = 0;
    const char* cameraModel = nullptr; // owned by the filter
    std::int32_t flash = 0;            // 0 or 1
    std::int32_t focalLength = 0;
    std::int32_t subjectDistance = 0;
};

static_assert(sizeof(void*) != 4 || sizeof(TlRedEyeShootingInfo) == 20, "the library's 32-bit layout");

// Detection progress: (step, phase 0 start, 1 running, 2 end, argument);
// false asks the detection to stop.
using TlRedEyeProgress = bool (*)(long step, long phase, long argument);

class CRedEyeFilter : public CTlFilter {
public:
    static constexpr KelvraTag kId = TlFilterId("OmRe");
    enum Mode : int { kModeNone = 0, kModeAutomatic = 1, kModeManual = 2 };
    // Distance in pixels from a click within which a red point counts.
    static constexpr long kClickRadius = 10;

    explicit CRedEyeFilter(IKelvraManager* manager);
    ~CRedEyeFilter() override;

    KelvraTag GetFilterTag() const override { return kId; }
    const char* GetFilterName() const override;

    // Fills the capture data once; later calls change nothing. Tags that are
    // missing or of another size are left at 0.
    IKelvraError* SetShootingInfo(IKelvraTagControl* tags);
    const TlRedEyeShootingInfo& GetShootingInfo() const { return m_shootingInfo; }

    // Corrects or restores the region lists the change of mode adds or
    // drops. Modes other than none, automatic and manual are refused (1008).
    IKelvraError* SetMode(int mode, bool notify);
    int GetMode() const { return m_mode; }

    // Runs the automatic detection once per source, then corrects what it
    // found and switches to automatic mode.
    IKelvraError* DetectAuto(TlRedEyeProgress progress, int progressArgument, bool notify);
    // Corrects the eye near the pending click point, in manual mode.
    IKelvraError* CorrectAtPoint(bool notify);
    // Restores the pixels of the manual regions and forgets them.
    IKelvraError* ClearManualRegions(bool notify);
    // Replaces the chosen list with the regions of `records`; a record that
    // cannot be read is skipped.
    IKelvraError* LoadRegions(bool manual, std::vector<CByteBuffer>& records);
    // Stores the chosen list: `all` replaces the records with every region;
    // otherwise manual appends its last region and automatic, once detected,
    // fills empty records with every region.
    IKelvraError* SaveRegions(bool manual, std::vector<CByteBuffer>& records, bool all);

    // A click at (x, y): when it lies inside the picture and the library
    // finds a red point within kClickRadius, it becomes the pending click
    // point and the answer is true; otherwise any pending point is dropped
    // and the answer is false. Until the red-eye library is built in, no
    // red point is ever found.
    bool ReFindRedPoint(long x, long y);

    // Written by the filter's owner.
    void SetPendingClick(long x, long y);
    bool HasPendingClick() const { return m_clickPending; }
    long GetPendingX() const { return m_clickX; }
    long GetPendingY() const { return m_clickY; }
    // In manual mode the automatic regions stay corrected.
    void SetKeepAutomatic(bool keep) { m_keepAutomatic = keep; }
    bool GetKeepAutomatic() const { return m_keepAutomatic; }

    bool HasAutomaticRegions() const { return !m_automatic.IsEmpty(); }
    bool HasManualRegions() const { return !m_manual.IsEmpty(); }

    // Any change upstream means the working copy must be filled again.
    IKelvraError* KelvraNotify(IKelvraDataSource* source, long code, void* data) override;
    IKelvraError* FilterData(IKelvraDataSource* source, KelvraRect* rect) override;
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

private:
    IKelvraError* CorrectList(TlRedEyeRegionList& list, bool notify);
    IKelvraError* RestoreList(TlRedEyeRegionList& list, bool notify);
    // Appends `step`'s error, if any, to `chain` under the filter's id.
    IKelvraError* Chain(IKelvraError* chain, long line, IKelvraError* step) const;

    TlRedEyeParams m_params;
    bool m_prepare = true;
    TlRedEyeShootingInfo m_shootingInfo;
    std::vector<char> m_cameraModel;
    TlRedEyeRegionList m_automatic;
    TlRedEyeRegionList m_manual;
    bool m_detected = false;
    bool m_keepAutomatic = false;
    std::int32_t m_clickX = 0;
    std::int32_t m_clickY = 0;
    bool m_clickPending = false;
    std::int32_t m_mode = kModeNone;
};
