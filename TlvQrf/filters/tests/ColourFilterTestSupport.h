// What the tests of the colour filters share: a profiles folder holding the
// shipped calibration files, a chain of pattern image -> filter -> sink,
// and access to the base's stale and bypass flags of any filter.
#pragma once

#include "FrameTestSupport.h"

#include "FilterTestSupport.h"
#include "MakeCalibration/TlCalibrationMaker.h"
#include "support/CommonFilesSandbox.h"

#include <memory>

namespace colour_test {

// The base keeps its flags protected; tests read and clear them here.
struct FlagAccess : CKelvraFilterBase {
    static std::atomic<bool>& Stale(CKelvraFilterBase& filter) { return filter.*(&FlagAccess::m_stale); }
    static bool Bypass(const CKelvraFilterBase& filter) { return filter.*(&FlagAccess::m_bypass); }
};

inline bool IsStale(CKelvraFilterBase& filter)
{
    return FlagAccess::Stale(filter);
}
inline void MarkFresh(CKelvraFilterBase& filter)
{
    FlagAccess::Stale(filter) = false;
}
inline bool IsBypassed(const CKelvraFilterBase& filter)
{
    return FlagAccess::Bypass(filter);
}

// A temporary profiles folder, in force while the object lives, holding the
// two calibration files as the install step writes them.
class ShippedCalibrations {
public:
    ShippedCalibrations() : m_written(m_folder.IsReady() && TlWriteCalibrations(m_folder.Path())) {}

    bool IsReady() const { return m_written; }
    const TempProfilesFolder& Folder() const { return m_folder; }

private:
    TempProfilesFolder m_folder;
    bool m_written;
};

using FilterMaker = std::unique_ptr<CTlFilter> (*)(IKelvraManager* manager);

// Pattern image -> filter -> sink, with the filter's stale flag cleared.
struct ChainRig {
    ChainRig(FilterMaker make, KelvraPixelFormat format) : filter(make(holder.manager))
    {
        image = MakePatternImage(holder.manager, 90, 70, format);
        ExpectOk(KelvraDataConnect(image, filter.get()));
        ExpectOk(KelvraDataConnect(filter.get(), &sink));
        MarkFresh(*filter);
    }
    ~ChainRig() { image->Release(); }

    ManagerHolder holder;
    frame_test::NoticeSink sink; // outlives the filter that tells it of its end
    std::unique_ptr<CTlFilter> filter;
    IKelvraImage* image = nullptr;
};

} // namespace colour_test
