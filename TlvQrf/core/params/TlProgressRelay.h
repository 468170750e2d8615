// Passes the progress of a raw-processing image's development on to the
// running save's progress monitor.
#pragma once

#include "filters/sigcore/TlSigProcImage.h"

class CProgressRelay : public ISigProcObserver {
public:
    enum : long {
        kStarted = -1,
        kEnded = -2,
        kAttached = -3,
        kDetached = -4,
    };

    virtual ~CProgressRelay() = default;

    // A non-negative `code` is progress of `total`; a negative one an event.
    // True to go on; false when the save is to stop. Without a monitor
    // everything goes on.
    virtual bool Progress(long code, long total);

    void OnSigProcEvent(long code, CSigProcImage* image) override;
    int OnSigProcProgress(long done, long total) override;
};

// Relays a raw-processing image's progress to the running save while it
// lives, and puts the image's previous observer back on every path. Other
// images are left alone.
class CScopedProgressRelay {
public:
    explicit CScopedProgressRelay(IKelvraImage* image);
    ~CScopedProgressRelay();
    CScopedProgressRelay(const CScopedProgressRelay&) = delete;
    CScopedProgressRelay& operator=(const CScopedProgressRelay&) = delete;

private:
    CSigProcImage* m_image;
    ISigProcObserver* m_previous = nullptr;
    CProgressRelay m_relay;
};
