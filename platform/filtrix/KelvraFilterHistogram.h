// The histogram filter ('Hist'): passes its source on unchanged and counts
// the pixels that flow through it.
//
// Each source tile is counted once, when it first flows through, until a
// change notice from the source takes back the counts of the tiles it
// covers (a size, format or recompute-all notice takes back everything).
// Only pixels inside the crop rectangle count. Once every tile of that
// area is counted the histogram is complete: the filter sends the data
// notice kKelvraNotifyHistogramDone (-2099) to its destinations and the
// watcher notice kWatchComplete ('hstp') to its watchers. A complete
// histogram that loses counts sends kKelvraNotifyHistogramReset (-2100).
//
// Channels: one-plane data has channel 0 only; data of several planes has
// channel 0 for all samples of every plane together and channels 1 to n for
// the planes in order (R, G, B; L, C, h; C, M, Y, K). Native bins: 256 for
// 8-bit data, 1024 (the top ten bits) for 16-bit data.
//
// In a process run the filter reads its whole input first (the run gives
// it the previous stage's output) and completes before its first output
// tile leaves it, so that later stages can use the counts; the counts then
// describe the run's input until the filter's own pulls take over again.
#pragma once

#include "filtrix/KelvraFilterBase.h"
#include "kelvra/KelvraLock.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class CHistogramCounts;
struct HistogramLayout;

class CKelvraFilterHistogram : public CKelvraFilterBase {
public:
    static constexpr KelvraTag kTag = KelvraFourCC('H', 'i', 's', 't');
    static constexpr long kWatchComplete = long(KelvraFourCC('h', 's', 't', 'p'));

    explicit CKelvraFilterHistogram(IKelvraManager* manager);
    ~CKelvraFilterHistogram() override;

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;

    // The area that counts, in source pixels; (0, 0, 0, 0), the start, is
    // the whole image, and the rectangle is cut to the image. A new
    // rectangle starts the counts afresh; any other empty one gives 1008.
    IKelvraError* SetCrop(const KelvraRect& rect);
    KelvraRect GetCrop() const;

    // Counting is on from the start. Off: the counts stay as they are (a
    // reader's result, fixed) and tiles pass straight through; pixels never
    // change, so nothing downstream is told and what it made stays. On
    // again: the counts start afresh, and `notify` sends the whole-output
    // notice of any setter, so that the tiles flow through the count again.
    IKelvraError* SetCounting(bool counting, bool notify);
    bool IsCounting() const;

    bool IsComplete() const;
    // 8 or 10; 0 while the source is unknown.
    long GetNativeBits();
    // Width and height of the area that counts (not the output size).
    IKelvraError* GetSize(long* width, long* height);
    // The native counts of `channel`, copied; null when there is no such channel.
    std::shared_ptr<const std::vector<std::uint32_t>> ReadHistogram(long channel);
    // `counts` receives 2^bits counts of `channel` (bits 1 to the native
    // bits; each count sums the native bins it covers); 1008 for another
    // channel or width.
    IKelvraError* GetHistogram(long channel, std::uint32_t* counts, long bits);
    // Pulls and counts every tile of the source not counted yet, on the
    // caller's thread; the completion notices go out as usual. Fails with
    // 1013 when counting is off and the counts are incomplete.
    IKelvraError* ForceCompletion();

    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;
    IKelvraError* AllocateProcessInfo(CKelvraProcessInfo** info) override;
    bool WantsWholeInput() const override;

    IKelvraError* FilterData(IKelvraDataSource* source, KelvraRect* rect) override;
    IKelvraError* FilterSize(IKelvraDataSource* source, KelvraSizeChange* change) override;
    IKelvraError* FilterColorSpace(IKelvraDataSource* source, KelvraColorSpaceChange* change) override;
    IKelvraError* FilterUpdateAll(IKelvraDataSource* source) override;
    void KelvraAddedDataSource(IKelvraDataSource* source) override;
    void KelvraRemovedDataSource(IKelvraDataSource* source) override;

private:
    // Lays the counts out for `source` as pulled by `owner` (null: the
    // filter's own pulls; else a process run); another layout or owner, or
    // `restart`, starts them afresh.
    IKelvraError* Prepare(IKelvraDataSource* source, const void* owner, bool restart);
    // Lays the counts out for the first source when nothing is known yet.
    IKelvraError* KnownLayout();
    // Whether the tile at `tileRect` still needs counting, with the layout
    // and the tile's part of the area to count it by.
    bool IsDue(IKelvraDataSource* source, const KelvraRect& tileRect, HistogramLayout* layout, KelvraRect* area);
    // Copies a tile through, counting it when it is due.
    IKelvraError* PassTile(IKelvraTile* tile, IKelvraDataSource* source, bool count);
    IKelvraError* CountMissing(IKelvraDataSource* source);
    IKelvraError* CountTile(IKelvraDataSource* source, long column, long row);
    // Stores a tile's counts made for `layout`; announces a completion.
    IKelvraError* Commit(const HistogramLayout& layout, long column, long row, std::vector<std::uint16_t>&& share);
    IKelvraError* Announce();
    // Takes back the counts of `rect` (all when null), telling destinations
    // when a complete histogram became incomplete.
    IKelvraError* Forget(const KelvraRect* rect);
    IKelvraError* Send(long code);

    mutable CKelvraLock m_lock; // counts are written by whichever thread pulls a tile
    std::unique_ptr<CHistogramCounts> m_counts;
    KelvraRect m_crop;
    bool m_counting = true;
    const void* m_owner = nullptr;
};
