// Development and rendering: the De-Bayer filter's set-up by sensitivity,
// window, white-balance curves and colour-filter pattern, its run, the
// vendor source's development, the preview image, and the strips.
#include "TlRawReader.h"

#include "TlnTagValues.h"
#include "filtrix/KelvraFilterTransform.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace {

constexpr std::uint32_t kTagSensitivity = 0x80002;
constexpr std::uint32_t kTagPattern = 0xA302;
constexpr std::uint32_t kTagPreviewMirror = 0x10004;
constexpr std::uint32_t kTagPreviewRotation = 0x10005;
constexpr long kModelBalancedInCamera = 257;
constexpr KelvraTag kReaderTag = KelvraFourCC('Q', 'r', 'f', 'R');

// The output window of the model, or false for the raw geometry tags'.
bool ModelWindow(long model, KelvraRect* window)
{
    switch (model) {
    case 1025:
        *window = KelvraRect(7, 6, 7 + 3015, 6 + 2006);
        return true;
    case 260:
        *window = KelvraRect(9, 3, 9 + 2473, 3 + 1635);
        return true;
    case 1026:
        *window = KelvraRect(9, 1, 9 + 3017, 1 + 2001);
        return true;
    default:
        return false;
    }
}

long PreviewTurn(double degrees)
{
    return std::lround(degrees);
}

} // namespace

int CTlRawReader::SetUpDeBayerWindow()
{
    m_deBayer.reset(new (std::nothrow) CDeBayerHQFilter(m_manager));
    if (!m_deBayer)
        return kTlRawTooSmall;
    long width = 0, height = 0;
    if (int result = TlRawMapError(m_raw->GetSize(&width, &height)))
        return result;
    IKelvraError* error = KelvraDataConnect(m_raw, m_deBayer.get());
    if (!error && m_format == kKelvraRawMosaic) {
        KelvraRect window;
        if (!ModelWindow(GetModelCode(), &window)) {
            long rawWidth = 0, rawHeight = 0;
            if (TlnReadLong(*m_tags, kKelvraTagImageWidth, &rawWidth) &&
                TlnReadLong(*m_tags, kKelvraTagImageHeight, &rawHeight))
                window = KelvraRect(0, 0, rawWidth, rawHeight);
        }
        const KelvraRect whole(0, 0, width, height);
        error = m_deBayer->SetSourceRect(window, &whole, true);
        if (!error)
            error = m_deBayer->SetDeBayerMode(CDeBayerFilterBase::kModeDemosaic, true);
    } else if (!error) {
        error = m_deBayer->SetDeBayerMode(CDeBayerFilterBase::kModeOff, true);
    }
    return TlRawMapError(error);
}

int CTlRawReader::SetUpDeBayerDevelopment()
{
    if (m_format != kKelvraRawMosaic)
        return kTlRawOk;
    const long model = GetModelCode();
    if (m_deBayer->GetFilterTag() == KelvraFourCC('d', 'b', '1', 'g')) {
        std::uint16_t halves[2] = {0, 0};
        std::int32_t key = 0;
        IKelvraError* read = m_tags->GetTag(kTagSensitivity, kKelvraTagTypeUShorts2, sizeof halves, halves, 0);
        if (!read)
            key = TlRawSensitivityKey(model, halves[0], halves[1]);
        IKelvraError::Release(read);
        std::int32_t tuning[9];
        TlRawNoiseTuning(model, key, tuning);
        if (int result = TlRawMapError(m_deBayer->SetTuning(tuning, true)))
            return result;
    }
    int result = kTlRawOk;
    if (model != kModelBalancedInCamera) {
        double gains[2] = {1.0, 1.0};
        TlnReadGains(*m_tags, gains);
        TlRawCurves curves;
        if (TlRawWhiteBalanceCurves(gains[0], gains[1], &curves)) {
            if (int failed = TlRawMapError(m_deBayer->SetChannelLuts(12, 12, curves.red.data(), curves.green.data(),
                                                                     curves.blue.data(), true)))
                return failed;
        } else {
            result = kTlRawTooSmall;
        }
    }
    std::vector<std::uint8_t> pattern;
    if (TlnReadBytes(*m_tags, kTagPattern, &pattern)) {
        // A pattern that does not hold what its dimensions say fails here,
        // before the filter reads past its bytes.
        if (!TlRawPatternFits(pattern))
            return kTlRawCannotRead;
        if (int failed = TlRawMapError(m_deBayer->SetPixelMap(pattern.data(), pattern.size(), true)))
            return failed;
    }
    return result;
}

