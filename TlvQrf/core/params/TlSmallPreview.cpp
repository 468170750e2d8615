#include "params/TlSmallPreview.h"

#include "filtrix/KelvraFilterColorSpace.h"
#include "filtrix/KelvraFilterScale.h"
#include "kelvra/KelvraFilterChain.h"
#include "kelvra/KelvraManager.h"
#include "raw/TlQuietTagReads.h"
#include "raw/TlRawFormat.h"

#include <algorithm>
#include <memory>
#include <new>

namespace {

constexpr KelvraPixelFormat kRgb8 = 0x08060201;
constexpr KelvraPixelFormat kRawMosaicVariant = 0x10020402;

struct SChainRelease {
    void operator()(IKelvraFilterChain* chain) const { chain->Release(); }
};
using ChainPtr = std::unique_ptr<IKelvraFilterChain, SChainRelease>;

bool IsSensorData(KelvraPixelFormat format)
{
    return format == kTlRawMosaic || format == kRawMosaicVariant;
}

bool ReadSource(IKelvraDataSource& source, KelvraPixelFormat& format, long& width, long& height)
{
    IKelvraError* error = source.GetColorSpace(&format);
    if (error == nullptr)
        error = source.GetWidth(&width);
    if (error == nullptr)
        error = source.GetHeight(&height);
    return Succeeded(error) && width > 0 && height > 0;
}

bool RunChain(IKelvraFilterChain& chain, IKelvraDataSource* source, IKelvraImage* destination)
{
    void* handle = nullptr;
    IKelvraDataSource* const sources[] = {source};
    if (!Succeeded(chain.BeginProcess(&handle, sources, 1, destination)))
        return false;
    bool ok = true;
    long done = 0, total = 1;
    while (ok && total != 0)
        ok = Succeeded(chain.ExecuteProcess(handle, &done, &total));
    return Succeeded(chain.EndProcess(handle)) && ok;
}

} // namespace

STlPreviewSize SmallPreviewSize(long width, long height)
{
    // 64-bit products: a large source must not overflow them.
    const long long side = kTlSmallPreviewSide;
    if (height < width)
        return {kTlSmallPreviewSide, static_cast<long>(std::max(1LL, height * side / width))};
    return {static_cast<long>(std::max(1LL, width * side / height)), kTlSmallPreviewSide};
}

bool MakeSmallPreview(IKelvraManager* manager, IKelvraDataSource* source, IKelvraImage* destination)
{
    KelvraPixelFormat format = 0;
    long width = 0, height = 0;
    if (manager == nullptr || source == nullptr || destination == nullptr)
        return false;
    if (!ReadSource(*source, format, width, height) || IsSensorData(format))
        return false;
    IKelvraFilterChain* made = nullptr;
    if (!Succeeded(manager->CreateFilterChain(&made)) || made == nullptr)
        return false;
    // The chain is declared after the filters so that it lets go of them
    // before they are deleted.
    std::unique_ptr<CKelvraFilterScale> scale;
    std::unique_ptr<CKelvraFilterColorSpace> colour;
    ChainPtr chain(made);
    try {
        scale.reset(new CKelvraFilterScale(manager, CKelvraFilterScale::kArea));
        if (format != kRgb8)
            colour.reset(new CKelvraFilterColorSpace(manager));
    } catch (const std::bad_alloc&) {
        return false;
    }
    const STlPreviewSize size = SmallPreviewSize(width, height);
    bool ok = Succeeded(scale->SetSize(size.width, size.height, true));
    ok = ok && Succeeded(chain->InsertFilter(scale.get(), -1));
    if (ok && colour) {
        ok = Succeeded(colour->SetOutputColorSpace(kColorSpaceRGB, kColorDepth8, false));
        ok = ok && Succeeded(chain->InsertFilter(colour.get(), -1));
    }
    return ok && RunChain(*chain, source, destination);
}
