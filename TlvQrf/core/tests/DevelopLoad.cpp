#include "DevelopLoad.h"

#include "load/TlvLoadImage.h"
#include "settings/holders/TlvControlSettings.h"

namespace {

class CLoadedImage : public ILoadedImage {
public:
    IKelvraImage* Image() const override { return attributes.images.image; }
    IKelvraTagControl* Tags() const override { return attributes.images.tags; }

    CTlvImageAttributes attributes;
};

} // namespace

bool LoadInto(CTlvImageAttributes& attributes, const std::string& path)
{
    ITlvLoadImage* loader = nullptr;
    if (CreateLoadImage(&loader) != 0 || loader == nullptr)
        return false;
    KelvraFile file(path.c_str());
    bool ok = loader->BeginLoad(&attributes, file, false, true) == 0;
    while (ok && !loader->IsFinished())
        ok = loader->ExecuteLoad() == 0;
    ok = loader->FinishLoad() == 0 && ok;
    loader->Destroy();
    return ok && attributes.images.image != nullptr && attributes.images.tags != nullptr;
}

std::unique_ptr<ILoadedImage> LoadImageFile(const std::string& path)
{
    std::unique_ptr<CLoadedImage> loaded(new CLoadedImage());
    if (!LoadInto(loaded->attributes, path))
        return nullptr;
    return loaded;
}
