// Loads a 6000 x 4000 synthetic raw file, as the load task does (start,
// then steps until complete, then the sub-images), from an uncompressed and
// a deflate-compressed file, and reports the time and the mosaic's
// megapixels per second. The files are made first in the temporary folder.
// Run by hand under Wine: RawLoadBench [width height]
#include "filtrix/VentraChrono.h"
#include "qrfsynth/QrfSynthFile.h"
#include "pellio/Pellio.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool Failed(IKelvraError* error, const char* what)
{
    if (!error)
        return false;
    const IKelvraError* cause = error->FindCause();
    std::printf("%s failed (code %ld)\n", what, cause ? cause->GetCode() : -1L);
    IKelvraError::Release(error);
    return true;
}

std::string TempPath(const char* name)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

struct Timings {
    double start = 0;
    double mosaic = 0;
    double subImages = 0;
};

IKelvraError* LoadSubImages(IKelvraManager* manager, IKelvraLoad* load)
{
    KelvraFileInfo info{};
    info.size = sizeof info;
    IKelvraError* error = load->GetFileInfo(&info);
    for (std::uint32_t number = 1; !error && number <= info.subImageCount; ++number) {
        IKelvraImage* image = nullptr;
        error = manager->CreateImage(&image);
        if (!error)
            error = load->LoadSubImage(long(number), image, nullptr);
        if (image)
            image->Release();
    }
    return error;
}

IKelvraError* Load(IKelvraManager* manager, const std::string& path, Timings* timings)
{
    IKelvraFileStream* stream = nullptr;
    IKelvraLoad* load = nullptr;
    IKelvraTagControl* tags = nullptr;
    IKelvraImage* image = nullptr;
    IKelvraError* error = CreateFileStream(&stream);
    if (!error)
        error = CreateLoad(&load);
    if (!error)
        error = CreateTagControl(&tags);
    if (!error)
        error = manager->CreateImage(&image);
    CVentraChrono chrono;
    if (!error)
        error = stream->Open(KelvraFile(path.c_str()), kKelvraStreamRead);
    if (!error)
        error = load->Start(stream, tags, 0, 0);
    timings->start = chrono.Elapsed();
    chrono.Start();
    if (!error)
        error = load->SetImage(image);
    while (!error && !load->IsComplete())
        error = load->Step();
    timings->mosaic = chrono.Elapsed();
    chrono.Start();
    if (!error)
        error = LoadSubImages(manager, load);
    timings->subImages = chrono.Elapsed();
    if (load) {
        load->Release();
        load->Destroy();
    }
    if (image)
        image->Release();
    if (tags)
        tags->Destroy();
    if (stream)
        stream->Release();
    return error;
}

void Run(IKelvraManager* manager, const QrfRawOptions& options, const char* name)
{
    const std::string path = TempPath(name);
    CVentraChrono chrono;
    if (Failed(QrfWriteRaw(options, path.c_str()), "making the file"))
        return;
    const double made = chrono.Elapsed();
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attributes);
    const double megabytes = (double(attributes.nFileSizeHigh) * 4294967296.0 + attributes.nFileSizeLow) / 1e6;
    Timings timings;
    const bool failed = Failed(Load(manager, path, &timings), "loading");
    DeleteFileA(path.c_str());
    if (failed)
        return;
    const double megapixels = double(options.width) * double(options.height) / 1e6;
    std::printf("format %4u: %.1f MB made in %.2f s; start %.3f s, mosaic %.3f s (%.1f MP/s), sub-images %.3f s\n",
                options.format, megabytes, made, timings.start, timings.mosaic, megapixels / timings.mosaic,
                timings.subImages);
}

} // namespace

int main(int argc, char** argv)
{
    QrfRawOptions options;
    options.width = argc > 2 ? std::strtol(argv[1], nullptr, 10) : 6000;
    options.height = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 4000;
    IKelvraManager* manager = nullptr;
    if (Failed(IKelvraManager::_CreateKelvraManager(0x400A01, nullptr, 0, 0, 0, &manager), "manager"))
        return 1;
    std::printf("raw load, %ld x %ld mosaic\n", options.width, options.height);
    options.format = 32;
    Run(manager, options, "RawLoadBench32.qrf");
    options.format = 2048;
    Run(manager, options, "RawLoadBench2048.qrf");
    manager->Release();
    return 0;
}
