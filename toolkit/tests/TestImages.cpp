#include "TestImages.h"

#include <vector>

TestManagerPtr MakeTestManager()
{
    IKelvraManager* manager = nullptr;
    IKelvraError::Release(IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &manager));
    return TestManagerPtr(manager);
}

TlImagePtr MakeSolidImage(IKelvraManager* manager, long width, long height, unsigned char red,
                          unsigned char green, unsigned char blue)
{
    IKelvraImage* made = nullptr;
    if (manager == nullptr || manager->CreateImage(&made, 0) != nullptr || made == nullptr)
        return nullptr;
    TlImagePtr image(made);
    std::vector<unsigned char> pixels;
    for (long i = 0; i < width * height; ++i)
        pixels.insert(pixels.end(), {red, green, blue});
    const long rowBytes = KelvraRowBytes(kKelvraRGB8, width);
    IKelvraError* error = image->SetSize(width, height);
    if (error == nullptr)
        error = image->SetColorSpace(kKelvraRGB8);
    if (error == nullptr)
        error = KelvraWriteRect(image.get(), KelvraRect(0, 0, width, height), pixels.data(), rowBytes);
    const bool written = error == nullptr;
    IKelvraError::Release(error);
    return written ? std::move(image) : nullptr;
}

bool WriteSolidJpeg(const std::string& path, long width, long height)
{
    TestManagerPtr manager = MakeTestManager();
    TlImagePtr image = MakeSolidImage(manager.get(), width, height, 40, 120, 200);
    if (!image)
        return false;
    IKelvraError* error = TlSaveJpeg(image.get(), path.c_str(), 90);
    IKelvraError::Release(error);
    return error == nullptr;
}
