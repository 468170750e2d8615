// A JPEG rendition of an item's file at the size a render request asks.
//
// The output record is read so: a scale factor other than 0 scales the
// source by it; 0 takes the record's width and height, where a height of 0
// keeps the source's aspect from the width (a width of 0 from the height)
// and both 0 keep the source size. The rendition is written under a
// temporary name beside its target and renamed when complete, so a missing
// or unreadable source, a failure or a cancel leaves no file behind.
#pragma once

#include "runbase/TlvOutputData.h"

#include <string>

class CTlRawDevelop;
class IKelvraManager;

class ITlRenderWatcher {
public:
    // Rows or steps done and in all; answers false to cancel the render.
    virtual bool OnProgress(long done, long total) = 0;

protected:
    ~ITlRenderWatcher() = default;
};

// The rendition's size for a source of `width` x `height`.
void TlRenditionSize(const CTlvOutputData& output, long width, long height, long* renditionWidth,
                     long* renditionHeight);

// 0, or the failure: 0x1002 cancelled, 0x1003 out of memory, 0x1008 a
// source that is missing or unreadable, or a rendition that could not be
// written. Qrf raw sources are developed through `rawRoad`, which the
// caller has started.
unsigned long TlRenderRendition(IKelvraManager* manager, CTlRawDevelop& rawRoad, const std::string& sourcePath,
                                const CTlvOutputData& output, ITlRenderWatcher& watcher);
