// The development: the whole mosaic of the selected source goes through the
// signal-processing library into the output image.
#include "filters/sigcore/TlSigProcImage.h"

#include "filters/sigcore/TlSigProcImageTag.h"
#include "filters/sigcore/TlSigcoreLibrary.h"

#include <cstdint>
#include <new>

namespace {

constexpr long kMarginColumns = 16;

// Rows the library leaves off a mosaic of this format.
long MarginRows(KelvraPixelFormat format)
{
    return format == kKelvraRawSig3 ? 4 : 6;
}

int LayoutOf(KelvraPixelFormat format)
{
    return format == kKelvraRawSig3 ? kSigcoreLayoutYcgm : kSigcoreLayoutBggr;
}

// 12-bit results widened to the full 16 bits.
void WidenTo16Bits(std::vector<std::uint16_t>& values)
{
    for (std::uint16_t& v : values)
        v = std::uint16_t((std::uint32_t(v) * 4097) >> 8);
}

} // namespace

IKelvraError* CSigProcImage::Update()
{
    if (!m_stale)
        return nullptr;
    IKelvraImage* source = CurrentSource();
    if (!source)
        return RAW1_ERROR(kKelvraOperationFailed);
    return Develop(source);
}

IKelvraError* CSigProcImage::Develop(IKelvraImage* source)
{
    SigProcExFn entry = nullptr;
    if (IKelvraError* error = CSigcoreLibrary::GetEntry(kSigProcTag, &entry))
        return error;
    long width = 0;
    long height = 0;
    KelvraPixelFormat format = 0;
    IKelvraError* error = source->GetSize(&width, &height);
    if (!error)
        error = source->GetColorSpace(&format);
    if (error)
        return RAW1_WRAP(nullptr, error);
    // The mosaic buffer holds one 16-bit sample per pixel; anything else
    // would not fit it.
    if (KelvraBitsPerPixel(format) != 16 || KelvraPlaneCount(format) != 1)
        return RAW1_ERROR(kKelvraUnsupportedFormat);
    const long rows = height - MarginRows(format);
    const long columns = width - kMarginColumns;
    if (columns <= 0 || rows <= 0)
        return RAW1_ERROR(kKelvraOperationFailed);
    if (IKelvraError* failed = PrepareOutput(columns, rows))
        return failed;

    std::vector<std::uint16_t> mosaic;
    std::vector<std::uint16_t> result;
    if (std::size_t(width) > SIZE_MAX / 2 / std::size_t(height) ||
        std::size_t(columns) > SIZE_MAX / 6 / std::size_t(rows))
        return RAW1_ERROR(kKelvraOutOfMemory);
    try {
        mosaic.resize(std::size_t(width) * std::size_t(height));
        result.resize(std::size_t(columns) * std::size_t(rows) * 3);
    } catch (const std::bad_alloc&) {
        return RAW1_ERROR(kKelvraOutOfMemory);
    }
    if (m_observer)
        m_observer->OnSigProcEvent(-1, nullptr);
    if (IKelvraError* failed = KelvraReadRect(source, KelvraRect(0, 0, width, height), mosaic.data(), width * 2))
        return RAW1_WRAP(nullptr, failed);

    const int answer = entry(mosaic.data(), int(height - 1), int(width), m_params[0], m_params[1], m_params[2],
                             m_params[3], m_params[4], m_params[5], m_makerTable.empty() ? nullptr : m_makerTable.data(),
                             &CSigProcImage::OnProgress, this, result.data(), LayoutOf(format));
    std::vector<std::uint16_t>().swap(mosaic);
    if (answer != kSigcoreDone) {
        const long code = answer == kSigcoreCancelled ? 2001 : 2000;
        return IKelvraError::Add(nullptr, kSigProcTag, __LINE__, kSigProcCategory, code);
    }
    WidenTo16Bits(result);
    if (IKelvraError* failed = KelvraWriteRect(m_output, KelvraRect(0, 0, columns, rows), result.data(), columns * 6))
        return RAW1_WRAP(nullptr, failed);
    if (m_observer)
        m_observer->OnSigProcEvent(-2, nullptr);
    m_stale = false;
    return nullptr;
}

IKelvraError* CSigProcImage::PrepareOutput(long width, long height)
{
    if (!m_output) {
        if (IKelvraError* error = m_manager->CreateImage(&m_output))
            return RAW1_WRAP(nullptr, error);
    }
    IKelvraError* error = m_output->SetSize(width, height);
    if (!error)
        error = m_output->SetColorSpace(kKelvraRGB16);
    return error ? RAW1_WRAP(nullptr, error) : nullptr;
}

int __stdcall CSigProcImage::OnProgress(int done, int total, void* context)
{
    auto* self = static_cast<CSigProcImage*>(context);
    return self->m_observer ? self->m_observer->OnSigProcProgress(done, total) : 1;
}
