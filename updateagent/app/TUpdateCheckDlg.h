// The manual check: runs the availability check on a worker thread with a
// progress bar; ends with 0 when an update is available, else with 1 after
// a box that says why.
#pragma once

#include "base/TWideString.h"
#include "net/UpdateChecker.h"
#include "thread/TThread.h"
#include "ui/Controls.h"
#include "ui/TDialog.h"

class TUpdateCheckDlg : public TDialog {
public:
    static constexpr UINT kTemplateId = 1005;
    static constexpr UINT kStartMessage = 0x83E9;
    static constexpr UINT kProgressMessage = 0x83EC;
    static constexpr UINT kFinishMessage = 0x83EE;

    TUpdateCheckDlg() = default;
    ~TUpdateCheckDlg() override;

    void SetAddresses(const TWideString& installer, const TWideString& md5File);
    int OnInitDialog() override;
    void OnCancel() override;

    // The text id for a check result; 0 for success and unknown results.
    static UINT TextForResult(unsigned result);

private:
    static int RunTask(TThreadQueueData* task);
    static void OnCheckProgress(int step, void* target);
    static LRESULT OnStart(TMsgContext& context, void* self);
    static LRESULT OnProgress(TMsgContext& context, void* self);
    static LRESULT OnFinish(TMsgContext& context, void* self);
    void RunCheck();
    void StopWorker();

    TWideString m_installer;
    TWideString m_md5File;
    TThread m_worker;
    bool m_workerStarted = false;
    TProgCtrl* m_progress = nullptr;
    TUpdateCheckDlg* m_target = nullptr;
    UpdateChecker m_checker;
    volatile LONG m_result = 0;
    HICON m_icon = nullptr;
};