int CTlRawReader::RunDeBayer()
{
    if (int result = SetUpDeBayerDevelopment())
        return result;
    if (int result = TlRawMapError(m_manager->CreateImage(&m_developedImage)))
        return result;
    IKelvraDataSource* sources[1] = {m_raw};
    void* handle = nullptr;
    IKelvraError* error = m_deBayer->BeginProcess(&handle, sources, 1, m_developedImage);
    long done = 0, total = 1;
    while (!error && total != 0)
        error = m_deBayer->ExecuteProcess(handle, &done, &total);
    if (handle)
        error = IKelvraError::AddWorker(error, kReaderTag, __LINE__, m_deBayer->EndProcess(handle));
    if (int result = TlRawMapError(error))
        return result;
    m_input = m_developedImage;
    if (int result = TlRawMapError(m_chain->Connect(m_input)))
        return result;
    m_deBayer.reset();
    return kTlRawOk;
}

int CTlRawReader::Develop()
{
    if (m_developed)
        return ViewVendor() ? TlRawMapError(ViewVendor()->Process()) : kTlRawOk;
    IKelvraError* error = nullptr;
    while (!error && !m_load->IsComplete())
        error = m_load->Step();
    if (int result = TlRawMapError(error))
        return result;
    if (m_vendor) {
        if (int result = TlRawMapError(m_vendor->Process()))
            return result;
    } else if (m_deBayer) {
        if (int result = RunDeBayer())
            return result;
    }
    m_developed = true;
    return kTlRawOk;
}

int CTlRawReader::LoadPreview()
{
    if (m_preview)
        return kTlRawOk;
    if (m_fullIndex < 1)
        return kTlRawFailed;
    if (int result = TlRawMapError(m_manager->CreateImage(&m_preview)))
        return result;
    if (int result = TlRawMapError(m_load->LoadSubImage(m_fullIndex, m_preview, nullptr)))
        return result;
    double degrees = 0.0;
    long mirror = 0;
    const bool turned = TlnReadDouble(*m_tags, kTagPreviewRotation, &degrees) && std::isfinite(degrees) &&
                        degrees != 0.0 && degrees != 360.0;
    const bool mirrored = TlnReadLong(*m_tags, kTagPreviewMirror, &mirror) && mirror != 0;
    if (!turned && !mirrored)
        return kTlRawOk;
    auto* turn = new (std::nothrow) CKelvraFilterTransform(m_manager);
    if (!turn)
        return kTlRawTooSmall;
    m_previewTurn.reset(turn);
    IKelvraError* error = KelvraDataConnect(m_preview, turn);
    if (!error)
        error = turn->SetTransform(mirrored, turned ? degrees : 0.0, true, false);
    return TlRawMapError(error);
}

int CTlRawReader::PreviewSource(IKelvraDataSource** source)
{
    if (!m_ready)
        return kTlRawNotOpen;
    if (int result = LoadPreview())
        return result;
    *source = m_previewTurn ? static_cast<IKelvraDataSource*>(m_previewTurn.get()) : m_preview;
    return kTlRawOk;
}

