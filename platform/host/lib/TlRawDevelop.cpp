#include "TlRawDevelop.h"

#include "kelvra/KelvraManager.h"
#include "lib/TlvQrfLib.h"
#include "runbase/TlvResultCodes.h"
#include "saverequest/TlvSaveData.h"
#include "saverequest/TlvSaveImage.h"

#include <windows.h>

#include <cstring>

namespace {

// How often the host looks at the saver: often enough that the end of a
// small file's save is seen at once, rarely enough to cost nothing.
constexpr DWORD kPollMilliseconds = 10;

// The record's paths are 260 characters; longer ones are refused.
bool CopyPath(char (&target)[260], const char* path)
{
    if (std::strlen(path) >= sizeof target)
        return false;
    std::strcpy(target, path);
    return true;
}

void WaitForTheWorker(ITlvSaveImage& saver, ITlDevelopWatcher& watcher)
{
    bool abortSent = false;
    while (!saver.IsFinished()) {
        if (!abortSent && watcher.IsStopAsked()) {
            saver.Abort();
            abortSent = true;
        }
        long done = 0;
        long total = 0;
        saver.GetProgress(done, total);
        // Nothing to tell until the worker has reported.
        if (total > 0)
            watcher.OnProgress(done, total);
        Sleep(kPollMilliseconds);
    }
}

} // namespace

CTlRawDevelop::~CTlRawDevelop()
{
    if (m_started)
        TlvQrfLib::CloseQRFLib();
    if (m_ownManager != nullptr)
        m_ownManager->Release();
}

unsigned long CTlRawDevelop::Start(IKelvraManager* manager)
{
    if (manager == nullptr) {
        IKelvraError* error = IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &m_ownManager);
        if (error != nullptr) {
            IKelvraError::Release(error);
            m_ownManager = nullptr;
            return TLV_ERR_OUT_OF_MEMORY;
        }
        manager = m_ownManager;
    }
    const unsigned long result = TlvQrfLib::InitializeQRFLib(manager);
    // A failed start is closed too, so that the library cleans up after it.
    m_started = true;
    return result;
}

unsigned long CTlRawDevelop::Develop(const char* input, const char* output, std::uint32_t fileFormat,
                                     std::uint32_t pixelFormat, ITlDevelopWatcher& watcher, IKelvraError** error)
{
    *error = nullptr;
    // The record must outlive the job: it lives until the worker is done.
    TlvQrfLib::TlvSaveData record;
    if (!CopyPath(record.szSourcePath, input) || !CopyPath(record.szOutputPath, output))
        return TLV_ERR_FAILED;
    record.dwFileFormat = fileFormat;
    record.dwPixelFormat = pixelFormat;
    ITlvSaveImage* saver = nullptr;
    const unsigned long created = ITlvSaveImage::CreateObject(&saver);
    if (TlvFailed(created))
        return created;
    const unsigned long queued = saver->SaveImage(record);
    unsigned long result = queued;
    if (queued == kTlvSaveQueued) {
        WaitForTheWorker(*saver, watcher);
        result = record.dwResult;
        if (result == TLV_OK)
            watcher.OnProgress(1, 1);
        *error = saver->TakeError();
    }
    saver->Destroy();
    return result;
}
