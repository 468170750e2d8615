// The manual check: runs the availability check on a worker thread with a
// progress bar; ends with 0 when an update is available, else with 1 after
// a box that says why.
#pragma once

#include "app/TWorkerDialog.h"
#include "net/UpdateChecker.h"

class TUpdateCheckDlg : public TWorkerDialog {
public:
    static constexpr UINT kTemplateId = 1005;
    static constexpr UINT kFinishMessage = 0x83EE;

    TUpdateCheckDlg();
    ~TUpdateCheckDlg() override;

    void SetAddresses(const TWideString& installer, const TWideString& md5File);

    // The text id for a check result; 0 for success and unknown results.
    static UINT TextForResult(unsigned result);

private:
    int ProgressMaximum() override { return UpdateChecker::kProgressSteps; }
    void RunWork() override;
    void CancelWork() override { m_checker.Cancel(); }
    void Finish(TWideString* text) override;
    static void OnCheckProgress(int step, void* target);

    TWideString m_installer;
    TWideString m_md5File;
    UpdateChecker m_checker;
    volatile LONG m_result = 0;
};
