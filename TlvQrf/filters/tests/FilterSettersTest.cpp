// Every setter of the pixel filters follows the one setter pattern: an
// equal value changes nothing, a new one is stored, marks the output stale
// and is announced, and nothing is announced unless asked.
#include "PixelFilterTestSupport.h"

#include "filters/lostdetail/TlShowLostDetailFilter.h"
#include "filters/resolution/TlResolutionFilter.h"
#include "filters/revelation/TlRevelationFilter.h"
#include "filters/visualcrop/TlVisualCropFilter.h"

#include <memory>

using namespace pixel_test;

namespace {

template <typename F>
F& As(StaleProbe& probe)
{
    return dynamic_cast<Probed<F>&>(probe);
}

template <typename F>
StaleProbe* Make(IKelvraManager* manager)
{
    return new Probed<F>(manager);
}

const KelvraRect kCrop(10, 10, 50, 50);

struct SetterCase {
    const char* name;
    StaleProbe* (*make)(IKelvraManager*);
    IKelvraError* (*setSame)(StaleProbe&, bool notify);
    IKelvraError* (*setNew)(StaleProbe&, bool notify);
    bool (*holdsNew)(StaleProbe&);
    long code;                         // of the one notice a change sends
    KelvraRect rect;                   // code 0
    KelvraResolutionChange resolution; // code 3
};

const SetterCase kSetters[] = {
    {"shadows", Make<CShowLostDetailFilter>,
     [](StaleProbe& p, bool n) { return As<CShowLostDetailFilter>(p).ShowHighlights(n); },
     [](StaleProbe& p, bool n) { return As<CShowLostDetailFilter>(p).ShowShadows(n); },
     [](StaleProbe& p) { return As<CShowLostDetailFilter>(p).GetLevel() == 0; }, kKelvraNotifyData,
     KelvraRect(0, 0, 120, 80), {}},
    {"crop moved", Make<CVisualCropFilter>,
     [](StaleProbe& p, bool n) { return As<CVisualCropFilter>(p).SetRect(&kCrop, n); },
     [](StaleProbe& p, bool n) {
         const KelvraRect moved(20, 0, 60, 40);
         return As<CVisualCropFilter>(p).SetRect(&moved, n);
     },
     [](StaleProbe& p) { return *As<CVisualCropFilter>(p).GetRect() == KelvraRect(20, 0, 60, 40); },
     kKelvraNotifyData, KelvraRect(10, 0, 60, 50), {}},
    {"crop removed", Make<CVisualCropFilter>,
     [](StaleProbe& p, bool n) { return As<CVisualCropFilter>(p).SetRect(&kCrop, n); },
     [](StaleProbe& p, bool n) {
         const KelvraRect none;
         return As<CVisualCropFilter>(p).SetRect(&none, n);
     },
     [](StaleProbe& p) { return *As<CVisualCropFilter>(p).GetRect() == KelvraRect(0, 0, 120, 80); },
     kKelvraNotifyData, KelvraRect(0, 0, 120, 80), {}},
    {"resolution", Make<CResolutionFilter>,
     [](StaleProbe& p, bool n) { return As<CResolutionFilter>(p).SetResolution(0.0, n); },
     [](StaleProbe& p, bool n) { return As<CResolutionFilter>(p).SetResolution(300.0, n); },
     [](StaleProbe& p) { return As<CResolutionFilter>(p).GetStoredResolution() == 300.0; },
     kKelvraNotifyResolution, KelvraRect(), {0.0, 300.0}},
    {"revelation parameters", Make<CRevelationFilter>,
     [](StaleProbe& p, bool n) { return As<CRevelationFilter>(p).SetParameters(127, 190, 127, n); },
     [](StaleProbe& p, bool n) { return As<CRevelationFilter>(p).SetParameters(127, 190, 128, n); },
     [](StaleProbe& p) { return As<CRevelationFilter>(p).GetParam2() == 128; }, kKelvraNotifyData,
     KelvraRect(0, 0, 120, 80), {}},
    {"revelation depth", Make<CRevelationFilter>,
     [](StaleProbe& p, bool n) { return As<CRevelationFilter>(p).SetDataFormat(11, 16, false, n); },
     [](StaleProbe& p, bool n) { return As<CRevelationFilter>(p).SetDataFormat(11, 8, false, n); },
     [](StaleProbe& p) { return As<CRevelationFilter>(p).GetBitsPerSample() == 8; }, kKelvraNotifyData,
     KelvraRect(0, 0, 120, 80), {}},
    {"revelation engine option", Make<CRevelationFilter>,
     [](StaleProbe& p, bool n) { return As<CRevelationFilter>(p).SetDataFormat(11, 16, false, n); },
     [](StaleProbe& p, bool n) { return As<CRevelationFilter>(p).SetDataFormat(11, 16, true, n); },
     [](StaleProbe& p) { return As<CRevelationFilter>(p).GetEngineOption(); }, kKelvraNotifyData,
     KelvraRect(0, 0, 120, 80), {}},
};

// Pattern image 120 x 80 -> the filter -> sink, the filter holding the
// case's starting value and fresh.
struct SetterRig {
    explicit SetterRig(const SetterCase& c) : probe(c.make(holder.manager))
    {
        image = MakePatternImage(holder.manager, 120, 80, kKelvraRGB8);
        ExpectOk(KelvraDataConnect(image, &Filter()));
        ExpectOk(KelvraDataConnect(&Filter(), &sink));
        ExpectOk(c.setSame(*probe, false));
        probe->MarkFresh();
    }
    ~SetterRig()
    {
        IKelvraError::Release(KelvraDataDisconnect(&Filter(), &sink));
        IKelvraError::Release(KelvraDataDisconnect(image, &Filter()));
        probe.reset();
        image->Release();
    }
    CTlFilter& Filter() { return probe->AsFilter(); }

