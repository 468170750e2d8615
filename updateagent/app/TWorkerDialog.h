// A dialog of the agent whose work runs on a worker thread: a text, a
// progress bar, and three messages posted to itself (start, progress,
// finish). The work is cancelled before the worker is stopped, so that the
// worker ends by itself; termination stays the last resort.
#pragma once

#include "base/TWideString.h"
#include "thread/TThread.h"
#include "ui/Controls.h"
#include "ui/TDialog.h"

class TWorkerDialog : public TDialog {
public:
    static constexpr UINT kStartMessage = 0x83E9;
    static constexpr UINT kProgressMessage = 0x83EC;

    int OnInitDialog() override;
    void OnCancel() override;

    struct Layout {
        int textControl;
        UINT textId;
        int progressControl;
        UINT finishMessage;
        // How the dialog ends on Cancel when its worker could not start.
        int endCodeWithoutWorker;
        bool inFront;
    };

protected:
    explicit TWorkerDialog(const Layout& layout) : m_layout(layout) {}

    // On the dialog's thread, before the work is queued.
    virtual int ProgressMaximum() = 0;
    // On the worker; ends by posting the finish message (PostFinish).
    virtual void RunWork() = 0;
    // From the dialog's thread: makes a running RunWork end soon.
    virtual void CancelWork() = 0;
    // On the dialog's thread; owns `text` (never null).
    virtual void Finish(TWideString* text) = 0;

    // Derived destructors call this while their work objects still exist.
    void StopWorker();
    void PostFinish(TWideString* text);
    static void PostProgress(int count, void* target);

private:
    static int RunTask(TThreadQueueData* task);
    static LRESULT OnStart(TMsgContext& context, void* self);
    static LRESULT OnProgress(TMsgContext& context, void* self);
    static LRESULT OnFinish(TMsgContext& context, void* self);

    Layout m_layout;
    TThread m_worker;
    bool m_workerStarted = false;
    TProgCtrl* m_progress = nullptr;
    TWorkerDialog* m_target = nullptr;
    HICON m_icon = nullptr;
};
