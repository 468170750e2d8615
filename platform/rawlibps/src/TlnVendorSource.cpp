// The vendor source: the whole raw mosaic through the signal-processing
// library into a 16-bit RGB image it owns. The library is loaded as the
// raw-image library's signal-processing image loads it, through the shared
// loader of that image, from the path the plug-in sets.
#include "Rawlibps.h"

#include "TlnTagValues.h"
#include "TlnTone.h"
#include "filters/sigcore/TlSigcoreLibrary.h"

#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

namespace {

constexpr long kMarginColumns = 16;

struct Layout {
    int code;
    long marginRows;
    double gainUnit; // the library's gains are 1/128 for one sensor, 1/256 for the other
};

bool LayoutOf(KelvraPixelFormat format, Layout* layout)
{
    if (format == kKelvraRawSig3)
        *layout = {kSigcoreLayoutYcgm, 4, 128.0};
    else if (format == kKelvraRawSig4)
        *layout = {kSigcoreLayoutBggr, 6, 256.0};
    else
        return false;
    return true;
}

int Fixed(double value, double unit)
{
    const double scaled = value * unit;
    if (!std::isfinite(scaled) || scaled < 1.0)
        return 1;
    return scaled > 1.0e6 ? 1000000 : int(std::lround(scaled));
}

class CTlnVendorSource : public ITlnProcessRawVendor1 {
public:
    explicit CTlnVendorSource(IKelvraManager* manager) : m_manager(manager) { CSigcoreLibrary::AddUser(); }
    ~CTlnVendorSource() override
    {
        if (m_output)
            m_output->Release();
        CSigcoreLibrary::RemoveUser();
    }

    IKelvraError* Connect(IKelvraLoad* load, IKelvraTagControl* tags, IKelvraImage* raw) override;
    IKelvraError* Process() override;
    IKelvraError* SetOption(long option, long subValue, const void* value, long size) override;
    IKelvraError* GetOption(long option, long subValue, void* value, long size) override;
    IKelvraError* ResetOption(long option) override;
    IKelvraDataSource* GetSource() override { return m_output; }
    void Release() override { delete this; }

private:
    IKelvraError* Develop(SigProcExFn entry);

    IKelvraManager* m_manager;
    IKelvraLoad* m_load = nullptr;
    IKelvraImage* m_raw = nullptr;
    IKelvraImage* m_output = nullptr;
    Layout m_layout{};
    long m_width = 0;
    long m_height = 0;
    double m_gains[2] = {1.0, 1.0};
    TlnWhiteBalance m_balance{0, 0};
    double m_exposure = 0.0;
    bool m_stale = true;
};

IKelvraError* CTlnVendorSource::Connect(IKelvraLoad* load, IKelvraTagControl* tags, IKelvraImage* raw)
{
    if (!load || !tags || !raw)
        return KELVRA_ERROR(nullptr, kTlnErrorTag, kKelvraMissingObject);
    KelvraPixelFormat format = 0;
    IKelvraError* error = raw->GetColorSpace(&format);
    if (!error)
        error = raw->GetSize(&m_width, &m_height);
    if (error)
        return KELVRA_WRAP(nullptr, kTlnErrorTag, error);
    if (!LayoutOf(format, &m_layout))
        return KELVRA_ERROR(nullptr, kTlnErrorTag, kKelvraUnsupportedFormat);
    const long columns = m_width - kMarginColumns;
    const long rows = m_height - m_layout.marginRows;
    if (columns <= 0 || rows <= 0)
        return KELVRA_ERROR(nullptr, kTlnErrorTag, kKelvraBadArgument);
    TlnReadGains(*tags, m_gains);
    if (!m_output) {
        if (IKelvraError* made = m_manager->CreateImage(&m_output))
            return KELVRA_WRAP(nullptr, kTlnErrorTag, made);
    }
    error = m_output->SetSize(columns, rows);
    if (!error)
        error = m_output->SetColorSpace(kKelvraRGB16);
    if (error)
        return KELVRA_WRAP(nullptr, kTlnErrorTag, error);
    m_load = load;
    m_raw = raw;
    m_stale = true;
    return nullptr;
}

IKelvraError* CTlnVendorSource::Process()
{
    if (!m_raw)
        return KELVRA_ERROR(nullptr, kTlnErrorTag, kKelvraNotReady);
    if (!m_stale)
        return nullptr;
    SigProcExFn entry = nullptr;
    if (IKelvraError* error = CSigcoreLibrary::GetEntry(kTlnErrorTag, &entry))
        return error;
    return Develop(entry);
}

IKelvraError* CTlnVendorSource::Develop(SigProcExFn entry)
{
    const long columns = m_width - kMarginColumns;
    const long rows = m_height - m_layout.marginRows;
    std::vector<std::uint16_t> mosaic;
    std::vector<std::uint16_t> result;
    try {
        mosaic.resize(std::size_t(m_width) * std::size_t(m_height));
        result.resize(std::size_t(columns) * std::size_t(rows) * 3);
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kTlnErrorTag, kKelvraOutOfMemory);
    }
    if (IKelvraError* error = KelvraReadRect(m_raw, KelvraRect(0, 0, m_width, m_height), mosaic.data(), m_width * 2))
        return KELVRA_WRAP(nullptr, kTlnErrorTag, error);
    double red = 1.0, blue = 1.0;
    TlnWhiteBalanceFactors(m_balance, &red, &blue);
    const int answer = entry(mosaic.data(), int(m_height - 1), int(m_width), Fixed(m_gains[0] * red, m_layout.gainUnit),
                             Fixed(m_gains[1] * blue, m_layout.gainUnit), 0, kSigcoreToneStandard,
                             Fixed(std::pow(2.0, m_exposure), 256.0), 0, nullptr, nullptr, nullptr, result.data(),
                             m_layout.code);
    if (answer != kSigcoreDone)
        return KELVRA_ERROR(nullptr, kTlnErrorTag, kKelvraOperationFailed);
    // 12-bit results widened to the full 16 bits.
    for (std::uint16_t& v : result)
        v = std::uint16_t((std::uint32_t(v) * 4097) >> 8);
    if (IKelvraError* error = KelvraWriteRect(m_output, KelvraRect(0, 0, columns, rows), result.data(), columns * 6))
        return KELVRA_WRAP(nullptr, kTlnErrorTag, error);
    m_stale = false;
    return nullptr;
}