    ManagerHolder holder;
    IKelvraImage* image = nullptr;
    std::unique_ptr<StaleProbe> probe;
    frame_test::NoticeSink sink;
};

TEST(PixelFilterSetterTest, SameValueChangesNothing)
{
    for (const SetterCase& c : kSetters) {
        SCOPED_TRACE(c.name);
        SetterRig rig(c);
        ExpectOk(c.setSame(*rig.probe, true));
        EXPECT_FALSE(rig.probe->IsFrameStale());
        EXPECT_TRUE(rig.sink.notices.empty());
    }
}

TEST(PixelFilterSetterTest, NewValueIsStoredMarkedStaleAndAnnouncedOnce)
{
    for (const SetterCase& c : kSetters) {
        SCOPED_TRACE(c.name);
        SetterRig rig(c);
        ExpectOk(c.setNew(*rig.probe, true));
        ExpectOk(c.setNew(*rig.probe, true)); // again: nothing more
        EXPECT_TRUE(c.holdsNew(*rig.probe));
        EXPECT_TRUE(rig.probe->IsFrameStale());
        ASSERT_EQ(1u, rig.sink.notices.size());
        const frame_test::RecordedNotice& notice = rig.sink.notices[0];
        EXPECT_EQ(static_cast<IKelvraDataSource*>(&rig.Filter()), notice.sender);
        EXPECT_EQ(c.code, notice.code);
        if (c.code == kKelvraNotifyData) {
            EXPECT_EQ(c.rect, notice.rect);
        } else {
            EXPECT_EQ(c.resolution.oldResolution, notice.resolution.oldResolution);
            EXPECT_EQ(c.resolution.newResolution, notice.resolution.newResolution);
        }
    }
}

TEST(PixelFilterSetterTest, ChangeNobodyAskedToHearIsStoredSilently)
{
    for (const SetterCase& c : kSetters) {
        SCOPED_TRACE(c.name);
        for (bool disabled : {false, true}) {
            SetterRig rig(c);
            if (disabled)
                ExpectOk(rig.Filter().Enable(false, false));
            rig.probe->MarkFresh();
            ExpectOk(c.setNew(*rig.probe, disabled)); // notify false, or a disabled filter
            EXPECT_TRUE(c.holdsNew(*rig.probe));
            EXPECT_TRUE(rig.probe->IsFrameStale());
            EXPECT_TRUE(rig.sink.notices.empty());
        }
    }
}

TEST(PixelFilterSetterTest, RefusedNoticeComesBackTaggedAfterTheValueWasStored)
{
    for (const SetterCase& c : kSetters) {
        SCOPED_TRACE(c.name);
        SetterRig rig(c);
        rig.sink.refuse = true;
        ExpectError(c.setNew(*rig.probe, true), kKelvraNotReady, rig.Filter().GetFilterTag());
        EXPECT_TRUE(c.holdsNew(*rig.probe));
        EXPECT_TRUE(rig.probe->IsFrameStale());
    }
}

} // namespace
