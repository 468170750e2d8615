#include "DevelopSession.h"

#include "DevelopProgress.h"

#include "kelvra/KelvraManager.h"
#include "lib/TlvQrfLib.h"
#include "runbase/TlvResultCodes.h"
#include "saverequest/TlvSaveData.h"
#include "saverequest/TlvSaveImage.h"

#include <windows.h>

#include <atomic>
#include <cstring>

namespace {

// How often the host looks at the saver: often enough that the end of a
// small file's save is seen at once, rarely enough to cost nothing.
constexpr DWORD kPollMilliseconds = 10;

std::atomic<bool> g_stopAsked{false};

BOOL WINAPI OnConsoleControl(DWORD)
{
    g_stopAsked = true;
    return TRUE;
}

// The record's paths are 260 characters; the caller checked the lengths.
void CopyPath(char (&target)[260], const char* path)
{
    std::strncpy(target, path, sizeof target - 1);
    target[sizeof target - 1] = '\0';
}

void WaitForTheWorker(ITlvSaveImage& saver, CProgressLine& progress)
{
    bool abortSent = false;
    while (!saver.IsFinished()) {
        if (g_stopAsked && !abortSent) {
            saver.Abort();
            abortSent = true;
        }
        long done = 0;
        long total = 0;
        saver.GetProgress(done, total);
        // Nothing to draw until the worker has reported.
        if (total > 0)
            progress.Show(done, total);
        Sleep(kPollMilliseconds);
    }
}

} // namespace

CDevelopSession::~CDevelopSession()
{
    if (m_started)
        TlvQrfLib::CloseQRFLib();
    if (m_manager != nullptr)
        m_manager->Release();
}

unsigned long CDevelopSession::Start()
{
    IKelvraError* error = IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &m_manager);
    if (error != nullptr) {
        IKelvraError::Release(error);
        m_manager = nullptr;
        return TLV_ERR_OUT_OF_MEMORY;
    }
    const unsigned long result = TlvQrfLib::InitializeQRFLib(m_manager);
    // A failed start is closed too, so that the library cleans up after it.
    m_started = true;
    return result;
}

unsigned long CDevelopSession::Develop(const char* input, const char* output, const DevelopOutput& format,
                                       CProgressLine& progress, IKelvraError** error)
{
    *error = nullptr;
    ITlvSaveImage* saver = nullptr;
    const unsigned long created = ITlvSaveImage::CreateObject(&saver);
    if (TlvFailed(created))
        return created;
    SetConsoleCtrlHandler(&OnConsoleControl, TRUE);

    // The record must outlive the job: it lives until the worker is done.
    TlvQrfLib::TlvSaveData record;
    CopyPath(record.szSourcePath, input);
    CopyPath(record.szOutputPath, output);
    record.dwFileFormat = format.fileFormat;
    record.dwPixelFormat = format.pixelFormat;
    const unsigned long queued = saver->SaveImage(record);
    unsigned long result = queued;
    if (queued == kTlvSaveQueued) {
        WaitForTheWorker(*saver, progress);
        result = record.dwResult;
        if (result == TLV_OK)
            progress.Show(1, 1);
        *error = saver->TakeError();
    }
    progress.Finish();
    SetConsoleCtrlHandler(&OnConsoleControl, FALSE);
    saver->Destroy();
    return result;
}
