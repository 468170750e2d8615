#include "TlHostPicture.h"

#include "filtrix/KelvraFilterColorSpace.h"
#include "filtrix/KelvraFilterScale.h"
#include "pellio/PellioFormats.h"

namespace {

// The layer that stops a load its caller no longer wants.
constexpr KelvraTag kHostTag = KelvraFourCC('T', 'l', 'H', 's');

IKelvraError* OpenForReading(const char* path, PellioStreamPtr* stream)
{
    IKelvraFileStream* made = nullptr;
    if (IKelvraError* error = CreateFileStream(&made))
        return error;
    stream->reset(made);
    if (IKelvraError* error = made->SetPath(path))
        return error;
    return made->Open(kKelvraStreamRead);
}

IKelvraError* NewImage(IKelvraManager* manager, TlImagePtr* image)
{
    IKelvraImage* made = nullptr;
    IKelvraError* error = manager->CreateImage(&made);
    image->reset(made);
    return error;
}

IKelvraError* RunFilter(IKelvraManager* manager, IKelvraFilter& filter, IKelvraImage* source, TlImagePtr* output)
{
    if (IKelvraError* error = NewImage(manager, output))
        return error;
    IKelvraDataSource* sources[] = {source};
    return filter.Process(sources, 1, output->get());
}

} // namespace

IKelvraError* TlReadPictureTags(const char* path, IKelvraTagControl* tags, KelvraFileInfo* info)
{
    PellioStreamPtr stream;
    if (IKelvraError* error = OpenForReading(path, &stream))
        return error;
    IKelvraLoad* load = nullptr;
    if (IKelvraError* error = CreateLoad(&load))
        return error;
    PellioLoadPtr owned(load);
    IKelvraError* error = load->Start(stream.get(), tags, 0, 0);
    info->size = sizeof *info;
    return error ? error : load->GetFileInfo(info);
}

IKelvraError* TlLoadPicture(IKelvraManager* manager, const char* path, TlImagePtr* image,
                            const std::function<bool(long, long)>& keepGoing)
{
    PellioStreamPtr stream;
    if (IKelvraError* error = OpenForReading(path, &stream))
        return error;
    IKelvraTagControl* tags = nullptr;
    if (IKelvraError* error = CreateTagControl(&tags))
        return error;
    PellioTagsPtr ownedTags(tags);
    IKelvraLoad* load = nullptr;
    if (IKelvraError* error = CreateLoad(&load))
        return error;
    PellioLoadPtr ownedLoad(load);
    IKelvraError* error = load->Start(stream.get(), tags, 0, 0);
    if (!error)
        error = NewImage(manager, image);
    if (!error)
        error = load->SetImage(image->get());
    while (!error && !load->IsComplete()) {
        error = load->Step();
        long done = 0, total = 0;
        load->GetProgress(&done, &total);
        if (!error && keepGoing && !keepGoing(done, total))
            error = IKelvraError::Add(nullptr, kHostTag, __LINE__, kKelvraCategoryApp, kKelvraCancelled);
    }
    return error;
}

IKelvraError* TlScalePicture(IKelvraManager* manager, IKelvraImage* source, long width, long height,
                             TlImagePtr* scaled)
{
    CKelvraFilterScale scale(manager, CKelvraFilterScale::kArea);
    if (IKelvraError* error = scale.SetSize(width, height, false))
        return error;
    TlImagePtr sized;
    if (IKelvraError* error = RunFilter(manager, scale, source, &sized))
        return error;
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = sized->GetColorSpace(&format))
        return error;
    if (format != kKelvraRGB16) {
        *scaled = std::move(sized);
        return nullptr;
    }
    // A rendition of 16-bit colour is made in 8 bits.
    CKelvraFilterColorSpace space(manager);
    if (IKelvraError* error = space.SetOutputColorSpace(0, 1, false))
        return error;
    return RunFilter(manager, space, sized.get(), scaled);
}

IKelvraError* TlSaveJpeg(IKelvraDataSource* source, const char* path, int quality)
{
    IKelvraFileStream* stream = nullptr;
    if (IKelvraError* error = CreateFileStream(&stream))
        return error;
    PellioStreamPtr ownedStream(stream);
    IKelvraSave* save = nullptr;
    if (IKelvraError* error = CreateSave(&save))
        return error;
    PellioSavePtr ownedSave(save);
    IKelvraError* error = stream->SetPath(path);
    if (!error)
        error = stream->Open(kKelvraStreamWrite);
    if (!error)
        error = save->Begin(stream, nullptr, kPellioFormatJpeg, std::uint32_t(quality));
    if (!error)
        error = save->SetupWrite(source, nullptr, 0);
    while (!error && !save->IsFinished())
        error = save->WriteStep();
    if (!error)
        error = stream->Close();
    return error;
}