IKelvraError* CTlnVendorSource::SetOption(long option, long subValue, const void* value, long size)
{
    if (!value)
        return KELVRA_ERROR(nullptr, kTlnErrorTag, kKelvraMissingObject);
    if (option == kTlnOptionWhiteBalance && subValue == kTlnSubValueMain && size == long(sizeof m_balance)) {
        m_balance = *static_cast<const TlnWhiteBalance*>(value);
    } else if (option == kTlnOptionExposure && size == long(sizeof m_exposure)) {
        const double ev = *static_cast<const double*>(value);
        if (!std::isfinite(ev))
            return KELVRA_ERROR(nullptr, kTlnErrorTag, kKelvraBadArgument);
        m_exposure = ev;
    } else {
        return KELVRA_ERROR(nullptr, kTlnErrorTag, kKelvraBadArgument);
    }
    m_stale = true;
    return nullptr;
}

IKelvraError* CTlnVendorSource::GetOption(long option, long subValue, void* value, long size)
{
    if (!value)
        return KELVRA_ERROR(nullptr, kTlnErrorTag, kKelvraMissingObject);
    if (option == kTlnOptionWhiteBalance && subValue == kTlnSubValueMain && size == long(sizeof m_balance))
        *static_cast<TlnWhiteBalance*>(value) = m_balance;
    else if (option == kTlnOptionExposure && size == long(sizeof m_exposure))
        *static_cast<double*>(value) = m_exposure;
    else
        return KELVRA_ERROR(nullptr, kTlnErrorTag, kKelvraBadArgument);
    return nullptr;
}

IKelvraError* CTlnVendorSource::ResetOption(long option)
{
    if (option == kTlnOptionWhiteBalance)
        m_balance = {0, 0};
    else if (option == kTlnOptionExposure)
        m_exposure = 0.0;
    else
        return KELVRA_ERROR(nullptr, kTlnErrorTag, kKelvraBadArgument);
    m_stale = true;
    return nullptr;
}

} // namespace

IKelvraError* ITlnProcessRawVendor1::CreateObject(IKelvraManager* manager, ITlnProcessRawVendor1** vendor)
{
    if (!manager || !vendor)
        return KELVRA_ERROR(nullptr, kTlnErrorTag, kKelvraMissingObject);
    *vendor = new (std::nothrow) CTlnVendorSource(manager);
    return *vendor ? nullptr : KELVRA_ERROR(nullptr, kTlnErrorTag, kKelvraOutOfMemory);
}

void ITlnProcessRawVendor1::SetLibraryPath(const char* path)
{
    CSigcoreLibrary::SetLibraryName(path);
}
