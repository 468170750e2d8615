// Rebuilding, from the job's temporary settings file and what the job
// holds, the attributes that the save step needs.
#include "load/TlImageJob.h"

#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraTagControl.h"
#include "load/TlLiveObjects.h"
#include "load/TlRegisteredLoads.h"
#include "load/TlStoredSettings.h"
#include "raw/TlQuietTagReads.h"
#include "settings/edit/TlvEditSettings.h"
#include "settings/holders/TlvControlSettings.h"
#include "settings/loadpath/TlLoadPath.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

struct SFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// 0 with the whole file in `bytes`; 4 without memory; 6 when it cannot be
// read (an empty file included, which holds no settings).
long ReadOpenFile(std::FILE* file, std::vector<unsigned char>& bytes)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return kTlJobBadSettingsFile;
    const long size = std::ftell(file);
    if (size <= 0 || std::fseek(file, 0, SEEK_SET) != 0)
        return kTlJobBadSettingsFile;
    try {
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return kTlJobNoMemory;
    }
    if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
        return kTlJobBadSettingsFile;
    return kTlJobDone;
}

// The size the stored geometry is adapted to: the picture's when known.
void PictureSize(IKelvraImage* image, const CTlvImageAttributes& attributes, long& width, long& height)
{
    width = static_cast<long>(attributes.fullWidth);
    height = static_cast<long>(attributes.fullHeight);
    if (image == nullptr)
        return;
    long w = 0;
    long h = 0;
    if (Succeeded(image->GetWidth(&w)) && Succeeded(image->GetHeight(&h))) {
        width = w;
        height = h;
    }
}

} // namespace

long CImageJob::PrepareSave(const char* settingsFile, CTlvImageAttributes& attributes)
{
    CTlvEditSettings settings(attributes.flip, attributes.angle);
    attributes.ExportTo(settings);
    std::unique_ptr<std::FILE, SFileCloser> file(std::fopen(settingsFile, "rb"));
    if (!file)
        return kTlJobNoSettingsFile;
    std::vector<unsigned char> bytes;
    const long read = ReadOpenFile(file.get(), bytes);
    if (read != kTlJobDone)
        return read;
    long width = 0;
    long height = 0;
    PictureSize(m_image, attributes, width, height);
    if (settings.Load(bytes.data(), static_cast<int>(bytes.size()), static_cast<int>(width),
                      static_cast<int>(height)) <= 0)
        return kTlJobBadSettingsFile;
    HandImagesTo(attributes);
    TakeTagsInto(attributes);
    IKelvraTagControl* tags = attributes.images.tags;
    attributes.modelCode = GetShortTagValue(tags);
    attributes.ImportFrom(settings);
    if (tags != nullptr && tags->HasTag(kTlDustReferenceTag, 0)) {
        const std::vector<unsigned char> map = ReadWholeTag(*tags, kTlDustReferenceTag);
        if (!map.empty())
            attributes.dust.CreateEngine(m_manager, map.data(), map.size());
    }
    return kTlJobDone;
}

// The attributes get one more use of every image and share the profile
// buffer, which stays the job's.
void CImageJob::HandImagesTo(CTlvImageAttributes& attributes)
{
    TlvRegisteredImages& images = attributes.images;
    RegisterImage(m_image);
    RegisterImage(m_secondImage);
    for (const TlvSubImage& sub : m_subImages)
        RegisterImage(sub.image);
    // An image the attributes held before is dropped rather than leaked.
    ReleaseRegisteredImage(images.image, nullptr, true);
    ReleaseRegisteredImage(images.secondImage, nullptr, true);
    for (const TlvSubImage& sub : images.subImages)
        ReleaseRegisteredImage(sub.image, nullptr, true);
    images.image = m_image;
    images.secondImage = m_secondImage;
    images.subImages.clear();
    try {
        images.subImages = m_subImages;
    } catch (const std::bad_alloc&) {
        for (const TlvSubImage& sub : m_subImages)
            ReleaseRegisteredImage(sub.image, nullptr, true);
        images.subImages.clear();
    }
    attributes.storedSettings = m_storedSettings;
    images.hasTemporaryFile = m_embeddedProfile ? 1 : 0;
    std::memcpy(images.temporaryFile, m_profilePath, sizeof images.temporaryFile);
    attributes.iptc = m_iptc;
    attributes.signalProcessing = m_signalProcessing;
    attributes.fileFormat = m_fileFormat;
    attributes.minScaleRatio = m_minScaleRatio;
    attributes.rawFlag = m_rawFlag ? 1 : 0;
    images.buffer = m_profileBuffer;
    images.bufferSize = m_profileSize;
    images.bufferWord = m_profileWord;
}

void CImageJob::TakeTagsInto(CTlvImageAttributes& attributes)
{
    IKelvraTagControl*& tags = attributes.images.tags;
    if (tags != nullptr)
        return;
    if (m_tags != nullptr) {
        tags = m_tags;
        RegisterObject(tags);
        return;
    }
    ReadFileTags(tags, KelvraFile(m_options.sourcePath));
}
