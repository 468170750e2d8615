// What the tests of the pixel filters share: images made from given
// samples, a filter connected between an image and a recording sink, and
// the two ways of making a filter's output (tile by tile through the chain,
// or as one tile that spans many source tiles).
#pragma once

#include "FrameTestSupport.h"

#include "FilterTestSupport.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace pixel_test {

// An image of `format` whose samples, row after row, are `samples`.
inline IKelvraImage* MakeImageOf(IKelvraManager* manager, long width, long height, KelvraPixelFormat format,
                                 const std::vector<unsigned>& samples)
{
    IKelvraImage* image = MakeBlankImage(manager, width, height, format);
    const bool wide = KelvraIs16Bit(format);
    const long rowBytes = KelvraRowBytes(format, width);
    const long rowSamples = width * long(KelvraPlaneCount(format));
    std::vector<std::uint8_t> bytes(std::size_t(rowBytes) * std::size_t(height));
    for (long y = 0; y < height; ++y) {
        for (long i = 0; i < rowSamples; ++i) {
            const unsigned value = samples[std::size_t(y * rowSamples + i)];
            std::uint8_t* at = &bytes[std::size_t(y * rowBytes + i * (wide ? 2 : 1))];
            if (wide)
                *reinterpret_cast<std::uint16_t*>(at) = std::uint16_t(value);
            else
                *at = std::uint8_t(value);
        }
    }
    ExpectOk(KelvraWriteRect(image, KelvraRect(0, 0, width, height), bytes.data(), rowBytes), "write");
    return image;
}

// Lets a test read and reset the frame's stale flag of any filter.
struct StaleProbe {
    virtual ~StaleProbe() = default;
    virtual CTlFilter& AsFilter() = 0;
    virtual bool IsFrameStale() const = 0;
    virtual void MarkFresh() = 0;
};

template <typename F>
struct Probed : F, StaleProbe {
    using F::F;
    CTlFilter& AsFilter() override { return *this; }
    bool IsFrameStale() const override { return this->m_stale; }
    void MarkFresh() override { this->m_stale = false; }
    bool IsBypassed() const { return this->m_bypass; }
};

// A source over a real image whose size or resolution can be made
// unreadable.
class UnreadableSource : public frame_test::RecordingSource {
public:
    using RecordingSource::RecordingSource;
    IKelvraError* GetWidth(long* width) override
    {
        return failSize ? Refuse() : RecordingSource::GetWidth(width);
    }
    IKelvraError* GetResolution(double* dpi) override
    {
        return failResolution ? Refuse() : RecordingSource::GetResolution(dpi);
    }
    bool failSize = false;
    bool failResolution = false;

private:
    static IKelvraError* Refuse() { return KELVRA_ERROR(nullptr, KelvraFourCC('U', 'n', 'r', 'd'), kKelvraNotReady); }
};

// A row of pixels, each given as its samples.
inline IKelvraImage* MakeRowOf(IKelvraManager* manager, KelvraPixelFormat format,
                               const std::vector<std::vector<unsigned>>& pixels)
{
    std::vector<unsigned> samples;
    for (const auto& pixel : pixels)
        samples.insert(samples.end(), pixel.begin(), pixel.end());
    return MakeImageOf(manager, long(pixels.size()), 1, format, samples);
}

// Image -> filter -> sink; the image is released at the end.
template <typename Filter>
struct FilterRig {
    template <typename... Args>
    FilterRig(IKelvraImage* source, ManagerHolder& holder, Args... args) : image(source), filter(holder.manager, args...)
    {
        ExpectOk(KelvraDataConnect(image, &filter), "connect source");
        ExpectOk(KelvraDataConnect(&filter, &sink), "connect sink");
    }
    ~FilterRig()
    {
        IKelvraError::Release(KelvraDataDisconnect(&filter, &sink));
        IKelvraError::Release(KelvraDataDisconnect(image, &filter));
        image->Release();
    }
    std::vector<unsigned> Output() { return ReadAllSamples(&filter); }

    IKelvraImage* image;
    Filter filter;
    frame_test::NoticeSink sink;
};

