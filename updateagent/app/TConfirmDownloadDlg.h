// The question before the download: OK answers 0 (go ahead), Cancel 1.
#pragma once

#include "ui/TDialog.h"

class TConfirmDownloadDlg : public TDialog {
public:
    static constexpr UINT kTemplateId = 1006;

    int OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    HICON m_icon = nullptr;
};