int CTlRawReader::DescribePreview(TlRawDescription* description)
{
    if (!description)
        return kTlRawBadArgument;
    IKelvraDataSource* source = nullptr;
    if (int result = PreviewSource(&source))
        return result;
    KelvraPixelFormat format = 0;
    IKelvraError* error = source->GetSize(&description->width, &description->height);
    if (!error)
        error = source->GetColorSpace(&format);
    if (int result = TlRawMapError(error))
        return result;
    description->imageIndex = m_fullIndex;
    description->orientation = 0;
    double degrees = 0.0;
    if (TlnReadDouble(*m_tags, kTagPreviewRotation, &degrees))
        description->orientation = PreviewTurn(degrees);
    // The size is that of the turned picture already.
    description->colorSpace = 0;
    description->bytesPerSample = 0;
    if (format == kKelvraRGB8 || format == kKelvraRGB16) {
        description->colorSpace = 1;
        description->bytesPerSample = KelvraIs16Bit(format) ? 2 : 1;
    } else if (format == kKelvraGrey8 || format == kKelvraGrey16) {
        description->colorSpace = 2;
        description->bytesPerSample = KelvraIs16Bit(format) ? 2 : 1;
    }
    return kTlRawOk;
}

int CTlRawReader::RenderChecked(long mode, long top, long bottom, long left, long right, void* buffer, long rowBytes)
{
    if (!buffer || top < 0 || left < 0 || bottom <= top || right <= left)
        return kTlRawBadArgument;
    if (!m_ready)
        return kTlRawNotOpen;
    if (int result = Develop())
        return result;
    return TlRawMapError(m_chain->RenderRows(mode, KelvraRect(left, top, right, bottom), buffer, rowBytes));
}

int CTlRawReader::RenderStrip(long top, long bottom, long left, long right, void* buffer, long rowBytes)
{
    return RenderChecked(kTlnRenderFull, top, bottom, left, right, buffer, rowBytes);
}

int CTlRawReader::RenderPreviewStrip(long top, long bottom, long left, long right, void* buffer, long rowBytes)
{
    if (!buffer || top < 0 || left < 0 || bottom <= top || right <= left)
        return kTlRawBadArgument;
    IKelvraDataSource* source = nullptr;
    if (int result = PreviewSource(&source))
        return result;
    return TlRawMapError(KelvraReadRect(source, KelvraRect(left, top, right, bottom), buffer, rowBytes));
}

int CTlRawReader::SelectPreviewSource(bool preview)
{
    if (!m_ready)
        return kTlRawNotOpen;
    if (preview == m_previewSelected)
        return kTlRawOk;
    if (!preview) {
        m_previewSelected = false;
        return TlRawMapError(m_chain->Connect(m_input));
    }
    if (!HasRawPreview())
        return kTlRawBadArgument;
    if (!m_previewVendor) {
        IKelvraError* error = m_manager->CreateImage(&m_rawPreview);
        if (!error)
            error = m_load->LoadSubImage(m_rawIndex, m_rawPreview, nullptr);
        if (!error)
            error = ITlnProcessRawVendor1::CreateObject(m_manager, &m_previewVendor);
        if (!error)
            error = m_previewVendor->Connect(m_load, m_tags, m_rawPreview);
        if (int result = TlRawMapError(error)) {
            ReleaseAndClearVendor();
            return result;
        }
    }
    // The preview starts from the options the view has now.
    TlnWhiteBalance balance{0, 0};
    double exposure = 0.0;
    IKelvraError* error = m_chain->GetOption(kTlnOptionWhiteBalance, kTlnSubValueMain, &balance, sizeof balance);
    if (!error)
        error = m_chain->GetOption(kTlnOptionExposure, kTlnSubValueMain, &exposure, sizeof exposure);
    if (!error)
        error = m_previewVendor->SetOption(kTlnOptionWhiteBalance, kTlnSubValueMain, &balance, sizeof balance);
    if (!error)
        error = m_previewVendor->SetOption(kTlnOptionExposure, kTlnSubValueMain, &exposure, sizeof exposure);
    if (!error)
        error = m_previewVendor->Process();
    if (!error)
        error = m_chain->Connect(m_previewVendor->GetSource());
    if (int result = TlRawMapError(error))
        return result;
    m_previewSelected = true;
    return kTlRawOk;
}

void CTlRawReader::ReleaseAndClearVendor()
{
    if (m_previewVendor)
        m_previewVendor->Release();
    m_previewVendor = nullptr;
    if (m_rawPreview)
        m_rawPreview->Release();
    m_rawPreview = nullptr;
}
