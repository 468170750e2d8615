// Process runs: a filter, or a list of filters, applied to given sources
// and written into a destination image one row of tiles per step. The
// tiles of a row are made at once on the process's worker threads
// (kelvra/KelvraWorkers.h) and written in order on the caller's thread.
// Each stage pulls through its own small tile cache, not the filters'
// preview caches, so a run and an on-screen preview of the same filters do
// not disturb each other.
#pragma once

#include "kelvra/KelvraFilter.h"
#include "kelvra/KelvraImage.h"

#include <memory>
#include <vector>

class CKelvraProcessStage;

class CKelvraProcessRun {
public:
    // Prepares a run of `filters` (in order) over `input` into `destination`,
    // which takes the output's size, format, resolution, transform and palette.
    static IKelvraError* Begin(const std::vector<IKelvraFilter*>& filters, IKelvraDataSource* input,
                               IKelvraImage* destination, KelvraTag errorTag, CKelvraProcessRun** run);
    ~CKelvraProcessRun();
    CKelvraProcessRun(const CKelvraProcessRun&) = delete;
    CKelvraProcessRun& operator=(const CKelvraProcessRun&) = delete;

    // Fills the next row of destination tiles: `done` rows filled, `total`
    // the row count, 0 once the run is complete.
    IKelvraError* Step(long* done, long* total);
    bool IsComplete() const { return m_nextRow >= m_rows; }
    long GetRowCount() const { return m_rows; }
    // The process record of `filter`'s stage, or null.
    CKelvraProcessInfo* GetInfo(IKelvraFilter* filter) const;

private:
    CKelvraProcessRun(IKelvraImage* destination, KelvraTag errorTag);
    // One output tile of the row being filled, as a worker left it.
    struct MadeTile {
        const void* data = nullptr; // set while the tile is locked
        KelvraRect rect;
        long rowBytes = 0;
        IKelvraError* error = nullptr;
    };

    IKelvraError* Describe();
    IKelvraError* FillRow(long row);
    void MakeRow(long row, std::vector<MadeTile>& made);
    IKelvraError* WriteTile(long column, long row, const MadeTile& tile);

    IKelvraImage* m_destination;
    KelvraTag m_errorTag;
    std::vector<std::unique_ptr<CKelvraProcessStage>> m_stages;
    IKelvraDataSource* m_output = nullptr;
    long m_columns = 0;
    long m_rows = 0;
    long m_nextRow = 0;
};
