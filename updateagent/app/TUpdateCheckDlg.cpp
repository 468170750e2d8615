#include "app/TUpdateCheckDlg.h"

#include "app/AgentDialogLook.h"
#include "app/TDwnlData.h"
#include "ui/ShowMessageBox.h"

namespace {
constexpr int kProgressControl = 1039;
constexpr int kTextControl = 1040;
constexpr UINT kCheckingText = 1081;
}

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

int TUpdateCheckDlg::OnInitDialog()
{
    TDialog::OnInitDialog();
    m_icon = ApplyAgentLook(*this, kTextControl, kCheckingText);
    m_progress = dynamic_cast<TProgCtrl*>(GetControl(kProgressControl));
    if (m_progress)
        m_progress->Show(false);
    m_target = this;
    m_workerStarted = m_worker.Start(&TUpdateCheckDlg::RunTask);
    if (!m_workerStarted)
        return 0;
    AddMessageHandler(kStartMessage, {this, &TUpdateCheckDlg::OnStart});
    AddMessageHandler(kFinishMessage, {this, &TUpdateCheckDlg::OnFinish});
    AddMessageHandler(kProgressMessage, {this, &TUpdateCheckDlg::OnProgress});
    PostMsg(kStartMessage, 0);
    return 1;
}

// Without a worker nothing would ever end the dialog: Cancel then stops.
void TUpdateCheckDlg::OnCancel()
{
    if (!m_workerStarted) {
        EndModal(1);
        return;
    }
    m_checker.Cancel();
}

LRESULT TUpdateCheckDlg::OnStart(TMsgContext&, void* self)
{
    auto* dialog = static_cast<TUpdateCheckDlg*>(self);
    if (TProgCtrl* progress = dialog->m_progress) {
        progress->SetMinimum(0);
        progress->SetMaximum(UpdateChecker::kProgressSteps);
        progress->SetPos(0);
        progress->Show(true);
    }
    auto* task = new TDwnlData(dialog, dialog->m_target);
    if (!dialog->m_worker.Post(task, false))
        task->Release();
    return 1;
}

int TUpdateCheckDlg::RunTask(TThreadQueueData* task)
{
    if (auto* dialog = static_cast<TUpdateCheckDlg*>(task->Owner()))
        dialog->RunCheck();
    task->Release();
    return 1;
}

void TUpdateCheckDlg::RunCheck()
{
    auto* text = new TWideString();
    const unsigned result = m_checker.Check(m_md5File, m_installer, &TUpdateCheckDlg::OnCheckProgress, m_target);
    if (const UINT textId = TextForResult(result))
        Resource().LoadText(textId, *text);
    InterlockedExchange(&m_result, static_cast<LONG>(result));
    if (!m_target->PostMsg(kFinishMessage, reinterpret_cast<LPARAM>(text)))
        delete text;
}

void TUpdateCheckDlg::OnCheckProgress(int step, void* target)
{
    auto* count = new int(step);
    if (!static_cast<TUpdateCheckDlg*>(target)->PostMsg(kProgressMessage, reinterpret_cast<LPARAM>(count)))
        delete count;
}

LRESULT TUpdateCheckDlg::OnProgress(TMsgContext& context, void* self)
{
    auto* count = reinterpret_cast<int*>(context.lParam);
    auto* dialog = static_cast<TUpdateCheckDlg*>(self);
    if (count && dialog->m_progress)
        dialog->m_progress->Step(*count);
    delete count;
    return 1;
}

// Success is the result number, not the text: a failure whose text the
// language library lacks still ends as a failure, with a box.
LRESULT TUpdateCheckDlg::OnFinish(TMsgContext& context, void* self)
{
    auto* dialog = static_cast<TUpdateCheckDlg*>(self);
    auto* text = reinterpret_cast<TWideString*>(context.lParam);
    const LONG result = InterlockedCompareExchange(&dialog->m_result, 0, 0);
    if (result != UpdateChecker::kAvailable) {
        TWideString caption;
        dialog->Resource().LoadText(kAgentCaptionId, caption);
        const bool information = result == UpdateChecker::kOtherStatus || result == UpdateChecker::kCancelled;
        ShowMessageBox(caption, text ? *text : TWideString(), information ? kBoxInformation : kBoxError, nullptr);
    }
    delete text;
    dialog->EndModal(result != UpdateChecker::kAvailable ? 1 : 0);
    return 1;
}

// The check is cancelled first so that the worker ends by itself; only a
// worker that still does not end is terminated.
void TUpdateCheckDlg::StopWorker()
{
    if (!m_workerStarted)
        return;
    m_checker.Cancel();
    m_worker.Stop(true);
    m_workerStarted = false;
}
