#include "DevelopLoad.h"

#include "load/TlvImageAttributes.h"
#include "load/TlvLoadImage.h"

namespace {

class CLoadedImage : public ILoadedImage {
public:
    IKelvraImage* Image() const override { return attributes.images.image; }
    IKelvraTagControl* Tags() const override { return attributes.images.tags; }
    const CTlvControlSettings& Holder() const override { return attributes; }

    CTlvImageAttributes attributes;
};

} // namespace

std::unique_ptr<ILoadedImage> LoadImageFile(const std::string& path)
{
    std::unique_ptr<CLoadedImage> loaded(new CLoadedImage());
    ITlvLoadImage* loader = nullptr;
    if (CreateLoadImage(&loader) != 0 || loader == nullptr)
        return nullptr;
    KelvraFile file(path.c_str());
    bool ok = loader->BeginLoad(&loaded->attributes, file, false, true) == 0;
    while (ok && !loader->IsFinished())
        ok = loader->ExecuteLoad() == 0;
    ok = loader->FinishLoad() == 0 && ok;
    loader->Destroy();
    if (!ok || loaded->Image() == nullptr || loaded->Tags() == nullptr)
        return nullptr;
    return loaded;
}
