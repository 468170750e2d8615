#include "app/TConfirmDownloadDlg.h"

#include "app/AgentDialogLook.h"

namespace {
constexpr int kQuestionControl = 1042;
constexpr UINT kQuestionText = 1083;
}

int TConfirmDownloadDlg::OnInitDialog()
{
    TDialog::OnInitDialog();
    m_icon = ApplyAgentLook(*this, kQuestionControl, kQuestionText);
    BringToFront(Handle());
    return 1;
}

void TConfirmDownloadDlg::OnOK()
{
    EndModal(0);
}

void TConfirmDownloadDlg::OnCancel()
{
    EndModal(1);
}
