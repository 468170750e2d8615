#include "KelvraImageTestSupport.h"

#include <cstdio>
#include <sstream>

namespace kelvra_image_test {

namespace {

std::string Hex(std::uint64_t value, int digits)
{
    char text[24];
    std::snprintf(text, sizeof text, "%0*llx", digits, static_cast<unsigned long long>(value));
    return text;
}

std::string Describe(long code, const void* data)
{
    std::ostringstream text;
    if (!data && code >= kKelvraNotifyData && code <= kKelvraNotifyPalette)
        return "no data for code " + std::to_string(code);
    switch (code) {
    case kKelvraNotifyData:
        text << "data " << RectText(*static_cast<const KelvraRect*>(data));
        break;
    case kKelvraNotifySize: {
        const auto* change = static_cast<const KelvraSizeChange*>(data);
        text << "size " << change->oldWidth << "x" << change->oldHeight << "->" << change->newWidth << "x"
             << change->newHeight;
        break;
    }
    case kKelvraNotifyColorSpace: {
        const auto* change = static_cast<const KelvraColorSpaceChange*>(data);
        text << "format " << Hex(change->oldFormat, 8) << "->" << Hex(change->newFormat, 8);
        break;
    }
    case kKelvraNotifyResolution: {
        const auto* change = static_cast<const KelvraResolutionChange*>(data);
        text << "dpi " << change->oldResolution << "->" << change->newResolution;
        break;
    }
    case kKelvraNotifyTransform: {
        const auto* change = static_cast<const KelvraTransformChange*>(data);
        text << "transform " << change->oldFlip << "/" << change->oldRotation << "->" << change->newFlip << "/"
             << change->newRotation;
        break;
    }
    case kKelvraNotifyPalette: {
        const auto* palette = static_cast<const KelvraPalette*>(data);
        text << "palette " << palette->count << ":";
        for (long i = 0; i < palette->count; ++i)
            text << " " << Hex(palette->entries[i], 8);
        break;
    }
    case kKelvraNotifyDestroyed:
        text << "destroyed";
        break;
    default:
        text << "code " << code;
    }
    return text.str();
}

} // namespace

::testing::AssertionResult Succeeded(IKelvraError* error)
{
    if (!error)
        return ::testing::AssertionSuccess();
    const IKelvraError* cause = error->FindCause();
    const long code = cause ? cause->GetCode() : 0;
    const KelvraTag tag = cause ? cause->GetTag() : 0;
    IKelvraError::Release(error);
    return ::testing::AssertionFailure() << "error " << code << " tag " << Hex(tag, 8);
}

long CauseCode(IKelvraError* error)
{
    const IKelvraError* cause = error ? error->FindCause() : nullptr;
    const long code = cause ? cause->GetCode() : 0;
    IKelvraError::Release(error);
    return code;
}

KelvraTag CauseTag(IKelvraError* error)
{
    const IKelvraError* cause = error ? error->FindCause() : nullptr;
    const KelvraTag tag = cause ? cause->GetTag() : 0;
    IKelvraError::Release(error);
    return tag;
}

ManagerPtr MakeManager()
{
    IKelvraManager* manager = nullptr;
    EXPECT_TRUE(Succeeded(IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &manager)));
    return ManagerPtr(manager);
}

ImagePtr MakeImage(IKelvraManager* manager, KelvraPixelFormat format, long width, long height)
{
    IKelvraImage* image = nullptr;
    EXPECT_TRUE(Succeeded(manager->CreateImage(&image)));
    ImagePtr owned(image);
    if (image) {
        EXPECT_TRUE(Succeeded(image->SetSize(width, height)));
        EXPECT_TRUE(Succeeded(image->SetColorSpace(format)));
    }
    return owned;
}

