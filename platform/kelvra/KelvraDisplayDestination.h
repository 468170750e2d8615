// A destination that shows its source: it collects what changed from the
// notices it hears and, when the user-interface thread asks (Pull), locks
// the source tiles of the changed area and hands them to OnData one block
// at a time. Notices may arrive on any thread; pixels are pulled only on
// the thread that calls Pull.
#pragma once

#include "kelvra/KelvraData.h"

#include <deque>
#include <mutex>

class CKelvraDisplayDestination : public IKelvraDataDestination {
public:
    CKelvraDisplayDestination() = default;
    ~CKelvraDisplayDestination() override = default;

    IKelvraError* KelvraNotify(IKelvraDataSource* source, long code, void* data) override;
    void KelvraAddedDataSource(IKelvraDataSource* source) override;
    void KelvraRemovedDataSource(IKelvraDataSource* source) override;

    // Delivers up to `maxBlocks` pending blocks (-1: all) through OnData.
    IKelvraError* Pull(long maxBlocks = -1);
    // True when no block is waiting.
    bool IsIdle() const;
    // Forgets every waiting block.
    void Reset();
    // Asks for the whole source again (after a size change, say).
    void InvalidateAll();
    IKelvraDataSource* GetSource() const;

protected:
    // One block of the source: `rect` (inside one tile) with its pixels;
    // `data` points at rect's top-left pixel, rows `rowBytes` apart.
    virtual IKelvraError* OnData(const KelvraRect& rect, const void* data, long rowBytes) = 0;
    // The source's geometry changed (size, format, everything); the area is
    // queued again already.
    virtual void OnLayoutChanged() {}

private:
    void Queue(const KelvraRect& rect);
    IKelvraError* Deliver(long column, long row, const KelvraRect& rect);

    mutable std::mutex m_lock;
    IKelvraDataSource* m_source = nullptr;
    std::deque<KelvraRect> m_pending; // one entry per tile-sized block
};
