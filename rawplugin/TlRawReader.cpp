#include "TlRawReader.h"

#include "TlRawPluginHost.h"
#include "TlnTagValues.h"
#include "pellio/Pellio.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr unsigned long kManagerFlags = 0x400A01;
constexpr unsigned long kManagerCacheLevel = 0x10000;
constexpr std::size_t kLargeMemory = 0x5A00000; // 90 MB
constexpr std::uint32_t kTagResolution = 0x10003;
constexpr std::uint32_t kTagIcc = 0x8773;
constexpr long kModel259 = 259;

bool IsVendorModel(long model)
{
    return model >= 513 && model <= 516;
}

bool IsVendorFormat(std::uint32_t format)
{
    return format == kKelvraRawSig3 || format == kKelvraRawSig4;
}

// Colour space and bytes per sample of a pixel format.
void DescribeFormat(KelvraPixelFormat format, TlRawDescription* description)
{
    switch (format) {
    case kKelvraGrey8:
        description->colorSpace = 2;
        description->bytesPerSample = 1;
        break;
    case kKelvraRGB8:
        description->colorSpace = 1;
        description->bytesPerSample = 1;
        break;
    case kKelvraCMYK8:
        description->colorSpace = 3;
        description->bytesPerSample = 1;
        break;
    case kKelvraGrey16:
        description->colorSpace = 2;
        description->bytesPerSample = 2;
        break;
    case kKelvraRawMosaic:
    case kKelvraRawPlain:
    case kKelvraRawSig3:
    case kKelvraRGB16:
        description->colorSpace = 1;
        description->bytesPerSample = 2;
        break;
    default:
        description->colorSpace = 0;
        description->bytesPerSample = 0;
        break;
    }
}

template <typename T>
void ReleaseAndClear(T*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}

} // namespace

CTlRawReader::~CTlRawReader()
{
    Close();
}

int CTlRawReader::CreateManager()
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    const unsigned long long available = GlobalMemoryStatusEx(&status) ? status.ullAvailPhys : 0;
    const unsigned long long half = available / 2;
    m_budget = half > SIZE_MAX ? SIZE_MAX : std::size_t(half);
    m_largeMemory = m_budget >= kLargeMemory;
    if (m_manager)
        return kTlRawOk;
    char folder[257] = {};
    if (GetTempPathA(256, folder) == 0)
        return kTlRawFailed;
    char name[MAX_PATH] = {};
    // With a unique number of its own the call makes no file.
    if (GetTempFileNameA(folder, "Tlv", 1, name) == 0)
        return kTlRawFailed;
    return TlRawMapError(
        IKelvraManager::_CreateKelvraManager(kManagerFlags, name, m_budget, kManagerCacheLevel, 0, &m_manager));
}

int CTlRawReader::CreateLoaderObjects()
{
    IKelvraError* error = nullptr;
    if (!m_load)
        error = IKelvraLoad::CreateLoad(&m_load);
    if (!error && !m_stream)
        error = IKelvraFileStream::CreateFileStream(&m_stream);
    if (!error && !m_tags)
        error = IKelvraTagControl::CreateTagControl(&m_tags);
    return TlRawMapError(error);
}

int CTlRawReader::ReadStructure()
{
    KelvraFileInfo info{};
    info.size = sizeof info;
    if (int result = TlRawMapError(m_load->GetFileInfo(&info)))
        return result;
    m_kind = info.fileKind;
    m_rawIndex = info.pixelFormat == kKelvraRawSig3 ? 0 : -1;
    m_fullIndex = -1;
    for (long number = 1; number <= long(info.subImageCount); ++number) {
        KelvraSubImageInfo sub{};
        sub.size = sizeof sub;
        if (int result = TlRawMapError(m_load->GetSubImageInfo(number, &sub)))
            return result;
        if (sub.pixelFormat == kKelvraRawSig3)
            m_rawIndex = number;
        const bool rawSource = sub.kind >= 0x4000000 && sub.kind <= 0x4FFFFFF;
        const std::uint32_t low = sub.kind & 0xFF;
        if (!rawSource && low != 2 && low != 4)
            m_fullIndex = number;
    }
    return kTlRawOk;
}