std::uint64_t PixelValue(const std::uint8_t* rows, long rowBytes, unsigned bitsPerPixel, long x, long y)
{
    const std::uint8_t* row = rows + std::ptrdiff_t(y) * rowBytes;
    std::uint64_t value = 0;
    for (unsigned i = 0; i < bitsPerPixel; ++i) {
        const std::uint64_t bit = std::uint64_t(x) * bitsPerPixel + i;
        value = (value << 1) | ((row[bit / 8] >> (7 - bit % 8)) & 1u);
    }
    return value;
}

void PutPixel(std::uint8_t* rows, long rowBytes, unsigned bitsPerPixel, long x, long y, std::uint64_t value)
{
    std::uint8_t* row = rows + std::ptrdiff_t(y) * rowBytes;
    for (unsigned i = 0; i < bitsPerPixel; ++i) {
        const std::uint64_t bit = std::uint64_t(x) * bitsPerPixel + i;
        const std::uint8_t mask = std::uint8_t(0x80u >> (bit % 8));
        const bool set = (value >> (bitsPerPixel - 1 - i)) & 1u;
        row[bit / 8] = std::uint8_t(set ? (row[bit / 8] | mask) : (row[bit / 8] & ~mask));
    }
}

std::uint64_t PatternPixel(KelvraPixelFormat format, long x, long y)
{
    std::uint64_t mixed = std::uint64_t(x + 1) * 0x9E3779B97F4A7C15ull ^ std::uint64_t(y + 1) * 0xC2B2AE3D27D4EB4Full;
    mixed ^= mixed >> 29;
    const unsigned bits = KelvraBitsPerPixel(format);
    return bits >= 64 ? mixed : mixed & ((std::uint64_t(1) << bits) - 1);
}

std::vector<std::uint8_t> PatternRows(KelvraPixelFormat format, const KelvraRect& rect, long rowBytes)
{
    if (!rowBytes)
        rowBytes = KelvraRowBytes(format, rect.Width());
    std::vector<std::uint8_t> rows(std::size_t(rowBytes) * std::size_t(rect.Height()));
    for (long y = 0; y < rect.Height(); ++y) {
        for (long x = 0; x < rect.Width(); ++x)
            PutPixel(rows.data(), rowBytes, KelvraBitsPerPixel(format), x, y,
                     PatternPixel(format, rect.left + x, rect.top + y));
    }
    return rows;
}

::testing::AssertionResult MatchesPattern(const std::vector<std::uint8_t>& rows, long rowBytes,
                                          KelvraPixelFormat format, const KelvraRect& rect)
{
    if (rows.size() < std::size_t(rowBytes) * std::size_t(rect.Height()))
        return ::testing::AssertionFailure() << "too few rows";
    for (long y = 0; y < rect.Height(); ++y) {
        for (long x = 0; x < rect.Width(); ++x) {
            const std::uint64_t got = PixelValue(rows.data(), rowBytes, KelvraBitsPerPixel(format), x, y);
            const std::uint64_t want = PatternPixel(format, rect.left + x, rect.top + y);
            if (got != want)
                return ::testing::AssertionFailure() << "pixel (" << rect.left + x << ", " << rect.top + y
                                                     << ") is " << Hex(got, 1) << ", not " << Hex(want, 1);
        }
    }
    return ::testing::AssertionSuccess();
}

std::string RectText(const KelvraRect& rect)
{
    std::ostringstream text;
    text << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
    return text.str();
}

IKelvraError* CRecordingDestination::KelvraNotify(IKelvraDataSource* source, long code, void* data)
{
    m_notices.push_back(Describe(code, data));
    m_senders.push_back(source);
    return m_probe ? m_probe(source, code) : nullptr;
}

std::string CRecordingDestination::Heard() const
{
    std::string joined;
    for (const std::string& notice : m_notices)
        joined += (joined.empty() ? "" : " | ") + notice;
    return joined;
}

void CRecordingDestination::Clear()
{
    m_notices.clear();
    m_senders.clear();
}

} // namespace kelvra_image_test
