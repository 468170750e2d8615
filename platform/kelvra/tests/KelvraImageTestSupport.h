// Helpers of the image, data source and manager tests: owners that release
// framework objects, an error reader, pixel patterns with an oracle written
// independently of the library's copy code, and a recording destination.
#pragma once

#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelvra_image_test {

constexpr KelvraTag kImageTag = KelvraFourCC('K', 'I', 'm', 'g');

struct ReleaseManager {
    void operator()(IKelvraManager* manager) const { manager->Release(); }
};
struct ReleaseImage {
    void operator()(IKelvraImage* image) const { image->Release(); }
};
using ManagerPtr = std::unique_ptr<IKelvraManager, ReleaseManager>;
using ImagePtr = std::unique_ptr<IKelvraImage, ReleaseImage>;

// Frees `error`; success when it was null, else a failure naming its cause.
::testing::AssertionResult Succeeded(IKelvraError* error);
// Frees `error` and gives its cause's code (0 for success).
long CauseCode(IKelvraError* error);
// Frees `error` and gives its cause's tag (0 for success).
KelvraTag CauseTag(IKelvraError* error);

ManagerPtr MakeManager();
// An image of `manager` with its size and format set.
ImagePtr MakeImage(IKelvraManager* manager, KelvraPixelFormat format, long width, long height);

// One pixel of packed rows (most significant bit first), read and written
// one bit at a time: the tests' oracle.
std::uint64_t PixelValue(const std::uint8_t* rows, long rowBytes, unsigned bitsPerPixel, long x, long y);
void PutPixel(std::uint8_t* rows, long rowBytes, unsigned bitsPerPixel, long x, long y, std::uint64_t value);

// A pixel value that differs between neighbours, tiles and planes.
std::uint64_t PatternPixel(KelvraPixelFormat format, long x, long y);
// `rect` of the pattern as packed rows `rowBytes` apart (0: tightly packed).
std::vector<std::uint8_t> PatternRows(KelvraPixelFormat format, const KelvraRect& rect, long rowBytes = 0);
// Compares packed rows of `rect` with the pattern, pixel by pixel.
::testing::AssertionResult MatchesPattern(const std::vector<std::uint8_t>& rows, long rowBytes,
                                          KelvraPixelFormat format, const KelvraRect& rect);

std::string RectText(const KelvraRect& rect);

// A destination that writes down every notice it hears as a line of text
// and may run a probe while it is being told.
class CRecordingDestination : public IKelvraDataDestination {
public:
    using Probe = std::function<IKelvraError*(IKelvraDataSource* source, long code)>;

    IKelvraError* KelvraNotify(IKelvraDataSource* source, long code, void* data) override;

    void SetProbe(Probe probe) { m_probe = std::move(probe); }
    // The notices heard, joined by " | ".
    std::string Heard() const;
    const std::vector<IKelvraDataSource*>& Senders() const { return m_senders; }
    void Clear();

private:
    std::vector<std::string> m_notices;
    std::vector<IKelvraDataSource*> m_senders;
    Probe m_probe;
};

} // namespace kelvra_image_test
