#include "load/TlLoadTask.h"

#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"
#include "lib/TlLibraryState.h"
#include "load/TlAttributeImages.h"
#include "load/TlCompleteAttributes.h"
#include "load/TlFailureChain.h"
#include "load/TlLiveObjects.h"
#include "load/TlLoadResult.h"
#include "pellio/Pellio.h"
#include "raw/TlQuietTagReads.h"
#include "settings/holders/TlvControlSettings.h"
#include "settings/loadpath/TlLoadPath.h"

#include <cstring>

namespace {

bool HasQrfExtension(const char* path)
{
    const char* dot = std::strrchr(path, '.');
    return dot != nullptr && _stricmp(dot, ".qrf") == 0;
}

bool IsRawFormat(std::uint32_t code)
{
    return code == kPellioFormatQrf || code == kPellioFormatQrfDeflate;
}

} // namespace

CLoadTask::CLoadTask(IKelvraManager* manager)
    : m_manager(manager != nullptr ? manager : TlvQrfLib::GetGlobalManager())
{
}

CLoadTask::~CLoadTask()
{
    ReleaseLoader();
    IKelvraError::Release(m_error);
}

IKelvraError* CLoadTask::TakeError()
{
    IKelvraError* error = m_error;
    m_error = nullptr;
    return error;
}

bool CLoadTask::Succeeds(IKelvraError* error)
{
    AppendFailure(m_error, __LINE__, error);
    return error == nullptr;
}

long CLoadTask::Begin(CTlvImageAttributes* attributes, const KelvraFile& file, bool /*unused*/, bool loadSubImages)
{
    m_finished = false;
    m_aborted = false;
    m_attributes = attributes;
    m_file = file;
    m_loadSubImages = loadSubImages;
    m_progressStep = 0;
    m_progressTotal = 0;
    // A task that is begun again lets go of the earlier file first.
    ReleaseLoader();
    IKelvraError::Release(TakeError());
    if (m_attributes == nullptr)
        return kTlLoadNoObject;
    const long created = CreateObjects();
    if (created != kTlLoadDone)
        return created;
    const long started = OpenAndStart();
    if (started != kTlLoadDone)
        return started;
    return ReadImageFormat(*this, nullptr, m_loader);
}

long CLoadTask::CreateObjects()
{
    if (!Succeeds(CreateFileStream(&m_stream)) || !Succeeds(CreateLoad(&m_loader)) || m_manager == nullptr)
        return kTlLoadNoObject;
    // A second load into the same attributes replaces the first.
    ReleaseLoadedImages(*m_attributes);
    IKelvraImage* image = nullptr;
    if (!Succeeds(m_manager->CreateImage(&image, 0)))
        return kTlLoadNoObject;
    m_attributes->images.image = image;
    RegisterImage(image);
    IKelvraTagControl*& tags = m_attributes->images.tags;
    if (tags == nullptr) {
        if (!Succeeds(CreateTagControl(&tags)))
            return kTlLoadNoObject;
        RegisterObject(tags);
    }
    return kTlLoadDone;
}

long CLoadTask::OpenAndStart()
{
    if (!Succeeds(m_stream->Open(m_file, kKelvraStreamRead)))
        return kTlLoadNoFile;
    if (!Succeeds(m_loader->Start(m_stream, m_attributes->images.tags, 0, 0)))
        return kTlLoadRefused;
    // The image takes the picture's size and format, which the check reads.
    if (!Succeeds(m_loader->SetImage(m_attributes->images.image)))
        return kTlLoadRefused;
    return kTlLoadDone;
}

long CLoadTask::Execute()
{
    if (m_loader == nullptr)
        return kTlLoadStepFailed;
    if (m_loader->IsComplete()) {
        m_finished = true;
        return kTlLoadDone;
    }
    IKelvraError* error = m_loader->Step();
    m_loader->GetProgress(&m_progressStep, &m_progressTotal);
    return Succeeds(error) ? kTlLoadDone : kTlLoadStepFailed;
}

long CLoadTask::Finish(bool keepGeometry, bool complete)
{
    if (m_attributes == nullptr) {
        ReleaseLoader();
        return kTlLoadDone;
    }
    const bool raw = DecideRaw();
    m_attributes->rawFlag = raw ? 1 : 0;
    long result = kTlLoadDone;
    if (m_finished && !m_aborted) {
        std::int64_t fileBytes = 0;
        if (m_stream == nullptr || !Succeeded(m_stream->GetSize(&fileBytes)))
            fileBytes = 0;
        result = CompleteAttributes(STlLoadOutcome{*m_attributes, m_manager, m_loader, raw, keepGeometry,
                                                   m_loadSubImages, complete, fileBytes});
    }
    ReleaseLoader();
    return result;
}

bool CLoadTask::DecideRaw() const
{
    if (HasQrfExtension(m_file.path))
        return true;
    if (m_loader == nullptr)
        return false;
    KelvraFileInfo info{};
    info.size = sizeof info;
    return Succeeded(m_loader->GetFileInfo(&info)) && IsRawFormat(info.formatCode);
}

bool CLoadTask::IsFinished() const
{
    return m_finished;
}

void CLoadTask::GetProgress(long& step, long& total) const
{
    step = m_progressStep;
    total = m_progressTotal;
}

void CLoadTask::Abort()
{
    m_aborted = true;
}

void CLoadTask::ReleaseLoader()
{
    if (m_loader != nullptr) {
        m_loader->Release();
        m_loader->Destroy();
        m_loader = nullptr;
    }
    if (m_stream != nullptr) {
        m_stream->Release();
        m_stream = nullptr;
    }
}

IKelvraDataSource* CLoadTask::GetPicture()
{
    return m_attributes != nullptr ? m_attributes->images.image : nullptr;
}

IKelvraTagControl* CLoadTask::GetTagControl()
{
    return m_attributes != nullptr ? m_attributes->images.tags : nullptr;
}

KelvraLoadCallback CLoadTask::GetProgressCallback()
{
    return nullptr;
}

void CLoadTask::KeepFormatCode(std::uint32_t formatCode)
{
    m_attributes->fileFormat = static_cast<std::int32_t>(formatCode);
}

void CLoadTask::KeepImageSize(std::uint32_t width, std::uint32_t height)
{
    m_attributes->fullWidth = width;
    m_attributes->fullHeight = height;
}
