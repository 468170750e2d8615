// The red-eye filter ('OmRe'): corrects red eyes through our red-eye
// library Eyemend. The library works on a copy of the whole source, the
// working buffer; regions found automatically or near a clicked point live
// in two lists, automatic and manual, which the edit settings keep as stored
// region records. Output tiles that meet a region of the lists in use come
// from the buffer, all others straight from the source.
#pragma once

#include "filters/frame/TlFilter.h"
#include "filters/redeye/TlRedEyeLibrary.h"
#include "kelvra/KelvraLock.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class CByteBuffer;
class IKelvraTagControl;

// The capture data the detector reads; `size` is 0 until it is filled. The
// camera model text is owned by the filter.
using TlRedEyeShootingInfo = ReShootingInfo;

// Detection progress: (step, phase 0 start, 1 running, 2 end, argument);
// false asks the detection to stop.
using TlRedEyeProgress = bool (*)(long step, long phase, long argument);

class CRedEyeFilter : public CTlFilter {
public:
    static constexpr KelvraTag kId = TlFilterId("OmRe");
    enum Mode : int { kModeNone = 0, kModeAutomatic = 1, kModeManual = 2 };
    // Distance in pixels from a click within which a red point counts.
    static constexpr long kClickRadius = 10;
    // How red a pupil pixel must be for the library to correct it: its red
    // above the larger of green and blue by this percentage of its red.
    static constexpr std::int32_t kCorrectionThreshold = 30;

    // `calls` are the library's; a test may give a recording stand-in.
    explicit CRedEyeFilter(IKelvraManager* manager, const TlRedEyeCalls& calls = TlEyemendCalls());
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

    // Runs the automatic detection once per working buffer, then corrects
    // what it found and switches to automatic mode. `progress` (or null)
    // hears of the detection through one process-wide slot.
    IKelvraError* DetectAuto(TlRedEyeProgress progress, int progressArgument, bool notify);
    // Corrects the eye near the pending click point and adds it to the
    // manual regions, in manual mode.
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

    // A click at (x, y) in the source's pixels: when it lies inside the
    // picture and the library finds a red pupil within kClickRadius of it in
    // the working buffer (filled first when it must be), it becomes the
    // pending click point and the answer is true; otherwise any pending
    // point is dropped and the answer is false.
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

    // The regions of a list, first to last.
    std::vector<ReRegion> GetRegions(bool manual) const;

    // Any change upstream means the working buffer must be filled again.
    IKelvraError* KelvraNotify(IKelvraDataSource* source, long code, void* data) override;
    IKelvraError* FilterData(IKelvraDataSource* source, KelvraRect* rect) override;
    // So must a filter that has no working buffer yet.
    IKelvraError* CheckCache() override;
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

private:
    // Fills the working buffer from the first source (info's when given)
    // when it must be, and corrects the lists of the current mode in it.
    IKelvraError* Prepare(CKelvraProcessInfo* info);
    IKelvraError* CheckCacheLocked();
    IKelvraError* FillBuffer(IKelvraDataSource* source);
    // The buffer's pixels of `list`'s regions corrected, or copied back from
    // the source, each region announced.
    IKelvraError* CorrectList(const CTlRedEyeList& list, bool notify);
    IKelvraError* RestoreList(const CTlRedEyeList& list, bool notify);
    ReStatus CorrectPixels(const CTlRedEyeList& list);
    IKelvraError* NotifyRegions(const CTlRedEyeList& list, bool notify);
    // Output rows inside `rect` must come from the buffer.
    bool NeedsCorrectedRows(const KelvraRect& rect) const;
    IKelvraError* SaveRegion(const ReRegion& region, std::vector<CByteBuffer>& records) const;
    // Appends `step`'s error, if any, to `chain` under the filter's id.
    IKelvraError* Chain(IKelvraError* chain, long line, IKelvraError* step) const;

    const TlRedEyeCalls& m_calls;
    ReParams m_params{};
    bool m_prepare = true;
    ReShootingInfo m_shootingInfo{};
    std::vector<char> m_cameraModel;
    CTlRedEyeList m_automatic;
    CTlRedEyeList m_manual;
    bool m_detected = false;
    bool m_keepAutomatic = false;
    std::int32_t m_clickX = 0;
    std::int32_t m_clickY = 0;
    bool m_clickPending = false;
    std::int32_t m_mode = kModeNone;
    std::unique_ptr<unsigned char[]> m_buffer;
    // Tiles are made on several threads: one of them fills the buffer while
    // the others wait for it.
    CKelvraLock m_prepareLock; // slim: taken for every tile
};
