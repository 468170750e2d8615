// Eyemend: our red-eye library. It finds red pupils in an RGB picture that
// the caller holds in memory (automatically over the whole picture, or near
// a clicked point), keeps what it found as regions in lists, corrects the
// pixels of a list's regions in place, and stores a region as a small
// record through the caller's writer and reader. docs/eyemend.md describes
// the detector, the corrector and the record.
//
// No function throws; each reports a status word.
#pragma once

#include <cstdint>

using ReStatus = std::uint32_t;

enum : ReStatus {
    ReOk = 0,
    ReOkNothingFound = 0x40000001, // a detection that ran to its end and found no pupil
    ReInvalidParameter = 0xC0000001,
    ReMissingArgument = 0xC0000002,
    ReOutOfMemory = 0xC0000003,
    ReCancelled = 0xC0000004,  // the progress function asked to stop
    ReNotFound = 0xC0000005,   // ReFindRedPoint: no red pupil near the point
    ReBadRecord = 0xC0000006,  // a region record that is short, damaged or not ours
    ReWriteFailed = 0xC0000007 // the writer refused a chunk, or the room given is too small
};

// Pixel layouts of the parameter block: three samples per pixel, red first.
enum : std::int32_t {
    ReFormatRgb8 = 6149,
    ReFormatRgb16 = 12295,
};

// The capture data the caller may give; `size` 0 means none is filled.
struct ReShootingInfo {
    std::uint32_t size;      // sizeof(ReShootingInfo) once filled
    const char* cameraModel; // zero-terminated, or null
    std::int32_t flash;      // 0 or 1
    std::int32_t focalLength;
    std::int32_t subjectDistance;
};

// The picture every detection and correction works on.
struct ReParams {
    std::uint32_t size; // sizeof(ReParams)
    std::int32_t width;
    std::int32_t height;
    std::int32_t rowBytes; // at least 3 samples times the width
    std::int32_t format;   // ReFormatRgb8 or ReFormatRgb16
    unsigned char* buffer;
    const ReShootingInfo* shootingInfo; // optional
    std::int32_t reserved[2];           // 0
};

static_assert(sizeof(void*) != 4 || sizeof(ReShootingInfo) == 20, "the 32-bit layout of the capture data");
static_assert(sizeof(void*) != 4 || sizeof(ReParams) == 36, "the 32-bit layout of the parameter block");

struct RePoint {
    std::int32_t x;
    std::int32_t y;
};

// A found pupil: its bounding box, inclusive on every side. The links
// belong to the list that holds it.
struct ReRegion {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
    ReRegion* next;
    ReRegion* prev;
};

// A list of regions; a zeroed list is empty.
struct ReList {
    ReRegion* head;
    ReRegion* tail;
};

// The region after (before) `current` in `list`; the first (last) one when
// `current` is null; null at the end.
ReRegion* ReListNext(const ReList* list, const ReRegion* current);
ReRegion* ReListPrev(const ReList* list, const ReRegion* current);
// Appends a region that belongs to no list; the list then owns it.
ReStatus ReListInsert(ReList* list, ReRegion* region);
// Moves every region of `source` to the end of `destination`.
ReStatus ReListMerge(ReList* destination, ReList* source);
// Frees every region of `list` and leaves it empty.
ReStatus ReListEmpty(ReList* list);

// Progress during a detection: (done, phase, scale) with done running from
// 0 to scale, phase 0 at the start, 1 while running, 2 at the end. A true
// answer stops the detection (ReCancelled, nothing appended).
using ReProgress = bool (*)(long done, long phase, long scale);

// Finds every red pupil of the picture and appends a region for each to
// `found`. `flags` and `reserved` must be 0; `progress` may be null.
ReStatus ReDetectAuto(const ReParams* params, std::uint32_t flags, ReProgress progress, long scale,
                      std::uint32_t reserved, ReList* found);
// Appends the red pupil nearest to `point` among those within `radius`
// pixels of it (ReOkNothingFound when there is none).
ReStatus ReDetectNearest(const ReParams* params, RePoint point, std::int32_t radius, std::uint32_t flags,
                         std::uint32_t reserved1, std::uint32_t reserved2, ReList* found);
// ReOk when a red pupil lies within `radius` pixels of `point`, else
// ReNotFound (also for a point outside the picture).
ReStatus ReFindRedPoint(const ReParams* params, RePoint point, std::int32_t radius);
// Takes the red cast out of the pupil pixels of every region of `list`:
// inside the ellipse that fills a region's box, a pixel whose red exceeds
// the larger of green and blue by at least `threshold` percent of its red
// gets a red of the mean of green and blue. Nothing outside the regions is
// written. `reserved1` and `reserved2` must be null.
ReStatus ReCorrectRegions(const ReParams* params, const ReList* list, const void* reserved1,
                          const void* reserved2, std::int32_t threshold);

// Writes `count` bytes; false when it could not.
using ReWriter = bool (*)(void* context, const void* bytes, std::uint32_t count);
// Reads exactly `count` bytes; false when it could not.
using ReReader = bool (*)(void* context, void* bytes, std::uint32_t count);

// Without a writer: sets *size to the record's size. With one: writes the
// record through it when *size leaves room for it, and sets *size to what
// was written.
ReStatus ReSaveRegion(const ReRegion* region, ReWriter writer, void* context, std::uint32_t* size);
// Reads one record of `size` bytes through `reader` (never asking for more
// than `size`) into a new region that belongs to no list yet.
ReStatus ReLoadRegion(ReReader reader, void* context, std::uint32_t size, ReRegion** region);
