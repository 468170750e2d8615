#include "load/TlRegisteredLoads.h"

#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"
#include "lib/TlLibraryState.h"
#include "load/TlLiveObjects.h"
#include "pellio/Pellio.h"
#include "raw/TlQuietTagReads.h"

#include <algorithm>
#include <new>

namespace {

struct SReleaseImage {
    void operator()(IKelvraImage* image) const { image->Release(); }
};
using ImagePtr = std::unique_ptr<IKelvraImage, SReleaseImage>;

// Opens `file`, starts a loader on it into `tags` and hands the loader a
// scratch image, which makes it read the picture's description too.
bool ReadInto(IKelvraTagControl* tags, const KelvraFile& file, IKelvraManager* manager)
{
    IKelvraFileStream* rawStream = nullptr;
    if (!Succeeded(CreateFileStream(&rawStream)))
        return false;
    const PellioStreamPtr stream(rawStream);
    // Declared before the loader, so that the loader lets go of it first.
    ImagePtr scratch;
    IKelvraLoad* rawLoader = nullptr;
    if (!Succeeded(CreateLoad(&rawLoader)))
        return false;
    const PellioLoadPtr loader(rawLoader);
    IKelvraImage* rawImage = nullptr;
    if (manager == nullptr || !Succeeded(manager->CreateImage(&rawImage, 0)))
        return false;
    scratch.reset(rawImage);
    return Succeeded(stream->Open(file, kKelvraStreamRead)) && Succeeded(loader->Start(stream.get(), tags, 0, 0)) &&
           Succeeded(loader->SetImage(scratch.get()));
}

long ReportedSubImageCount(IKelvraLoad* loader)
{
    KelvraFileInfo info{};
    info.size = sizeof info;
    if (!Succeeded(loader->GetFileInfo(&info)))
        return 0;
    return static_cast<long>(std::min<std::uint32_t>(info.subImageCount, 0x7FFFFFFF));
}

long BelievedCount(long reported, std::int64_t fileBytes)
{
    const std::int64_t byBytes = fileBytes > 0 ? fileBytes / kTlSubImageEntryBytes : 0;
    return static_cast<long>(std::min<std::int64_t>({std::int64_t(reported), std::int64_t(kTlMaxSubImages), byBytes}));
}

bool LoadEntry(TlvSubImage& entry, long number, IKelvraLoad* loader, IKelvraManager* manager)
{
    IKelvraImage* image = nullptr;
    if (!Succeeded(manager->CreateImage(&image, 0)))
        return false;
    entry.flags = 0;
    entry.word = 1;
    if (!Succeeded(loader->LoadSubImage(number, image, &entry.flags))) {
        image->Release();
        return false;
    }
    entry.image = image;
    RegisterImage(image);
    return true;
}

} // namespace

bool ReadFileTags(IKelvraTagControl*& tags, const KelvraFile& file)
{
    if (tags != nullptr)
        return true;
    if (!Succeeded(CreateTagControl(&tags)))
        return false;
    RegisterObject(tags);
    if (ReadInto(tags, file, TlvQrfLib::GetGlobalManager()))
        return true;
    ReleaseRegisteredObject(tags, true);
    tags = nullptr;
    return false;
}

long LoadSubImages(std::vector<TlvSubImage>& entries, IKelvraLoad* loader, IKelvraManager* manager,
                   std::int64_t fileBytes)
{
    entries.clear();
    if (loader == nullptr || manager == nullptr)
        return 0;
    const long count = BelievedCount(ReportedSubImageCount(loader), fileBytes);
    if (count <= 0)
        return 0;
    try {
        entries.resize(static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
        entries.clear();
        return 0;
    }
    long filled = 0;
    while (filled < count && LoadEntry(entries[std::size_t(filled)], filled + 1, loader, manager))
        ++filled;
    entries.resize(static_cast<std::size_t>(filled));
    return filled;
}
