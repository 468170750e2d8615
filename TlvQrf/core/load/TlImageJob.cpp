#include "load/TlImageJob.h"

#include "frame/TlSaveProgress.h"
#include "jobs/TlJobQueue.h"
#include "kelvra/KelvraError.h"
#include "lib/TlLibraryState.h"
#include "load/TlFailureChain.h"
#include "load/TlImageJobOwner.h"
#include "load/TlImageSaveHook.h"
#include "load/TlLiveObjects.h"
#include "settings/holders/TlvControlSettings.h"

#include <cstring>

namespace {

// Copies at most `size` - 1 characters; a longer text is cut.
void CopyPath(char* target, std::size_t size, const char* text)
{
    const std::size_t length = text != nullptr ? strnlen(text, size - 1) : 0;
    if (length != 0)
        std::memcpy(target, text, length);
    target[length] = '\0';
}

// What a run's result says when nothing deeper left a chain.
const char* JobFailureText(long result)
{
    switch (result) {
    case kTlJobLoadFailed: return "the source file could not be loaded";
    case kTlJobSaveRefused: return "the save was refused";
    case kTlJobNoMemory: return "out of memory";
    case kTlJobNoSettingsFile: return "the settings to develop with could not be written to a temporary file";
    case kTlJobBadSettingsFile: return "the settings to develop with could not be read";
    default: return "the image could not be developed and written";
    }
}

} // namespace

long MapImageSaveResult(int saveResult)
{
    switch (saveResult) {
    case 0: return kTlJobDone;
    case 2: return kTlJobSaveRefused;
    case 3: return kTlJobNoMemory;
    case 6: return kTlJobCancelled;
    default: return kTlJobFailed;
    }
}

CImageJob::CImageJob(ITlImageJobOwner& owner, IKelvraManager* manager)
    : m_owner(owner), m_manager(manager != nullptr ? manager : TlvQrfLib::GetGlobalManager())
{
    m_deleteTempFile = true;
    SetPriority(1);
}

CImageJob::~CImageJob()
{
    IKelvraError::Release(m_error);
    ReleaseHeld();
    if (m_deleteTempFile)
        DeleteTempFile();
}

std::uint32_t CImageJob::GetChannelLayout()
{
    return m_options.channelLayout;
}

void CImageJob::SetChannelLayout(std::uint32_t layout)
{
    m_options.channelLayout = layout;
}

std::uint32_t CImageJob::GetFileFormat()
{
    return m_options.fileFormat;
}

std::uint32_t CImageJob::GetFormatOption()
{
    return m_options.formatOption;
}

void CImageJob::SetFormatOption(std::uint32_t option)
{
    m_options.formatOption = option;
}

int CImageJob::GetKind()
{
    return kKindSingle;
}

const char* CImageJob::GetSourcePath()
{
    return m_options.sourcePath;
}

void CImageJob::SetSourcePath(const char* path)
{
    CopyPath(m_options.sourcePath, sizeof m_options.sourcePath, path);
}

const char* CImageJob::GetTargetPath()
{
    return m_options.targetPath;
}

void CImageJob::SetTargetPath(const char* path)
{
    CopyPath(m_options.targetPath, sizeof m_options.targetPath, path);
}

void CImageJob::SetOutputFormat(std::uint32_t format, std::uint32_t flag)
{
    CJob::SetOutputFormat(format, flag);
    m_options.fileFormat = GetOutputFormat();
}

bool CImageJob::WasSaved()
{
    return m_saved;
}

long CImageJob::Run()
{
    IKelvraError::Release(TakeError());
    long result = m_image == nullptr ? LoadSource() : kTlJobDone;
    if (result == kTlJobDone)
        result = Save();
    // Every failure reaches the host with a reason, also one that left no
    // chain of its own.
    if (result != kTlJobDone && result != kTlJobCancelled && m_error == nullptr)
        KeepFailure(__LINE__, JobFailureText(result), nullptr);
    return result;
}

IKelvraError* CImageJob::TakeError()
{
    IKelvraError* error = m_error;
    m_error = nullptr;
    return error;
}

void CImageJob::KeepFailure(long line, const char* text, IKelvraError* cause)
{
    AppendFailure(m_error, line, MakeFailure(line, text, cause));
}

long CImageJob::Save()
{
    if (CJobQueue* queue = GetQueue())
        queue->BeginSaveStep(this);
    CTlvImageAttributes* attributes = m_owner.NewAttributes();
    if (attributes == nullptr)
        return kTlJobNoMemory;
    long result = PrepareSave(m_tempFileName, *attributes);
    if (result == kTlJobDone)
        result = RunSave(*attributes);
    if (result < 1 || result > 127)
        m_saved = true;
    DropAttributes(attributes);
    return result;
}

long CImageJob::RunSave(CTlvImageAttributes& attributes)
{
    CTlvParamSet* target = m_owner.NewSaveTarget(attributes);
    if (target == nullptr)
        return kTlJobNoMemory;
    // The save reports its progress to the queue that runs the job.
    TlSaveProgressState state = GetSaveProgressState();
    state.sink = GetQueue();
    const TlSaveProgressState previous = ExchangeSaveProgressState(state);
    const int code = RunImageSave(STlImageSave{target, m_options.targetPath, m_options.channelLayout,
                                               m_options.fileFormat, m_options.formatOption,
                                               m_options.directImage});
    const long result = MapImageSaveResult(code);
    IKelvraError* saveErrors = TakeImageSaveError();
    if (result == kTlJobDone || result == kTlJobCancelled)
        IKelvraError::Release(saveErrors);
    else
        KeepFailure(__LINE__, "the image could not be developed and written", saveErrors);
    TlSaveProgressState after = GetSaveProgressState();
    after.sink = previous.sink;
    ExchangeSaveProgressState(after);
    m_lastSaveResult = static_cast<std::uint32_t>(code);
    ReleaseRegisteredObject(attributes.images.tags, true);
    attributes.images.tags = nullptr;
    m_owner.DestroySaveTarget(target);
    return result;
}

void CImageJob::DropAttributes(CTlvImageAttributes* attributes)
{
    // A buffer the attributes share with the job stays the job's.
    if (attributes->images.buffer == m_profileBuffer) {
        attributes->images.buffer = nullptr;
        attributes->images.bufferSize = 0;
    }
    m_owner.DestroyAttributes(attributes);
}

void CImageJob::Release(bool destroy)
{
    ReleaseHeld();
    if (destroy)
        delete this;
}

void CImageJob::ReleaseHeld()
{
    // The temporary profile file goes with the image's last use.
    ReleaseRegisteredImage(m_image, GetEmbeddedProfilePath(), true);
    m_image = nullptr;
    ReleaseRegisteredImage(m_secondImage, nullptr, true);
    m_secondImage = nullptr;
    for (const TlvSubImage& sub : m_subImages)
        ReleaseRegisteredImage(sub.image, nullptr, true);
    m_subImages.clear();
    ReleaseRegisteredObject(m_tags, true);
    m_tags = nullptr;
    delete[] m_profileBuffer;
    m_profileBuffer = nullptr;
    m_profileSize = 0;
    m_profileWord = 0;
}
