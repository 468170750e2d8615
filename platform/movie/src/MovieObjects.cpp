#include "MovieObjects.h"

#include "MovieEffects.h"
#include "MovieRle.h"

#include <algorithm>
#include <cstring>

TlMovieBuffer::~TlMovieBuffer()
{
    if (dc != nullptr) {
        SelectObject(dc, previous);
        DeleteDC(dc);
    }
    if (bitmap != nullptr)
        DeleteObject(bitmap);
}

bool TlMovieBuffer::CopyTo(MovieFrame& frame) const
{
    if (!frame.Allocate(width, height))
        return false;
    GdiFlush();
    for (long y = 0; y < height; ++y)
        std::memcpy(frame.Row(y), bits + std::size_t(y) * std::size_t(rowBytes), std::size_t(width) * 3);
    return true;
}

long TlMovie::Duration() const
{
    switch (kind) {
    case kEffect:
        return effectDuration;
    case kSound:
        return sound ? sound->Duration() : 0;
    default: {
        long total = 0;
        for (const MovieFileSample& sample : file.samples)
            total += sample.duration;
        return total;
    }
    }
}

long TlMovie::Time(long long now) const
{
    long long time = timeAtStart;
    if (playing)
        time += now - clockAtStart;
    return long(std::clamp<long long>(time, 0, Duration()));
}

bool TlMovie::Render(long time, MovieFrame& frame) const
{
    if (kind == kEffect) {
        if (!frame.Allocate(source1.width, source1.height))
            return false;
        MovieRenderEffect(effect, source1, source2, MovieEffectShare(effect, time, effectDuration), frame);
        return true;
    }
    if (kind != kPicture || frames.empty())
        return false;
    std::size_t index = 0;
    long start = 0;
    while (index + 1 < frames.size() && time >= start + file.samples[index].duration)
        start += file.samples[index++].duration;
    frame = frames[index];
    return true;
}

long TlMovie::LoadSamples()
{
    frames.clear();
    for (const MovieFileSample& sample : file.samples) {
        MovieFrame frame;
        if (sample.codec != kTlMovieRle || !frame.Allocate(file.width, file.height))
            return kTlMovieErrBadFile;
        if (!MovieRleDecode(sample.data.data(), sample.data.size(), frame))
            return kTlMovieErrBadFile;
        frames.push_back(std::move(frame));
    }
    return kTlMovieOk;
}

bool MovieDrawFrame(HWND window, const RECT& rect, const MovieFrame& frame)
{
    HDC dc = GetDC(window);
    if (dc == nullptr)
        return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = frame.width;
    info.bmiHeader.biHeight = -frame.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const int drawn = StretchDIBits(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0, 0,
                                    frame.width, frame.height, frame.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    ReleaseDC(window, dc);
    return drawn != 0;
}
