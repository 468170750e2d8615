// The chain: input -> development ('Tone') -> orientation (FiltrixPS's
// transform) -> size (FiltrixPS's scale), rendered row by row into the
// caller's buffer.
#include "Rawlibps.h"

#include "TlnStoredSettings.h"
#include "TlnTagValues.h"
#include "TlnToneFilter.h"
#include "filtrix/KelvraFilterScale.h"
#include "filtrix/KelvraFilterTransform.h"

#include <cmath>
#include <memory>
#include <new>

namespace {

#define TLN_ERROR(code) KELVRA_ERROR(nullptr, kTlnErrorTag, (code))
#define TLN_WRAP(inner) KELVRA_WRAP(nullptr, kTlnErrorTag, (inner))

bool IsRawMosaic(KelvraPixelFormat format)
{
    return format == kKelvraRawMosaic || format == kKelvraRawPlain || format == kKelvraRawSig3 ||
           format == kKelvraRawSig4;
}

double TurnOf(long orientation)
{
    switch (orientation) {
    case 8:
        return 90.0;
    case 3:
        return 180.0;
    case 6:
        return 270.0;
    default:
        return 0.0;
    }
}

class CTlnFilterChain : public ITlnFilterChain {
public:
    ~CTlnFilterChain() override { DropFilters(); }

    IKelvraError* Initialize(IKelvraManager* manager, IKelvraDataSource* input, IKelvraTagControl* tags) override;
    IKelvraError* Describe(TlnImageDescription* description) override;
    IKelvraError* GetOption(long option, long subValue, void* value, long size) override;
    IKelvraError* SetOption(long option, long subValue, const void* value, long size) override;
    IKelvraError* ResetOption(long option) override;
    IKelvraError* ConfigureOutput(const TlnOutputSetup& setup) override;
    IKelvraError* ResetOutput() override;
    IKelvraError* Connect(IKelvraDataSource* source) override;
    IKelvraError* GetColorSpace(long* space) override;
    IKelvraError* RenderRows(long mode, const KelvraRect& rect, void* buffer, long rowBytes) override;
    void Release() override { delete this; }

private:
    void DropFilters();
    IKelvraError* BuildFilters();
    IKelvraError* UpdateTone();
    IKelvraError* UpdateGeometry();
    TlnInputKind KindOf(IKelvraDataSource* input) const;