// The filter's output made as one tile holding the whole image, from the
// given source: every source tile under it is walked in one call.
inline std::vector<unsigned> OutputAsOneTile(IKelvraFilter& filter, IKelvraDataSource* source)
{
    long width = 0, height = 0;
    KelvraPixelFormat format = 0;
    ExpectOk(source->GetSize(&width, &height));
    ExpectOk(source->GetColorSpace(&format));
    const KelvraRect whole(0, 0, width, height);
    frame_test::FakeTile tile(whole, whole, format);
    IKelvraDataSource* sources[] = {source};
    ExpectOk(filter.GenerateTile(&tile, sources, 1), "one tile");
    EXPECT_TRUE(tile.IsComplete());
    const bool wide = KelvraIs16Bit(format);
    const long planes = long(KelvraPlaneCount(format));
    std::vector<unsigned> samples;
    for (long y = 0; y < height; ++y) {
        for (long x = 0; x < width; ++x) {
            const std::uint8_t* pixel = tile.PixelAt(x, y);
            for (long p = 0; p < planes; ++p)
                samples.push_back(wide ? reinterpret_cast<const std::uint16_t*>(pixel)[p] : pixel[p]);
        }
    }
    return samples;
}

// Asks `filter` for one tile of a `format` source and expects it refused
// with `code` (or the bad colour space text when `code` is kKelvraTextError),
// the tile neither written nor complete.
inline void ExpectTileRefused(IKelvraFilter& filter, IKelvraManager* manager, KelvraPixelFormat format, long code)
{
    SCOPED_TRACE(format);
    IKelvraImage* image = MakeBlankImage(manager, 20, 10, format);
    frame_test::FakeTile tile(KelvraRect(0, 0, 64, 64), KelvraRect(0, 0, 20, 10), format);
    IKelvraDataSource* sources[] = {image};
    IKelvraError* error = filter.GenerateTile(&tile, sources, 1);
    ASSERT_NE(nullptr, error);
    if (code == kKelvraTextError)
        EXPECT_STREQ(kTlBadSourceColorSpace, error->GetText());
    else
        EXPECT_TRUE(error->HasCode(code));
    EXPECT_EQ(filter.GetFilterTag(), error->GetTag());
    IKelvraError::Release(error);
    EXPECT_FALSE(tile.IsComplete());
    EXPECT_TRUE(tile.IsUntouched());
    EXPECT_FALSE(tile.IsLocked());
    image->Release();
}

// `shared` makes the whole of `source` as one tile on several threads at
// once; every tile must equal the one `reference` (a filter set up alike)
// makes alone. Whatever a filter prepares for its tiles is prepared by the
// first thread while the others wait.
inline void ExpectSameTilesOnThreads(IKelvraFilter& reference, IKelvraFilter& shared, IKelvraDataSource* source)
{
    long width = 0, height = 0;
    KelvraPixelFormat format = 0;
    ExpectOk(source->GetSize(&width, &height));
    ExpectOk(source->GetColorSpace(&format));
    const KelvraRect whole(0, 0, width, height);
    const std::size_t bytes = std::size_t(KelvraRowBytes(format, width)) * std::size_t(height);
    IKelvraDataSource* sources[] = {source};
    frame_test::FakeTile alone(whole, whole, format);
    ExpectOk(reference.GenerateTile(&alone, sources, 1), "reference tile");
    ASSERT_TRUE(alone.IsComplete());

    std::vector<std::unique_ptr<frame_test::FakeTile>> tiles;
    std::vector<long> failures(6, 0);
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < failures.size(); ++t)
        tiles.push_back(std::make_unique<frame_test::FakeTile>(whole, whole, format));
    for (std::size_t t = 0; t < failures.size(); ++t) {
        threads.emplace_back([&, t] {
            while (!go.load()) {
            }
            IKelvraError* error = shared.GenerateTile(tiles[t].get(), sources, 1);
            failures[t] = error ? error->GetCode() : 0;
            IKelvraError::Release(error);
        });
    }
    go.store(true);
    for (std::thread& thread : threads)
        thread.join();
    for (std::size_t t = 0; t < tiles.size(); ++t) {
        EXPECT_EQ(0, failures[t]) << "thread " << t;
        EXPECT_TRUE(tiles[t]->IsComplete());
        EXPECT_EQ(0, std::memcmp(alone.PixelAt(0, 0), tiles[t]->PixelAt(0, 0), bytes)) << "thread " << t;
    }
}

} // namespace pixel_test