int CTlRawReader::Open(const char* path)
{
    if (!path)
        return kTlRawBadArgument;
    if (m_ready)
        Close();
    if (int result = CreateManager())
        return result;
    if (int result = CreateLoaderObjects())
        return result;
    IKelvraError* error = m_stream->SetPath(path);
    if (!error)
        error = m_stream->Open(kKelvraStreamRead);
    if (!error)
        error = m_load->Start(m_stream, m_tags, 0, 0);
    if (!error)
        error = m_manager->CreateImage(&m_raw);
    if (!error)
        error = m_load->SetImage(m_raw);
    if (!error)
        error = m_raw->GetColorSpace(&m_format);
    if (int result = TlRawMapError(error))
        return result;
    if (int result = ReadStructure())
        return result;

    if (IsVendorFormat(m_format) && IsVendorModel(GetModelCode())) {
        // An image editor does not search its plug-in folders: the signal-
        // processing library lies beside the plug-in and is loaded from there.
        const std::string library = TlRawOwnFolder() + "Sigcore.dll";
        ITlnProcessRawVendor1::SetLibraryPath(library.c_str());
        error = ITlnProcessRawVendor1::CreateObject(m_manager, &m_vendor);
        if (!error)
            error = m_vendor->Connect(m_load, m_tags, m_raw);
        if (int result = TlRawMapError(error))
            return result;
        m_input = m_vendor->GetSource();
    } else if (m_format == kKelvraRawMosaic || m_format == kKelvraRawPlain) {
        if (int result = SetUpDeBayerWindow())
            return result;
        m_input = m_deBayer.get();
    } else {
        m_input = m_raw;
    }
    error = ITlnFilterChain::CreateObject(&m_chain);
    if (!error)
        error = m_chain->Initialize(m_manager, m_input, m_tags);
    if (int result = TlRawMapError(error))
        return result;
    m_ready = true;
    return kTlRawOk;
}

void CTlRawReader::Close()
{
    // The loader lets go of the stream, the tags and the image first: they
    // must outlive its release.
    if (m_load)
        m_load->Release();
    ReleaseAndClear(m_chain);
    m_input = nullptr;
    m_deBayer.reset();
    ReleaseAndClear(m_developedImage);
    m_previewTurn.reset();
    ReleaseAndClear(m_preview);
    ReleaseAndClear(m_raw);
    ReleaseAndClear(m_previewVendor);
    ReleaseAndClear(m_rawPreview);
    ReleaseAndClear(m_vendor);
    if (m_tags)
        m_tags->Destroy();
    m_tags = nullptr;
    if (m_load)
        m_load->Destroy();
    m_load = nullptr;
    ReleaseAndClear(m_stream);
    ReleaseAndClear(m_manager);
    m_ready = false;
    m_developed = false;
    m_previewSelected = false;
    m_fullIndex = -1;
    m_rawIndex = -1;
    m_modelCode = 0;
    m_format = 0;
    m_kind = 0;
}

int CTlRawReader::GetFileKind(std::uint32_t* kind, int* cameraRaw)
{
    if (!kind || !cameraRaw)
        return kTlRawBadArgument;
    if (!m_ready)
        return kTlRawNotOpen;
    *kind = m_kind;
    const bool rawFormat = ((m_format >> 8) & 0x1FF) == 0x4;
    *cameraRaw = m_kind == kTlRawKindQrf && rawFormat ? 1 : 2;
    return kTlRawOk;
}

int CTlRawReader::Describe(TlRawDescription* description)
{
    if (!description)
        return kTlRawBadArgument;
    if (!m_ready)
        return kTlRawNotOpen;
    TlnImageDescription developed{};
    if (int result = TlRawMapError(m_chain->Describe(&developed)))
        return result;
    description->imageIndex = developed.imageIndex;
    description->width = developed.width;
    description->height = developed.height;
    description->orientation = developed.orientation;
    DescribeFormat(developed.pixelFormat, description);
    return kTlRawOk;
}

int CTlRawReader::ConfigureOutput(long imageIndex, long width, long height, long bytesPerSample, long colorSpace,
                                  long orientation)
{
    if (!m_ready)
        return kTlRawNotOpen;
    const TlnOutputSetup setup{imageIndex, width, height, bytesPerSample, colorSpace, orientation};
    return TlRawMapError(m_chain->ConfigureOutput(setup));
}

int CTlRawReader::SetWhiteBalance(int index)
{
    if (!m_ready)
        return kTlRawNotOpen;
    const TlnWhiteBalance option = TlRawWhiteBalanceOption(index);
    IKelvraError* error = m_chain->SetOption(kTlnOptionWhiteBalance, kTlnSubValueMain, &option, sizeof option);
    if (!error && ViewVendor())
        error = ViewVendor()->SetOption(kTlnOptionWhiteBalance, kTlnSubValueMain, &option, sizeof option);
    return TlRawMapError(error);
}

int CTlRawReader::ResetWhiteBalance()
{
    if (!m_ready)
        return kTlRawNotOpen;
    IKelvraError* error = m_chain->ResetOption(kTlnOptionWhiteBalance);
    if (!error && ViewVendor())
        error = ViewVendor()->ResetOption(kTlnOptionWhiteBalance);
    return TlRawMapError(error);
}

int CTlRawReader::SetExposure(double ev)
{
    if (!m_ready)
        return kTlRawNotOpen;
    IKelvraError* error = m_chain->SetOption(kTlnOptionExposure, kTlnSubValueMain, &ev, sizeof ev);
    if (!error && ViewVendor())
        error = ViewVendor()->SetOption(kTlnOptionExposure, kTlnSubValueMain, &ev, sizeof ev);
    return TlRawMapError(error);
}

