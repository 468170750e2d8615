// The loader: reads a Qrf raw file, a TIFF or a JPEG file from a stream.
//
// Start reads the file's structure and its tags; SetImage hands it the image
// that the step interface then fills with the main picture, a band of rows
// per step. Sub-images (previews, thumbnails, alternative mosaics) are
// numbered from 1 and load in one call. Every read stays inside the file: a
// truncated or inconsistent file gives an error, never an over-read.
#pragma once

#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraTagControl.h"
#include "pellio/KelvraFileStream.h"

#include <cstdint>

// A progress callback a caller may put in a description request; answering
// non-zero stops the description with error 1100.
using KelvraLoadCallback = long (*)(long done, long total);

// The description request of the load path: 24 bytes on 32-bit Windows.
// The caller sets `size` to sizeof(KelvraLoadRequest) and the results to 0.
struct KelvraLoadRequest {
    std::uint32_t size;
    std::uint32_t width;      // of the main image
    std::uint32_t formatCode; // the file's format code
    std::uint32_t height;     // of the main image
    KelvraLoadCallback callback;
    std::uint32_t reserved;   // 0
};

// What GetFileInfo reports. The caller sets `size`.
struct KelvraFileInfo {
    std::uint32_t size;
    std::uint32_t fileKind;      // kPellioKind...
    std::uint32_t formatCode;    // kPellioFormat...
    std::uint32_t subImageCount; // sub-images numbered 1 to this
    KelvraPixelFormat pixelFormat; // of the main image
    std::uint32_t width;
    std::uint32_t height;
};

// One sub-image, as GetSubImageInfo reports it. The caller sets `size`.
struct KelvraSubImageInfo {
    std::uint32_t size;
    std::uint32_t kind; // kPellioEntry... (the word the saver's list had)
    KelvraPixelFormat pixelFormat;
    std::uint32_t width;
    std::uint32_t height;
};

class IKelvraLoad {
public:
    // A loader that has not started; *load is set only on success.
    static IKelvraError* CreateLoad(IKelvraLoad** load);

    // Reads the structure and the tags of the file open on `stream` (read
    // mode) and puts the tags into `tags` (replacing the tags it held; on
    // failure it is left as it was). Both reserved words are 0. The stream
    // and the tag control must outlive the loader's Release.
    virtual IKelvraError* Start(IKelvraFileStream* stream, IKelvraTagControl* tags, long reserved,
                                long reserved2) = 0;
    // Fills the request's results. With `full` 1 the request's callback
    // (when set) hears (0, 1) and (1, 1) and may stop the description
    // (error 1100); with 0 nothing is reported.
    virtual IKelvraError* DescribeImage(KelvraLoadRequest* request, long full) = 0;
    virtual IKelvraError* GetFileInfo(KelvraFileInfo* info) const = 0;
    // `number` from 1 to the sub-image count.
    virtual IKelvraError* GetSubImageInfo(long number, KelvraSubImageInfo* info) const = 0;

    // Gives `image` the main picture's size, pixel format and resolution
    // (dropping pixels it held) and makes it the image the steps fill.
    virtual IKelvraError* SetImage(IKelvraImage* image) = 0;
    // True once the image given to SetImage holds every row.
    virtual bool IsComplete() const = 0;
    // Loads the next band of rows; an error leaves the load where it was.
    virtual IKelvraError* Step() = 0;
    // Rows loaded and rows in all.
    virtual void GetProgress(long* done, long* total) const = 0;

    // Loads sub-image `number` (from 1) whole into `image`; `kind` (may be
    // null) receives its kind word.
    virtual IKelvraError* LoadSubImage(long number, IKelvraImage* image, std::uint32_t* kind) = 0;

    // Lets go of the stream, the tags, the image and the buffers; only
    // Destroy may follow.
    virtual void Release() = 0;
    // Frees the loader (releasing it first when needed).
    virtual void Destroy() = 0;

protected:
    virtual ~IKelvraLoad() = default;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(KelvraLoadRequest) == 24, "the request record is 24 bytes on 32-bit Windows");
#endif
