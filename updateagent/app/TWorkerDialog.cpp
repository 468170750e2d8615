#include "app/TWorkerDialog.h"

#include "app/AgentDialogLook.h"
#include "app/TDwnlData.h"

int TWorkerDialog::OnInitDialog()
{
    TDialog::OnInitDialog();
    m_icon = ApplyAgentLook(*this, m_layout.textControl, m_layout.textId);
    m_progress = dynamic_cast<TProgCtrl*>(GetControl(m_layout.progressControl));
    if (m_progress)
        m_progress->Show(false);
    m_target = this;
    m_workerStarted = m_worker.Start(&TWorkerDialog::RunTask);
    if (!m_workerStarted)
        return 0;
    AddMessageHandler(kStartMessage, {this, &TWorkerDialog::OnStart});
    AddMessageHandler(static_cast<int>(m_layout.finishMessage), {this, &TWorkerDialog::OnFinish});
    AddMessageHandler(kProgressMessage, {this, &TWorkerDialog::OnProgress});
    if (m_layout.inFront)
        BringToFront(Handle());
    PostMsg(kStartMessage, 0);
    return 1;
}

// Without a worker nothing would ever end the dialog: Cancel then ends it.
void TWorkerDialog::OnCancel()
{
    if (!m_workerStarted) {
        EndModal(m_layout.endCodeWithoutWorker);
        return;
    }
    CancelWork();
}

void TWorkerDialog::StopWorker()
{
    if (!m_workerStarted)
        return;
    CancelWork();
    m_worker.Stop(true);
    m_workerStarted = false;
}

void TWorkerDialog::PostFinish(TWideString* text)
{
    if (!m_target->PostMsg(m_layout.finishMessage, reinterpret_cast<LPARAM>(text)))
        delete text;
}

void TWorkerDialog::PostProgress(int count, void* target)
{
    auto* value = new int(count);
    if (!static_cast<TWorkerDialog*>(target)->PostMsg(kProgressMessage, reinterpret_cast<LPARAM>(value)))
        delete value;
}

int TWorkerDialog::RunTask(TThreadQueueData* task)
{
    if (auto* dialog = static_cast<TWorkerDialog*>(task->Owner()))
        dialog->RunWork();
    task->Release();
    return 1;
}

LRESULT TWorkerDialog::OnStart(TMsgContext&, void* self)
{
    auto* dialog = static_cast<TWorkerDialog*>(self);
    if (TProgCtrl* progress = dialog->m_progress) {
        progress->SetMinimum(0);
        progress->SetMaximum(dialog->ProgressMaximum());
        progress->SetPos(0);
        progress->Show(true);
    }
    auto* task = new TDwnlData(dialog, dialog->m_target);
    if (!dialog->m_worker.Post(task, false))
        task->Release();
    return 1;
}

LRESULT TWorkerDialog::OnProgress(TMsgContext& context, void* self)
{
    auto* count = reinterpret_cast<int*>(context.lParam);
    auto* dialog = static_cast<TWorkerDialog*>(self);
    if (count && dialog->m_progress)
        dialog->m_progress->Step(*count);
    delete count;
    return 1;
}

LRESULT TWorkerDialog::OnFinish(TMsgContext& context, void* self)
{
    auto* text = reinterpret_cast<TWideString*>(context.lParam);
    static_cast<TWorkerDialog*>(self)->Finish(text ? text : new TWideString());
    return 1;
}