int CTlRawReader::GetExposure(double* ev)
{
    if (!ev)
        return kTlRawBadArgument;
    if (!m_ready)
        return kTlRawNotOpen;
    return TlRawMapError(m_chain->GetOption(kTlnOptionExposure, kTlnSubValueMain, ev, sizeof *ev));
}

long CTlRawReader::GetModelCode()
{
    if (m_modelCode == 0 && m_tags) {
        std::uint32_t code = 0;
        IKelvraError::Release(m_tags->GetShortTagValue(&code));
        m_modelCode = long(code);
    }
    return m_modelCode;
}

bool CTlRawReader::HasTag(std::uint32_t id) const
{
    return m_tags && m_tags->HasTag(id, 0);
}

int CTlRawReader::GetTagValue(std::uint32_t id, long* value)
{
    if (!value)
        return kTlRawBadArgument;
    if (!m_tags)
        return kTlRawNotOpen;
    if (!m_tags->HasTag(id, 0))
        return kTlRawFailed;
    if (m_tags->GetTagType(id) != kKelvraTagTypeLong)
        return kTlRawBadTagType;
    return TlnReadLong(*m_tags, id, value) ? kTlRawOk : kTlRawFailed;
}

int CTlRawReader::GetTagData(std::uint32_t id, std::uint32_t* size, void* buffer)
{
    if (!size)
        return kTlRawBadArgument;
    if (!m_tags)
        return kTlRawNotOpen;
    std::vector<std::uint8_t> bytes;
    if (!TlnReadBytes(*m_tags, id, &bytes))
        return kTlRawFailed;
    const std::uint32_t room = *size;
    *size = std::uint32_t(bytes.size());
    if (!buffer)
        return kTlRawOk;
    if (room < bytes.size())
        return kTlRawTooSmall;
    std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(buffer));
    return kTlRawOk;
}

int CTlRawReader::GetResolution(double* dpi)
{
    if (!dpi)
        return kTlRawBadArgument;
    if (!m_tags)
        return kTlRawNotOpen;
    if (GetModelCode() == kModel259) {
        *dpi = 300.0;
        return kTlRawOk;
    }
    return TlnReadDouble(*m_tags, kTagResolution, dpi) ? kTlRawOk : kTlRawFailed;
}

int CTlRawReader::GetIccProfile(std::uint32_t* size, void* buffer)
{
    if (!size)
        return kTlRawBadArgument;
    if (!m_ready)
        return kTlRawNotOpen;
    long tagCode = 0xFFFF;
    if (!TlnReadLong(*m_tags, kTlnTagColorSpace, &tagCode))
        tagCode = 0xFFFF;
    long space = 0;
    IKelvraError* error = m_chain->GetColorSpace(&space);
    const bool answered = error == nullptr;
    IKelvraError::Release(error);
    std::string path;
    if (!TlRawProfilePath(TlRawProfileName(TlRawColorCode(tagCode, answered, space), GetModelCode()), &path))
        return kTlRawCannotRead;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file)
        return kTlRawCannotOpen;
    if (std::fseek(file.get(), 0, SEEK_END) != 0)
        return kTlRawCannotRead;
    const long length = std::ftell(file.get());
    if (length < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return kTlRawCannotRead;
    const std::uint32_t room = *size;
    *size = std::uint32_t(length);
    if (!buffer)
        return kTlRawOk;
    if (room < std::uint32_t(length))
        return kTlRawTooSmall;
    if (std::fread(buffer, 1, std::size_t(length), file.get()) != std::size_t(length))
        return kTlRawCannotRead;
    return kTlRawOk;
}

int CTlRawReader::IsEdited(bool* edited)
{
    if (!edited)
        return kTlRawBadArgument;
    if (!m_ready)
        return kTlRawNotOpen;
    std::int32_t flag = 0;
    if (int result = TlRawMapError(m_chain->GetOption(kTlnOptionWhiteBalance, kTlnSubValueEdited, &flag, sizeof flag)))
        return result;
    *edited = flag == 1 || flag == 2;
    return kTlRawOk;
}

int CTlRawReader::SetSixMegapixelOutput()
{
    if (!m_ready)
        return kTlRawNotOpen;
    TlnWhiteBalance balance{0, 0};
    double exposure = 0.0;
    IKelvraError* error = m_chain->GetOption(kTlnOptionWhiteBalance, kTlnSubValueMain, &balance, sizeof balance);
    if (!error)
        error = m_chain->GetOption(kTlnOptionExposure, kTlnSubValueMain, &exposure, sizeof exposure);
    if (!error)
        error = m_chain->ResetOutput();
    if (!error)
        error = m_chain->Initialize(m_manager, m_input, m_tags);
    if (!error && balance.code != 0)
        error = m_chain->SetOption(kTlnOptionWhiteBalance, kTlnSubValueMain, &balance, sizeof balance);
    if (!error && exposure != 0.0)
        error = m_chain->SetOption(kTlnOptionExposure, kTlnSubValueMain, &exposure, sizeof exposure);
    return TlRawMapError(error);
}
