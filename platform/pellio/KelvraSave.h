// The saver: writes a Qrf raw file, a TIFF, a fixed-size direct image or a
// JPEG file to a stream opened for writing.
//
// It only receives data sources and pulls their pixels itself, a band of
// rows per step, so what it writes of an image is exactly what the source
// holds. Begin keeps a copy of the tags; the write setup names the main
// source and the image list; WriteStep is called until IsFinished.
#pragma once

#include "kelvra/KelvraData.h"
#include "kelvra/KelvraTagControl.h"
#include "pellio/KelvraFileStream.h"

#include <cstdint>

// One entry of the image list: a kind (kPellioEntry...), a count and an
// object. For every kind but the bitmap entry the count is 1 and the object
// an IKelvraDataSource; the bitmap entry (count 2) points to a
// KelvraSaveBitmap.
struct KelvraSaveEntry {
    std::uint32_t kind;
    std::uint32_t count;
    void* object;
};

constexpr std::uint32_t kKelvraSaveBitmapMagic = 0x496D62;

struct KelvraSaveBitmap {
    std::uint32_t magic; // kKelvraSaveBitmapMagic
    const void* bits;
    std::uint32_t length;
};

// The header record of the write setup that carries an attached data block:
// six words, 24 bytes on 32-bit Windows.
struct KelvraSaveHeader {
    std::uint32_t size;   // sizeof(KelvraSaveHeader)
    std::uint32_t length; // bytes of the attached block
    std::uint32_t option;
    const void* block;
    std::uint32_t reserved; // 0
    std::uint32_t reserved2; // 0
};

// What GetInfo reports. The caller sets `size`.
struct KelvraSaveInfo {
    std::uint32_t size;
    std::uint32_t formatCode;
    std::uint32_t imageCount; // renditions the format takes beside the main image
    std::uint32_t fixedSize;  // 1 when the main image must have GetOutputSize's size
};

class IKelvraSave {
public:
    // *save is set only on success.
    static IKelvraError* CreateSave(IKelvraSave** save);

    // Prepares a save of `format` (kPellioFormat...) with `option` to
    // `stream` (open for writing), with a copy of `tags` (may be null). The
    // stream must stay open while steps are written.
    virtual IKelvraError* Begin(IKelvraFileStream* stream, IKelvraTagControl* tags, std::uint32_t format,
                                std::uint32_t option) = 0;
    virtual IKelvraError* GetInfo(KelvraSaveInfo* info) const = 0;
    // The size the main image must have; error 1013 for formats without one.
    virtual IKelvraError* GetOutputSize(long* width, long* height) const = 0;

    // Names what to write: the main source and `count` list entries. Error
    // kPellioListRefused when the format does not take the list.
    virtual IKelvraError* SetupWrite(IKelvraDataSource* main, const KelvraSaveEntry* list, long count) = 0;
    // The same with an attached data block and its option word.
    virtual IKelvraError* SetupWrite(const KelvraSaveHeader* header, IKelvraDataSource* main,
                                     const KelvraSaveEntry* list, long count) = 0;

    virtual bool IsFinished() const = 0;
    // Steps done and steps in all.
    virtual void GetProgress(long* done, long* total) const = 0;
    // Writes the next band; a failed write is error 1006 and ends the save
    // (the stream then does not keep its output).
    virtual IKelvraError* WriteStep() = 0;

    // Frees the saver; it does not touch the stream, which may be gone. From
    // Begin until the last step succeeds the stream keeps no output.
    virtual void Release() = 0;

protected:
    virtual ~IKelvraSave() = default;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(KelvraSaveEntry) == 12, "list entries are three 32-bit words");
static_assert(sizeof(KelvraSaveHeader) == 24, "the header record is six 32-bit words");
#endif
