// Each operation works in the library's own module state and gives the
// caller's back on return.
#include "saverequest/TlvSaveImage.h"

#include "infra/TlFileFunctions.h"
#include "infra/TlString.h"
#include "jobs/TlGlobalJobQueue.h"
#include "jobs/TlJobQueue.h"
#include "load/TlLoadResult.h"
#include "saverequest/TlSaveErrorSlot.h"
#include "saverequest/TlSaveJobQueue.h"
#include "saverequest/TlSaveTask.h"
#include "settings/holders/TlvControlSettings.h"

#include <afxwin.h>

#include <cstring>
#include <new>
#include <thread>

namespace {

// A longer text is cut.
void CopyPath(char (&target)[260], const char* text)
{
    const std::size_t length = strnlen(text, sizeof target - 1);
    std::memcpy(target, text, length);
    target[length] = '\0';
}

bool IsSignalProcessingModel(std::uint16_t model)
{
    return model >= 513 && model <= 516;
}

// Writing settings into a raw file takes the holder's raw-save option; the
// cameras developed through signal processing take 0.
std::uint32_t FormatOptionFor(const TlvQrfLib::TlvSaveData& data, std::uint32_t fileFormat)
{
    const CTlvControlSettings* holder = data.pSettings;
    if (fileFormat != kTlvSaveSettingsIntoRaw || holder == nullptr)
        return data.dwFormatOption;
    if (holder->rawFlag != 0 && IsSignalProcessingModel(holder->modelCode))
        return 0;
    return holder->saveOptions;
}

} // namespace

unsigned long CreateSaveImage(ITlvSaveImage** out)
{
    CTlvSaveImage* made = new (std::nothrow) CTlvSaveImage;
    if (made == nullptr)
        return kTlResultNoMemory;
    *out = made;
    return kTlResultOk;
}

CTlvSaveImage::CTlvSaveImage() : m_queue(GetJobQueue()), m_errors(CSaveErrorSlot::Create())
{
    m_block.fileFormat = kTlvSaveDirectFormat;
    m_block.formatOption = 3;
}

CTlvSaveImage::~CTlvSaveImage()
{
    if (m_errors != nullptr)
        m_errors->Release();
}

unsigned long CTlvSaveImage::SaveImage(TlvQrfLib::TlvSaveData& data)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    TakeRequest(data);
    CSaveTask* task = new (std::nothrow) CSaveTask(data);
    if (task == nullptr)
        return kTlResultNoMemory;
    task->ReportErrorsTo(m_errors);
    if (SetUpTask(*task, data) != kTlJobDone) {
        delete task;
        return kTlResultFailed;
    }
    return QueueTask(task, data);
}

void CTlvSaveImage::TakeRequest(const TlvQrfLib::TlvSaveData& data)
{
    CopyPath(m_block.sourcePath, data.szSourcePath);
    CopyPath(m_block.targetPath, data.szOutputPath);
    m_block.directImage = data.bDirectImage;
    m_record = const_cast<TlvQrfLib::TlvSaveData*>(&data);
    if (m_block.directImage)
        UseTemporaryOutput();
    m_block.channelLayout = ChannelLayoutOf(data.dwPixelFormat);
    m_block.fileFormat = m_block.directImage ? kTlvSaveDirectFormat : data.dwFileFormat;
    m_block.formatOption = FormatOptionFor(data, m_block.fileFormat);
    m_block.word = 0;
}

// A direct-image save names its job by a fresh name in the system's
// temporary folder; without one the output path stays as given. It writes
// no file there, so the empty file that making the name left goes at once.
void CTlvSaveImage::UseTemporaryOutput()
{
    CTlString name;
    if (!MakeTempFileName(name))
        return;
    CopyPath(m_block.targetPath, name.GetData());
    RemoveFile(name.GetData());
}

long CTlvSaveImage::SetUpTask(CSaveTask& task, const TlvQrfLib::TlvSaveData& data)
{
    if (data.pSettings == nullptr)
        return task.SetUpFromFile(m_block);
    return task.SetUpWithHolder(m_block, *data.pSettings);
}

unsigned long CTlvSaveImage::QueueTask(CSaveTask* task, TlvQrfLib::TlvSaveData& data)
{
    if (m_queue == nullptr || m_queue->AddJob(task) != CJobQueue::kAdded) {
        delete task;
        return kTlResultFailed;
    }
    if (m_queue->Start() != CJobQueue::kStarted) {
        // Taken out again, it is released through the queue like any job.
        m_queue->RemoveJob(task);
        data.dwResult = kTlResultFailed;
        return kTlResultFailed;
    }
    return kTlvSaveQueued;
}

void CTlvSaveImage::GetProgress(long& done, long& total) const
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (CSaveJobQueue* queue = dynamic_cast<CSaveJobQueue*>(m_queue))
        queue->ReadProgress(done, total);
}

bool CTlvSaveImage::IsFinished()
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return m_queue == nullptr || !m_queue->IsBusy();
}

void CTlvSaveImage::Abort()
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (m_queue != nullptr)
        m_queue->AbortCurrent();
    while (IsDirectImageBusy())
        std::this_thread::yield();
}

IKelvraError* CTlvSaveImage::TakeError()
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return m_errors != nullptr ? m_errors->Take() : nullptr;
}

void CTlvSaveImage::Destroy()
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (m_record != nullptr && m_record->szProfileCopy[0] != '\0')
        RemoveFile(m_record->szProfileCopy);
    delete this;
}
