// What the filter-plug-in filter asks of the image-editor plug-in host that
// runs its plug-in. The host remembers the filters attached to it, so that
// unloading its plug-in can detach every one of them.
#pragma once

#include "kelvra/KelvraData.h"
#include "kelvra/KelvraError.h"

#include <cstdint>

class CPluginHostFilter;

// Told of a run's progress: type 0 at its start, 1 with the percent done,
// 2 at its end. False asks the host to stop.
using TlPluginProgress = bool (*)(int type, int value, void* context);

class ITlFilterPluginHost {
public:
    // Appends `filter` to the attached filters, or removes its first
    // occurrence.
    virtual void AttachFilter(CPluginHostFilter* filter, bool attach) = 0;
    // The plug-in's input or settings changed: it must run again.
    virtual void MarkChanged() = 0;

    // The run, in this order. Each answers the plug-in's 16-bit result
    // (0 success). SetImage describes `source` to the plug-in;
    // BeginFilter keeps `source` and the caller's value, sizes the output
    // for `rect` (null: the whole image) and hands the plug-in its
    // parameters; PrepareFilter lets it prepare; RunFilter runs it over the
    // rectangle when it needs a run; ContinueFilter delivers the input and
    // output of the rectangle and lets it filter them; FinishFilter frees
    // the buffers and keeps the parameters the plug-in changed.
    virtual void SetImage(IKelvraDataSource* source, double scale, double resolution) = 0;
    virtual long BeginFilter(IKelvraDataSource* source, long processValue, bool flag, const KelvraRect* rect) = 0;
    virtual long PrepareFilter() = 0;
    virtual long RunFilter(TlPluginProgress progress, void* context) = 0;
    virtual long ContinueFilter() = 0;
    virtual long FinishFilter() = 0;
    // The output of the rectangle begun, its row bytes and whether each
    // pixel's samples lie together (else the planes follow each other).
    virtual const void* GetOutput(long* rowBytes, bool* interleaved) const = 0;
    // Whether the plug-in must run (again).
    virtual bool NeedsRun() const = 0;
    // An error chain for a non-zero result; null for 0.
    virtual IKelvraError* ConvertError(long result) const = 0;

protected:
    ~ITlFilterPluginHost() = default;
};
