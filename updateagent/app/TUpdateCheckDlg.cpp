#include "app/TUpdateCheckDlg.h"

#include "app/AgentDialogLook.h"
#include "ui/ShowMessageBox.h"

namespace {
const TWorkerDialog::Layout kLayout = {1040, 1081, 1039, TUpdateCheckDlg::kFinishMessage, 1, false};
}

TUpdateCheckDlg::TUpdateCheckDlg() : TWorkerDialog(kLayout) {}

TUpdateCheckDlg::~TUpdateCheckDlg()
{
    StopWorker();
}

void TUpdateCheckDlg::SetAddresses(const TWideString& installer, const TWideString& md5File)
{
    m_installer = installer;
    m_md5File = md5File;
}

UINT TUpdateCheckDlg::TextForResult(unsigned result)
{
    switch (result) {
    case UpdateChecker::kOtherStatus:
        return 1082;
    case UpdateChecker::kCancelled:
        return 1073;
    case UpdateChecker::kBadAddress:
        return 1072;
    case UpdateChecker::kInternetFailure:
        return 1078;
    case UpdateChecker::kNotConnected:
        return 1075;
    default:
        return 0;
    }
}

void TUpdateCheckDlg::RunWork()
{
    auto* text = new TWideString();
    const unsigned result = m_checker.Check(m_md5File, m_installer, &TUpdateCheckDlg::OnCheckProgress, this);
    if (const UINT textId = TextForResult(result))
        Resource().LoadText(textId, *text);
    InterlockedExchange(&m_result, static_cast<LONG>(result));
    PostFinish(text);
}

void TUpdateCheckDlg::OnCheckProgress(int step, void* target)
{
    PostProgress(step, target);
}

// Success is the result number, not the text: a failure whose text the
// language library lacks still ends as a failure, with a box.
void TUpdateCheckDlg::Finish(TWideString* text)
{
    const LONG result = InterlockedCompareExchange(&m_result, 0, 0);
    if (result != UpdateChecker::kAvailable) {
        TWideString caption;
        Resource().LoadText(kAgentCaptionId, caption);
        const bool information = result == UpdateChecker::kOtherStatus || result == UpdateChecker::kCancelled;
        ShowMessageBox(caption, *text, information ? kBoxInformation : kBoxError, nullptr);
    }
    delete text;
    EndModal(result != UpdateChecker::kAvailable ? 1 : 0);
}
