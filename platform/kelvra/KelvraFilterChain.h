// A filter chain: an ordered list of filters that acts as one filter. A
// source connects to the chain and destinations connect to the chain; in
// between, the chain links source -> first filter -> ... -> last filter.
// Filters can be inserted and removed while the chain is connected. The
// chain never deletes a filter.
#pragma once

#include "kelvra/KelvraFilter.h"

class IKelvraFilterChain : public IKelvraDataSource, public IKelvraDataDestination {
public:
    // Inserts at `index` (-1 appends). An error means the filter is not in the chain.
    virtual IKelvraError* InsertFilter(IKelvraFilter* filter, long index) = 0;
    virtual IKelvraError* RemoveFilter(long index) = 0;
    virtual IKelvraFilter* GetFilter(long index) const = 0;
    virtual long GetFilterCount() const = 0;
    // -1 when the filter is not in the chain.
    virtual long IndexOf(IKelvraFilter* filter) const = 0;
    // The first filter at or after `start` whose four-character id is `id`; -1 when none.
    virtual long FindNext(KelvraTag id, long start) const = 0;
    // Readies the chain for a pointer track (cheap previews while dragging);
    // 0 ends it.
    virtual IKelvraError* PrepareForTrack(long mode) = 0;
    // The chain's output: the last filter, or the source when it has none.
    virtual IKelvraDataSource* GetOutput() const = 0;

    // Process runs over the whole chain, as for a single filter.
    virtual IKelvraError* BeginProcess(void** handle, IKelvraDataSource* const* sources, long count,
                                       IKelvraImage* destination) = 0;
    virtual IKelvraError* ExecuteProcess(void* handle, long* done, long* total) = 0;
    virtual IKelvraError* EndProcess(void* handle) = 0;

    // Cuts every link the chain made and frees it; the filters stay.
    virtual void Release() = 0;
};
