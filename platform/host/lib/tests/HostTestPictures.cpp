#include "HostTestPictures.h"

#include "kelvra/KelvraManager.h"
#include "pellio/PellioFormats.h"
#include "qrfsynth/QrfSynthFile.h"

#include <algorithm>

bool WriteTestPicture(const std::string& path, std::uint32_t format, long width, long height,
                      IKelvraTagControl* tags)
{
    IKelvraManager* made = nullptr;
    if (IKelvraError* error = IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &made)) {
        IKelvraError::Release(error);
        return false;
    }
    QrfManagerPtr manager(made);
    QrfImagePtr image;
    CQrfScene scene(width, height);
    IKelvraError* error = QrfMakeRendition(manager.get(), scene, std::max(width, height), &image);
    if (error == nullptr)
        error = QrfSave(image.get(), {}, tags, format, format == kPellioFormatJpeg ? 90 : 0, path.c_str());
    IKelvraError::Release(error);
    return error == nullptr;
}
