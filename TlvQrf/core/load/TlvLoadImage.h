// The load object a host drives: CreateObject, BeginLoad, ExecuteLoad until
// IsFinished, FinishLoad, Destroy. Results are the library's result codes.
#pragma once

#include "kelvra/KelvraTypes.h"
#include "lib/TlvQrfLib.h"
#include "load/TlLoadTask.h"
#include "settings/holders/TlvImageAttributes.h"


class ITlvLoadImage {
public:
    // 0, or 0x1003 when the object cannot be made (`*out` untouched).
    TLBQRF_API static unsigned long CreateObject(ITlvLoadImage** out);

    virtual bool IsFinished() const = 0;
    // Opens `file` into `attributes`: 0, 0x1003 when an object cannot be
    // made, 0x1201 when the file cannot be opened, 0x1103 when it is not a
    // file the library loads, 0x1008 otherwise.
    virtual unsigned long BeginLoad(CTlvImageAttributes* attributes, KelvraFile& file, bool unused,
                                    bool loadSubImages) = 0;
    // One load step: 0, or 0x1008 when it failed.
    virtual unsigned long ExecuteLoad() = 0;
    virtual unsigned long FinishLoad() = 0;
    virtual void GetProgress(long& step, long& total) const = 0;
    virtual void Abort() = 0;
    virtual void Destroy() = 0;
    virtual ~ITlvLoadImage() = default;
};

// What CreateObject does, for code inside the library.
unsigned long CreateLoadImage(ITlvLoadImage** out);

class CTlvLoadImage : public ITlvLoadImage {
public:
    bool IsFinished() const override;
    unsigned long BeginLoad(CTlvImageAttributes* attributes, KelvraFile& file, bool unused,
                            bool loadSubImages) override;
    unsigned long ExecuteLoad() override;
    unsigned long FinishLoad() override;
    void GetProgress(long& step, long& total) const override;
    void Abort() override;
    void Destroy() override;

private:
    CLoadTask m_task;
};
