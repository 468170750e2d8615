// A host that drives a file-format plug-in as an image editor does: it
// loads the ".8bi" and finds its entry through the PIPL resource, runs
// ReadPrepare, ReadStart, ReadContinue and ReadFinish, lends strip buffers,
// gathers the strips into an image, keeps the ICC profile and the caption
// property it is given, plays a recorded descriptor and keeps the one the
// plug-in records. Tests can withhold procedures or offer other suite
// versions, and answer advance state with a cancel at a chosen strip.
//
// The procedures of the record carry no context: one host drives a
// plug-in at a time, on one thread.
#pragma once

#include "psplugin/PsFormat.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// One value of a descriptor.
struct PsDescriptorValue {
    PsKey key = 0;
    PsKey type = 0; // kPsTypeInteger, kPsTypeFloat or kPsTypeEnumerated
    std::int32_t integer = 0;
    double number = 0.0;
    PsKey enumType = 0;
    PsKey enumValue = 0;

    static PsDescriptorValue Integer(PsKey key, std::int32_t value);
    static PsDescriptorValue Float(PsKey key, double value);
    static PsDescriptorValue Enumerated(PsKey key, PsKey type, PsKey value);
};

struct PsFormatHostOptions {
    bool offerBufferProcs = true;
    std::int16_t bufferProcsVersion = kPsBufferProcsVersion;
    std::int16_t bufferProcsCount = kPsBufferProcsCount;
    bool offerAdvanceState = true;
    bool offerHandleProcs = true;
    std::int16_t handleProcsVersion = kPsHandleProcsVersion;
    std::int16_t handleProcsCount = kPsHandleProcsCountFull;
    bool offerPropertyProcs = true;
    bool offerDescriptors = true;
    std::int16_t readDescriptorVersion = kPsReadDescriptorProcsVersion;
    std::int16_t writeDescriptorVersion = kPsWriteDescriptorProcsVersion;
    bool offerBasicSuite = true;
    // The handle procedures' allocation answers that memory ran out.
    bool failHandleAllocation = false;

    // The recorded descriptor to play (none: nothing recorded) and how.
    bool hasDescriptor = false;
    std::vector<PsDescriptorValue> descriptor;
    std::int32_t playInfo = kPsPlayDontDisplay;
    // What closing a read descriptor answers.
    PsResult readCloseResult = kPsNoError;

    bool openForPreview = false;
    // Advance state answers `cancelResult` on this strip (from 1; 0 never).
    long cancelAtStrip = 0;
    PsResult cancelResult = kPsUserCanceled;
    // The resolution the host sets before ReadStart.
    PsFixed resolution = 72 * kPsFixedOne;
};

struct PsFormatHostResult {
    PsResult prepare = 0;
    PsResult start = 0;
    PsResult readContinue = 0;
    PsResult finish = 0;
    std::int32_t maxData = -1;

    std::int16_t imageMode = 0;
    std::int16_t planes = 0;
    std::int16_t depth = 0;
    std::int32_t width = 0;  // imageSize.h
    std::int32_t height = 0; // imageSize.v
    PsFixed hRes = 0;
    PsFixed vRes = 0;
    // height x width x planes samples, interleaved.
    std::vector<std::uint8_t> pixels;
    std::vector<std::uint8_t> icc;
    bool hasCaption = false;
    std::vector<std::uint8_t> caption;
    // Every rectangle advance state was called with, in order.
    std::vector<PsRect> strips;
    // The descriptor the plug-in left in the record after ReadStart.
    bool hasRecorded = false;
    std::vector<PsDescriptorValue> recorded;

    const std::uint8_t* Pixel(long x, long y) const
    {
        return pixels.data() + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * std::size_t(planes);
    }
};

class CPsFormatHost {
public:
    CPsFormatHost();
    ~CPsFormatHost();
    CPsFormatHost(const CPsFormatHost&) = delete;
    CPsFormatHost& operator=(const CPsFormatHost&) = delete;

    // Loads the plug-in file and binds the entry its PIPL names ('wx86');
    // false with the reason when it cannot.
    bool Load(const std::string& path, std::string* why);
    // Drives an entry already in the process instead.
    void Attach(PsEntryProc entry);

    // Opens `file` through the read selectors, ReadFinish included when
    // ReadStart succeeded. The plug-in's data word is kept between files.
    PsFormatHostResult Open(const std::string& file, const PsFormatHostOptions& options);
    // One selector with a fresh record over `file` (FilterFile, About, ...).
    PsResult Call(std::int16_t selector, const std::string& file, const PsFormatHostOptions& options);
    // Drops the plug-in's data word (its globals handle is freed).
    void ForgetData();

    std::intptr_t DataWord() const { return m_data; }
    // Handles the plug-in holds now, its globals included.
    long LiveHandles() const;
    // Buffers the plug-in holds now.
    long LiveBuffers() const;
    // Web addresses the plug-in asked the file-list suite to open.
    const std::vector<std::string>& BrowsedUrls() const { return m_urls; }

    // Writes the last result as an uncompressed TIFF, with the ICC profile.
    static bool WriteTiff(const PsFormatHostResult& result, const std::string& path);

    struct Handle;
    struct Buffer;
    struct Procs;

private:
    PsResult Run(std::int16_t selector, PsFormatRecord* record);
    void Prepare(PsFormatRecord* record, const std::string& file, const PsFormatHostOptions& options);
    void Collect(const PsFormatRecord& record, PsFormatHostResult* result) const;
    // Frees the descriptor the record holds after a call.
    void DropDescriptor(const PsFormatRecord& record);
    PsResult Advance();
    void Property(PsKey signature, PsKey key, PsHandle value);

    friend struct Procs;

    HMODULE m_module = nullptr;
    PsEntryProc m_entry = nullptr;
    std::intptr_t m_data = 0;
    std::string m_file;
    PsFormatHostOptions m_options;
    PsFormatHostResult* m_result = nullptr;
    PsFormatRecord* m_record = nullptr;
    long m_strip = 0;
    std::vector<std::string> m_urls;
    std::unique_ptr<Procs> m_procs;
};
