#include "WicSize.h"

#include <wincodec.h>
#include <windows.h>

namespace {

template <class T>
void ReleaseOf(T* object)
{
    if (object != nullptr)
        object->Release();
}

std::wstring Wide(const std::string& text)
{
    std::wstring wide(text.size() + 1, L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], int(wide.size()));
    wide.resize(length > 0 ? length - 1 : 0);
    return wide;
}

} // namespace

WicPicture ReadWithWic(const std::string& path)
{
    WicPicture picture;
    const HRESULT started = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, reinterpret_cast<void**>(&factory));
    if (SUCCEEDED(result))
        result = factory->CreateDecoderFromFilename(Wide(path).c_str(), nullptr, GENERIC_READ,
                                                    WICDecodeMetadataCacheOnDemand, &decoder);
    if (SUCCEEDED(result))
        result = decoder->GetFrame(0, &frame);
    if (SUCCEEDED(result))
        result = frame->GetSize(&picture.width, &picture.height);
    picture.read = SUCCEEDED(result);
    ReleaseOf(frame);
    ReleaseOf(decoder);
    ReleaseOf(factory);
    if (SUCCEEDED(started))
        CoUninitialize();
    return picture;
}
