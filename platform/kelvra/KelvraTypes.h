// Plain value types of the imaging framework: rectangles, paths, pixel
// formats and the records that notifications carry.
#pragma once

#include <cstdint>
#include <cstring>

// Pixel rectangle; right and bottom are exclusive.
struct KelvraRect {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;

    KelvraRect() = default;
    KelvraRect(long l, long t, long r, long b) : left(l), top(t), right(r), bottom(b) {}

    long Width() const { return right - left; }
    long Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(long x, long y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool Intersects(const KelvraRect& other) const { return !Intersection(other).IsEmpty(); }
    KelvraRect Intersection(const KelvraRect& other) const
    {
        KelvraRect r(left > other.left ? left : other.left, top > other.top ? top : other.top,
                     right < other.right ? right : other.right, bottom < other.bottom ? bottom : other.bottom);
        return r.IsEmpty() ? KelvraRect() : r;
    }
    bool operator==(const KelvraRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const KelvraRect& o) const { return !(*this == o); }
};

struct KelvraDblRect {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;

    KelvraDblRect() = default;
    KelvraDblRect(double l, double t, double r, double b) : left(l), top(t), right(r), bottom(b) {}
    explicit KelvraDblRect(const KelvraRect& r) : left(r.left), top(r.top), right(r.right), bottom(r.bottom) {}
    // Truncates each coordinate.
    operator KelvraRect() const { return KelvraRect(long(left), long(top), long(right), long(bottom)); }
};

// A file path of the fixed Windows length.
struct KelvraFile {
    static constexpr int kMaxPath = 260;
    char path[kMaxPath] = {};

    KelvraFile() = default;
    explicit KelvraFile(const char* text) { Set(text); }
    // Copies at most kMaxPath - 1 characters; false when the text was cut.
    bool Set(const char* text)
    {
        const std::size_t length = text ? std::strlen(text) : 0;
        const std::size_t kept = length < std::size_t(kMaxPath) ? length : std::size_t(kMaxPath) - 1;
        std::memcpy(path, text ? text : "", kept);
        path[kept] = '\0';
        return kept == length;
    }
};

// Pixel format word: bits 24-31 bits per sample, bit 28 set for 16 bits,
// bits 17-23 the number of planes, low 17 bits 1 for grey.
using KelvraPixelFormat = std::uint32_t;

enum : KelvraPixelFormat {
    kKelvraBitmap = 0x01020001,
    kKelvraGrey8 = 0x08020001,
    kKelvraGrey16 = 0x10020001,
    kKelvraRGB8 = 0x08060201,
    kKelvraRGB16 = 0x10060201,
    kKelvraLCh8 = 0x08060203,
    kKelvraLCh16 = 0x10060203,
    kKelvraLab16 = 0x10060204,
    kKelvraCMYK8 = 0x08080202,
    kKelvraRawMosaic = 0x10020401,
    kKelvraRawPlain = 0x10020402,
    kKelvraRawSig3 = 0x10020403,
    kKelvraRawSig4 = 0x10020404,
};

inline unsigned KelvraBitsPerSample(KelvraPixelFormat format)
{
    return format >> 24;
}
inline unsigned KelvraPlaneCount(KelvraPixelFormat format)
{
    return (format >> 17) & 0x7F;
}
inline bool KelvraIs16Bit(KelvraPixelFormat format)
{
    return (format & 0x10000000) != 0;
}
inline bool KelvraIsGrey(KelvraPixelFormat format)
{
    return (format & 0x1FFFF) == 1;
}
inline unsigned KelvraBitsPerPixel(KelvraPixelFormat format)
{
    return KelvraBitsPerSample(format) * KelvraPlaneCount(format);
}
// Bytes one row of `width` pixels takes.
inline long KelvraRowBytes(KelvraPixelFormat format, long width)
{
    return long((std::uint64_t(width) * KelvraBitsPerPixel(format) + 7) / 8);
}

// Data notification codes (KelvraSendDataNotification).
enum : long {
    kKelvraNotifyData = 0,        // KelvraRect: pixels in it changed
    kKelvraNotifySize = 1,        // KelvraSizeChange
    kKelvraNotifyColorSpace = 2,  // KelvraColorSpaceChange
    kKelvraNotifyResolution = 3,  // KelvraResolutionChange
    kKelvraNotifyTransform = 4,   // KelvraTransformChange
    kKelvraNotifyPalette = 5,     // KelvraPalette (the new one)
    kKelvraNotifyDestroyed = 6,   // no data: the sender is going away
    kKelvraNotifyUpdateAll = 7,   // no data: everything must be recomputed
    kKelvraNotifyHistogramDone = -2099,
    kKelvraNotifyHistogramReset = -2100,
};

struct KelvraSizeChange {
    long oldWidth;
    long oldHeight;
    long newWidth;
    long newHeight;
};

struct KelvraColorSpaceChange {
    KelvraPixelFormat oldFormat;
    KelvraPixelFormat newFormat;
};

struct KelvraResolutionChange {
    double oldResolution;
    double newResolution;
};

struct KelvraTransformChange {
    bool oldFlip;
    double oldRotation;
    bool newFlip;
    double newRotation;
};

struct KelvraPalette {
    long count = 0; // 0: no palette
    std::uint32_t entries[256] = {};
};

// Watcher notification code 1: progress of a filter's phase. A watcher may
// clear `carryOn` to ask the filter to stop.
struct KelvraProgress {
    std::uint32_t phase;  // four-character phase tag
    std::int32_t current;
    std::int32_t total;
    std::uint8_t valid;   // 1
    std::uint8_t carryOn; // 1; a watcher clears it to cancel
    std::uint8_t reserved[14];
};
static_assert(sizeof(KelvraProgress) == 28, "progress record is 28 bytes");

enum : long {
    kKelvraWatchProgress = 1,
    kKelvraWatchLevels = 1000,
};
