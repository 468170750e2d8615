// Renders a data source through an ordered list of filters into an image:
// connects the list and runs it as the framework's process run, which gives
// the image the description of the last output and fills it row of tiles by
// row of tiles. The list is not owned; it is connected only while a copy
// runs.
#pragma once

#include "kelvra/KelvraFilter.h"
#include "kelvra/KelvraImage.h"

#include <vector>

class CKelvraProcessRun;

class CFilterProcess {
public:
    // An empty list, or one holding `filter` when it is given.
    explicit CFilterProcess(IKelvraFilter* filter);
    ~CFilterProcess();
    CFilterProcess(const CFilterProcess&) = delete;
    CFilterProcess& operator=(const CFilterProcess&) = delete;

    // Puts `filter` at the end of the list (not while a copy runs).
    void AddFilter(IKelvraFilter* filter);

    // Begin, then Step until the copy ends; a failed step ends the copy.
    IKelvraError* Run(IKelvraDataSource* source, IKelvraImage* destination);
    // Connects the list and describes the destination; on failure every
    // connection made is undone.
    IKelvraError* Begin(IKelvraDataSource* source, IKelvraImage* destination);
    // Fills one row of tiles; `done` and `total` (either may be null) count
    // rows of tiles, both 1 when no copy runs.
    IKelvraError* Step(long* done, long* total);
    // Ends a running copy: ends the run and disconnects the list.
    IKelvraError* End();
    // Ends a running copy, dropping its errors, and empties the list.
    void Clear();

    bool IsRunning() const { return m_run != nullptr; }

private:
    IKelvraError* ConnectList(long* connected);
    IKelvraError* Disconnect(long connected);

    IKelvraDataSource* m_source = nullptr;
    CKelvraProcessRun* m_run = nullptr;
    std::vector<IKelvraFilter*> m_filters;
};
