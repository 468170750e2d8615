// Parks the save state while the job queue holds it, so that every save
// starts from a clean state, and puts it back when it is destroyed.
#pragma once

#include "frame/TlSaveProgress.h"
#include "jobs/TlSaveContextSlot.h"
#include "save/TlSaveState.h"

#include <string>

class CTlFileSavingUtilities;

class CSaveContext : public ITlSaveContext {
public:
    // Null takes the current global filter watcher.
    explicit CSaveContext(CTlFileSavingUtilities* watcher = nullptr);
    // Restores only when the context has a watcher.
    virtual ~CSaveContext();
    CSaveContext(const CSaveContext&) = delete;
    CSaveContext& operator=(const CSaveContext&) = delete;

private:
    void Park();
    void Restore();

    CTlFileSavingUtilities* m_watcher;
    STlSaveState m_state;
    std::string m_softwareTag;
    ITlSaveProgressSink* m_progressSink = nullptr;
    int m_progressBase = 0;
};
