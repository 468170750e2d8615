// Setting an image job up for a save: the edit settings the save is to
// apply go into a temporary settings file, which PrepareSave reads back on
// the worker thread.
#include "load/TlImageJob.h"

#include "frame/TlProfileFolder.h"
#include "infra/TlFileFunctions.h"
#include "infra/TlString.h"
#include "kelvra/KelvraTagControl.h"
#include "load/TlImageJobOwner.h"
#include "load/TlLiveObjects.h"
#include "load/TlRegisteredLoads.h"
#include "load/TlStoredSettings.h"
#include "raw/TlQuietTagReads.h"
#include "settings/edit/TlvEditSettings.h"
#include "settings/holders/TlvControlSettings.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

// The settings a save without a settings holder applies when the source
// file stores none; it lies beside the library.
constexpr const char kNeutralSettingsName[] = "Neutral.set";

bool WriteWholeFile(const char* path, const unsigned char* bytes, std::size_t size)
{
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(bytes, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// 0, 4 without memory, 5 when the file cannot be written.
long WriteSettingsRecord(const char* path, CTlvSettingsHolder& holder)
{
    CTlvEditSettings settings(holder.flip, holder.angle);
    holder.ExportTo(settings);
    const int size = settings.GetSize();
    if (size <= 0)
        return kTlJobNoSettingsFile;
    std::vector<unsigned char> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return kTlJobNoMemory;
    }
    const int saved = settings.Save(bytes.data(), size);
    if (saved <= 0 || saved > size)
        return kTlJobNoSettingsFile;
    return WriteWholeFile(path, bytes.data(), static_cast<std::size_t>(saved)) ? kTlJobDone : kTlJobNoSettingsFile;
}

// The dust map the holder built goes with its tags, so that the save finds
// it. A tag that cannot be stored is left out.
void StoreDustMap(CTlvSettingsHolder& holder)
{
    IKelvraTagControl* tags = holder.images.tags;
    if (tags == nullptr)
        return;
    const std::vector<unsigned char> bytes = StoredDustMap(holder.dust);
    if (bytes.empty())
        return;
    const std::size_t size = bytes.size();
    if (!tags->HasTag(kTlDustReferenceTag, 0) && !Succeeded(tags->AddTag(kTlDustReferenceTag)))
        return;
    if (!Succeeded(tags->SetTag(kTlDustReferenceTag, kKelvraTagTypeBytes, static_cast<std::uint32_t>(size),
                                bytes.data())))
        return;
    Succeeded(tags->CommitTag(kTlDustReferenceTag));
}

} // namespace

bool CImageJob::MakeTempFile()
{
    CTlString name;
    if (!MakeTempFileName(name))
        return false;
    const char* path = name.GetData();
    if (std::strlen(path) >= sizeof m_tempFileName) {
        RemoveFile(path);
        return false;
    }
    std::strcpy(m_tempFileName, path);
    return true;
}

long CImageJob::SetUpWithHolder(const TlImageJobOptions& options, CTlvImageAttributes& holder)
{
    m_options = options;
    const long taken = TakeAttributes(holder);
    if (taken != kTlJobDone)
        return taken;
    if (!MakeTempFile())
        return kTlJobNoSettingsFile;
    const long written = WriteSettingsRecord(m_tempFileName, holder);
    if (written != kTlJobDone)
        return written;
    StoreDustMap(holder);
    return kTlJobDone;
}

long CImageJob::SetUpFromFile(const TlImageJobOptions& options)
{
    m_options = options;
    if (!MakeTempFile())
        return kTlJobNoSettingsFile;
    CTlvImageAttributes* attributes = m_owner.NewAttributes();
    if (attributes == nullptr)
        return kTlJobNoMemory;
    long result = kTlJobDone;
    IKelvraTagControl*& tags = attributes->images.tags;
    ReadFileTags(tags, KelvraFile(m_options.sourcePath));
    const std::vector<unsigned char> block =
        tags != nullptr ? ReadWholeTag(*tags, kTlStoredSettingsTag) : std::vector<unsigned char>();
    if (!block.empty()) {
        attributes->storedSettings = true;
        if (!WriteWholeFile(m_tempFileName, block.data(), block.size()))
            result = kTlJobNoSettingsFile;
    } else {
        RemoveFile(m_tempFileName);
        const std::string neutral = GetModuleFolder() + kNeutralSettingsName;
        std::strncpy(m_tempFileName, neutral.c_str(), sizeof m_tempFileName - 1);
        m_tempFileName[sizeof m_tempFileName - 1] = '\0';
        m_deleteTempFile = false;
    }
    ReleaseRegisteredObject(tags, true);
    tags = nullptr;
    delete[] attributes->images.buffer;
    attributes->images.buffer = nullptr;
    m_owner.DestroyAttributes(attributes);
    return result;
}
