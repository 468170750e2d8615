// Loading an image job's source on the worker thread, and taking what the
// load put into the attributes.
#include "load/TlImageJob.h"

#include "filters/sigcore/TlSigProcImage.h"
#include "infra/TlFileFunctions.h"
#include "infra/TlString.h"
#include "jobs/TlJobQueue.h"
#include "load/TlImageJobOwner.h"
#include "load/TlLiveObjects.h"
#include "load/TlLoadResult.h"
#include "load/TlLoadTask.h"
#include "settings/holders/TlvControlSettings.h"

#include <cstdio>
#include <cstring>
#include <new>

long CImageJob::LoadSource()
{
    CJobQueue* queue = GetQueue();
    if (queue != nullptr)
        queue->BeginLoadStep(this);
    CTlvImageAttributes* attributes = m_owner.NewAttributes();
    if (attributes == nullptr)
        return kTlJobNoMemory;
    long result = RunLoadTask(*attributes);
    if (queue != nullptr)
        queue->OnLoadFinished(result, this);
    if (result == kTlJobDone)
        result = TakeAttributes(*attributes);
    ReleaseRegisteredObject(attributes->images.tags, true);
    attributes->images.tags = nullptr;
    delete[] attributes->images.buffer;
    attributes->images.buffer = nullptr;
    attributes->images.bufferSize = 0;
    m_owner.DestroyAttributes(attributes);
    return result;
}

long CImageJob::RunLoadTask(CTlvImageAttributes& attributes)
{
    CLoadTask task(m_manager);
    long code = task.Begin(&attributes, KelvraFile(m_options.sourcePath), false, true);
    while (code == kTlLoadDone) {
        if (task.IsFinished()) {
            code = task.Finish(GetOptionFlag(), true);
            break;
        }
        code = task.Execute();
        if (code != kTlLoadDone)
            break;
        long step = 0;
        long total = 0;
        task.GetProgress(step, total);
        if (CJobQueue* queue = GetQueue()) {
            if (queue->Progress(step, total)) {
                task.Abort();
                return kTlJobCancelled;
            }
        }
    }
    if (code == kTlLoadCancelled)
        return kTlJobCancelled;
    if (code == kTlLoadDone)
        return kTlJobDone;
    m_loadError = static_cast<int>(code);
    char text[128];
    std::snprintf(text, sizeof text, "the source file could not be loaded: %s", LoadFailureText(code));
    KeepFailure(__LINE__, text, task.TakeError());
    return kTlJobLoadFailed;
}

long CImageJob::TakeAttributes(CTlvImageAttributes& attributes)
{
    // What an earlier take left is given back rather than lost.
    ReleaseHeld();
    const long images = TakeImages(attributes);
    if (images != kTlJobDone)
        return images;
    m_subImages.clear();
    try {
        m_subImages = attributes.images.subImages;
    } catch (const std::bad_alloc&) {
        m_subImages.clear();
    }
    for (const TlvSubImage& sub : m_subImages)
        RegisterImage(sub.image);
    const long buffer = TakeProfileBuffer(attributes);
    if (buffer != kTlJobDone)
        return buffer;
    m_storedSettings = attributes.storedSettings;
    m_embeddedProfile = attributes.images.hasTemporaryFile != 0;
    std::memcpy(m_profilePath, attributes.images.temporaryFile, sizeof m_profilePath);
    m_iptc = attributes.iptc;
    m_signalProcessing = attributes.signalProcessing;
    m_fileFormat = attributes.fileFormat;
    m_minScaleRatio = attributes.minScaleRatio;
    m_rawFlag = attributes.rawFlag != 0;
    if (m_signalProcessing && m_embeddedProfile)
        CopyEmbeddedProfile();
    if (attributes.images.tags != nullptr) {
        m_tags = attributes.images.tags;
        RegisterObject(m_tags);
    }
    return kTlJobDone;
}

long CImageJob::TakeImages(CTlvImageAttributes& attributes)
{
    if (attributes.signalProcessing)
        return CopySignalImage(attributes);
    m_image = attributes.images.image;
    RegisterImage(m_image);
    m_secondImage = attributes.images.secondImage;
    RegisterImage(m_secondImage);
    return kTlJobDone;
}

long CImageJob::CopySignalImage(CTlvImageAttributes& attributes)
{
    CSigProcImage* copy = new (std::nothrow) CSigProcImage(m_manager);
    if (copy == nullptr)
        return kTlJobNoMemory;
    CSigProcImage* source = dynamic_cast<CSigProcImage*>(attributes.images.image);
    IKelvraError* error = source != nullptr ? source->CopyTo(copy) : nullptr;
    if (source == nullptr || error != nullptr) {
        if (error != nullptr)
            IKelvraError::Release(error);
        copy->Release();
        return kTlJobFailed;
    }
    m_image = copy;
    RegisterImage(m_image);
    return kTlJobDone;
}

long CImageJob::TakeProfileBuffer(const CTlvImageAttributes& attributes)
{
    const TlvRegisteredImages& images = attributes.images;
    if (images.buffer == nullptr || images.bufferSize == 0)
        return kTlJobDone;
    unsigned char* copy = new (std::nothrow) unsigned char[images.bufferSize];
    if (copy == nullptr)
        return kTlJobNoMemory;
    std::memcpy(copy, images.buffer, images.bufferSize);
    m_profileBuffer = copy;
    m_profileSize = images.bufferSize;
    m_profileWord = images.bufferWord;
    return kTlJobDone;
}

// The signal-processing copy is an image of its own, so it gets a profile
// file of its own that goes with it.
void CImageJob::CopyEmbeddedProfile()
{
    CTlString name;
    if (!MakeTempFileName(name))
        return;
    const char* path = name.GetData();
    if (CopyFileTo(m_profilePath, path, false) && std::strlen(path) < sizeof m_profilePath)
        std::strcpy(m_profilePath, path);
    else
        RemoveFile(path);
}
