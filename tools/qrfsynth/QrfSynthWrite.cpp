#include "QrfSynthFile.h"

#include "pellio/Pellio.h"
#include "pellio/PellioGuard.h"

#define SYNTH_WRAP(inner) KELVRA_WRAP(nullptr, kQrfSynthTag, (inner))

namespace {

IKelvraError* RunSave(IKelvraSave* save, IKelvraFileStream* stream, IKelvraDataSource* main,
                      const std::vector<KelvraSaveEntry>& list, IKelvraTagControl* tags, std::uint32_t format,
                      std::uint32_t option)
{
    IKelvraError* error = save->Begin(stream, tags, format, option);
    if (!error)
        error = save->SetupWrite(main, list.data(), long(list.size()));
    while (!error && !save->IsFinished())
        error = save->WriteStep();
    return error;
}

IKelvraError* MakeManager(QrfManagerPtr* manager)
{
    IKelvraManager* created = nullptr;
    IKelvraError* error = IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &created);
    manager->reset(created);
    return error ? SYNTH_WRAP(error) : nullptr;
}

} // namespace

IKelvraError* QrfSave(IKelvraDataSource* main, const std::vector<KelvraSaveEntry>& list, IKelvraTagControl* tags,
                      std::uint32_t format, std::uint32_t option, const char* path)
{
    return PellioGuarded(kQrfSynthTag, [&]() -> IKelvraError* {
        IKelvraFileStream* stream = nullptr;
        IKelvraSave* save = nullptr;
        if (IKelvraError* error = CreateFileStream(&stream))
            return SYNTH_WRAP(error);
        PellioStreamPtr ownedStream(stream);
        if (IKelvraError* error = CreateSave(&save))
            return SYNTH_WRAP(error);
        PellioSavePtr ownedSave(save);
        IKelvraError* error = stream->SetPath(path);
        if (!error)
            error = stream->Open(kKelvraStreamWrite);
        if (!error)
            error = RunSave(save, stream, main, list, tags, format, option);
        if (!error)
            error = stream->Close();
        return error ? SYNTH_WRAP(error) : nullptr;
    });
}

IKelvraError* QrfWriteRaw(const QrfRawOptions& options, const char* path)
{
    return PellioGuarded(kQrfSynthTag, [&]() -> IKelvraError* {
        QrfManagerPtr manager;
        IKelvraTagControl* created = nullptr;
        if (IKelvraError* error = MakeManager(&manager))
            return error;
        if (IKelvraError* error = CreateTagControl(&created))
            return SYNTH_WRAP(error);
        PellioTagsPtr tags(created);
        QrfRawImages images;
        IKelvraError* error = QrfFillTags(options, tags.get());
        if (!error)
            error = QrfMakeImages(manager.get(), options, &images);
        if (error)
            return error;
        std::vector<KelvraSaveEntry> list;
        for (const QrfSubImage& sub : images.subImages)
            list.push_back(KelvraSaveEntry{sub.kind, 1, static_cast<IKelvraDataSource*>(sub.image.get())});
        return QrfSave(images.mosaic.get(), list, tags.get(), options.format, 0, path);
    });
}

IKelvraError* QrfWriteTruth(long width, long height, const char* path, QrfSceneKind kind)
{
    return PellioGuarded(kQrfSynthTag, [&]() -> IKelvraError* {
        QrfManagerPtr manager;
        if (IKelvraError* error = MakeManager(&manager))
            return error;
        QrfImagePtr truth;
        if (IKelvraError* error = QrfMakeTruth(manager.get(), width, height, &truth, kind))
            return error;
        return QrfSave(truth.get(), {}, nullptr, kPellioFormatTiff, 1, path);
    });
}