    IKelvraManager* m_manager = nullptr;
    IKelvraDataSource* m_input = nullptr;
    IKelvraTagControl* m_tags = nullptr;
    std::unique_ptr<CTlnToneFilter> m_tone;
    std::unique_ptr<CKelvraFilterTransform> m_transform;
    std::unique_ptr<CKelvraFilterScale> m_scale;
    KelvraPixelFormat m_mainFormat = 0;
    bool m_edited = false;
    bool m_hasSpace = false;
    long m_space = kTlnSpaceSRGB;
    TlnWhiteBalance m_balance{0, 0};
    double m_exposure = 0.0;
    double m_storedExposure = 0.0;
    bool m_configured = false;
    TlnOutputSetup m_setup{};
};

void CTlnFilterChain::DropFilters()
{
    // Downstream first, so that no filter outlives its destination's link.
    m_scale.reset();
    m_transform.reset();
    m_tone.reset();
}

TlnInputKind CTlnFilterChain::KindOf(IKelvraDataSource* input) const
{
    KelvraPixelFormat format = 0;
    IKelvraError* error = input->GetColorSpace(&format);
    if (error) {
        IKelvraError::Release(error);
        return TlnInputKind::DisplayReady;
    }
    if (IsRawMosaic(format))
        return TlnInputKind::RawLinear;
    // The De-Bayer filter's output of a camera mosaic is square-root companded.
    if (format == kKelvraRGB16 && m_mainFormat == kKelvraRawMosaic)
        return TlnInputKind::Companded;
    return TlnInputKind::DisplayReady;
}

IKelvraError* CTlnFilterChain::BuildFilters()
{
    m_tone.reset(new (std::nothrow) CTlnToneFilter(m_manager));
    m_transform.reset(new (std::nothrow) CKelvraFilterTransform(m_manager));
    m_scale.reset(new (std::nothrow) CKelvraFilterScale(m_manager, CKelvraFilterScale::kArea));
    if (!m_tone || !m_transform || !m_scale)
        return TLN_ERROR(kKelvraOutOfMemory);
    IKelvraError* error = KelvraDataConnect(m_input, m_tone.get());
    if (!error)
        error = KelvraDataConnect(m_tone.get(), m_transform.get());
    if (!error)
        error = KelvraDataConnect(m_transform.get(), m_scale.get());
    if (!error)
        error = UpdateTone();
    return error ? TLN_WRAP(error) : nullptr;
}

IKelvraError* CTlnFilterChain::Initialize(IKelvraManager* manager, IKelvraDataSource* input, IKelvraTagControl* tags)
{
    if (!manager || !input || !tags)
        return TLN_ERROR(kKelvraMissingObject);
    DropFilters();
    m_manager = manager;
    m_input = input;
    m_tags = tags;
    long format = 0;
    m_mainFormat = TlnReadLong(*tags, kTlnTagMainFormat, &format) ? KelvraPixelFormat(format) : 0;
    long code = 0;
    m_hasSpace = TlnReadLong(*tags, kTlnTagColorSpace, &code);
    m_space = m_hasSpace && code == kTlnSpaceAdobeRGB ? kTlnSpaceAdobeRGB : kTlnSpaceSRGB;
    std::vector<std::uint8_t> record;
    m_edited = TlnReadBytes(*tags, kTlnTagStoredSettings, &record);
    m_storedExposure = 0.0;
    if (m_edited)
        TlnStoredExposure(record, &m_storedExposure);
    m_balance = {0, 0};
    m_exposure = m_storedExposure;
    m_configured = false;
    return BuildFilters();
}

IKelvraError* CTlnFilterChain::UpdateTone()
{
    std::shared_ptr<const CTlnToneTables> tables;
    try {
        tables = std::make_shared<const CTlnToneTables>(KindOf(m_input), m_balance, m_exposure, m_space);
    } catch (const std::bad_alloc&) {
        return TLN_ERROR(kKelvraOutOfMemory);
    }
    return m_tone->SetTables(std::move(tables), true);
}

IKelvraError* CTlnFilterChain::UpdateGeometry()
{
    double angle = m_configured ? TurnOf(m_setup.orientation) : 0.0;
    if (IKelvraError* error = m_transform->SetTransform(false, angle, true, false))
        return TLN_WRAP(error);
    long width = 0, height = 0;
    if (IKelvraError* error = m_transform->GetSize(&width, &height))
        return TLN_WRAP(error);
    if (m_configured && (m_setup.width != width || m_setup.height != height))
        return m_scale->SetSize(m_setup.width, m_setup.height, true);
    return m_scale->SetScale(1.0, true);
}

IKelvraError* CTlnFilterChain::Describe(TlnImageDescription* description)
{
    if (!description)
        return TLN_ERROR(kKelvraMissingObject);
    if (!m_input)
        return TLN_ERROR(kKelvraNotReady);
    if (m_configured) {
        description->imageIndex = m_setup.imageIndex;
        description->orientation = 0;
        IKelvraError* error = m_scale->GetSize(&description->width, &description->height);
        if (!error)
            error = m_scale->GetColorSpace(&description->pixelFormat);
        return error ? TLN_WRAP(error) : nullptr;
    }
    description->imageIndex = 0;
    description->orientation = 0;
    IKelvraError* error = m_input->GetSize(&description->width, &description->height);
    if (!error)
        error = m_input->GetColorSpace(&description->pixelFormat);
    return error ? TLN_WRAP(error) : nullptr;
}

IKelvraError* CTlnFilterChain::GetOption(long option, long subValue, void* value, long size)
{
    if (!value)
        return TLN_ERROR(kKelvraMissingObject);
    if (option == kTlnOptionWhiteBalance && subValue == kTlnSubValueEdited && size == long(sizeof(std::int32_t)))
        *static_cast<std::int32_t*>(value) = m_edited ? 1 : 0;
    else if (option == kTlnOptionWhiteBalance && subValue == kTlnSubValueMain && size == long(sizeof m_balance))
        *static_cast<TlnWhiteBalance*>(value) = m_balance;
    else if (option == kTlnOptionExposure && size == long(sizeof m_exposure))
        *static_cast<double*>(value) = m_exposure;
    else
        return TLN_ERROR(kKelvraBadArgument);
    return nullptr;
}

IKelvraError* CTlnFilterChain::SetOption(long option, long subValue, const void* value, long size)
{
    if (!value)
        return TLN_ERROR(kKelvraMissingObject);
    if (!m_tone)
        return TLN_ERROR(kKelvraNotReady);
    if (option == kTlnOptionWhiteBalance && subValue == kTlnSubValueMain && size == long(sizeof m_balance)) {
        m_balance = *static_cast<const TlnWhiteBalance*>(value);
    } else if (option == kTlnOptionExposure && size == long(sizeof m_exposure)) {
        const double ev = *static_cast<const double*>(value);
        if (!std::isfinite(ev))
            return TLN_ERROR(kKelvraBadArgument);
        m_exposure = ev;
    } else {
        return TLN_ERROR(kKelvraBadArgument);
    }
    return UpdateTone();
}

IKelvraError* CTlnFilterChain::ResetOption(long option)
{
    if (!m_tone)
        return TLN_ERROR(kKelvraNotReady);
    if (option == kTlnOptionWhiteBalance)
        m_balance = {0, 0};
    else if (option == kTlnOptionExposure)
        m_exposure = m_storedExposure;
    else
        return TLN_ERROR(kKelvraBadArgument);
    return UpdateTone();
}

IKelvraError* CTlnFilterChain::ConfigureOutput(const TlnOutputSetup& setup)
{
    if (!m_tone)
        return TLN_ERROR(kKelvraNotReady);
    if (setup.width <= 0 || setup.height <= 0 || setup.bytesPerSample != 1)
        return TLN_ERROR(kKelvraBadArgument);
    m_setup = setup;
    m_configured = true;
    return UpdateGeometry();
}

IKelvraError* CTlnFilterChain::ResetOutput()
{
    if (!m_tone)
        return TLN_ERROR(kKelvraNotReady);
    m_configured = false;
    return UpdateGeometry();
}

IKelvraError* CTlnFilterChain::Connect(IKelvraDataSource* source)
{
    if (!source)
        return TLN_ERROR(kKelvraMissingObject);
    if (!m_tone)
        return TLN_ERROR(kKelvraNotReady);
    if (source == m_input)
        return nullptr;
    if (IKelvraError* error = KelvraDataDisconnect(m_input, m_tone.get()))
        return TLN_WRAP(error);
    m_input = source;
    if (IKelvraError* error = KelvraDataConnect(m_input, m_tone.get()))
        return TLN_WRAP(error);
    if (IKelvraError* error = UpdateTone())
        return error;
    return UpdateGeometry();
}

IKelvraError* CTlnFilterChain::GetColorSpace(long* space)
{
    if (!space)
        return TLN_ERROR(kKelvraMissingObject);
    if (!m_hasSpace)
        return TLN_ERROR(kKelvraNotReady);
    *space = m_space;
    return nullptr;
}

IKelvraError* CTlnFilterChain::RenderRows(long mode, const KelvraRect& rect, void* buffer, long rowBytes)
{
    if (!buffer)
        return TLN_ERROR(kKelvraMissingObject);
    if (!m_scale)
        return TLN_ERROR(kKelvraNotReady);
    if (mode != kTlnRenderFull && mode != kTlnRenderPreview && mode != kTlnRenderRect)
        return TLN_ERROR(kKelvraBadArgument);
    if (IKelvraError* error = KelvraReadRect(m_scale.get(), rect, buffer, rowBytes))
        return TLN_WRAP(error);
    return nullptr;
}

} // namespace

IKelvraError* ITlnFilterChain::CreateObject(ITlnFilterChain** chain)
{
    if (!chain)
        return KELVRA_ERROR(nullptr, kTlnErrorTag, kKelvraMissingObject);
    *chain = new (std::nothrow) CTlnFilterChain();
    return *chain ? nullptr : KELVRA_ERROR(nullptr, kTlnErrorTag, kKelvraOutOfMemory);
}
