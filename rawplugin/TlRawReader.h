// The raw reader: the plug-in's one object that touches the Qrf file. It
// builds a manager sized to the machine's memory, reads the file through
// the loader library, develops camera raw data through Rawlibps's vendor
// source or the plug-in's own De-Bayer build, and renders developed 8-bit
// strips through the Rawlibps chain. Results are the small reader codes of
// TlRawTables.h.
#pragma once

#include "Rawlibps.h"
#include "TlRawTables.h"
#include "filters/debayer/TlDeBayerHQFilter.h"
#include "kelvra/KelvraManager.h"
#include "pellio/KelvraFileStream.h"
#include "pellio/KelvraLoad.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

constexpr std::uint32_t kTlRawKindQrf = 0x10000000;

// What the reader answers of the picture it will render.
struct TlRawDescription {
    long imageIndex = 0;
    long width = 0;
    long height = 0;
    long bytesPerSample = 0;
    long colorSpace = 0;  // 1 RGB, 2 grey, 3 CMYK, 0 other
    long orientation = 0; // degrees
};

class CTlRawReader {
public:
    CTlRawReader() = default;
    ~CTlRawReader();
    CTlRawReader(const CTlRawReader&) = delete;
    CTlRawReader& operator=(const CTlRawReader&) = delete;

    int Open(const char* path);
    // Releases every object, in the order that lets each go before what it uses.
    void Close();
    bool IsOpen() const { return m_ready; }

    // kind: the file kind; cameraRaw 1 for a camera raw picture, else 2.
    int GetFileKind(std::uint32_t* kind, int* cameraRaw);
    int Describe(TlRawDescription* description);
    int DescribePreview(TlRawDescription* description);
    int ConfigureOutput(long imageIndex, long width, long height, long bytesPerSample, long colorSpace,
                        long orientation);
    // A dialog white-balance index (0 resets to the picture as shot).
    int SetWhiteBalance(int index);
    int ResetWhiteBalance();
    int SetExposure(double ev);
    int GetExposure(double* ev);
    int RenderStrip(long top, long bottom, long left, long right, void* buffer, long rowBytes);
    int RenderPreviewStrip(long top, long bottom, long left, long right, void* buffer, long rowBytes);
    long GetModelCode();
    bool HasTag(std::uint32_t id) const;
    int GetTagValue(std::uint32_t id, long* value);
    // `size` in: room at `buffer` (which may be null); out: the tag's size.
    int GetTagData(std::uint32_t id, std::uint32_t* size, void* buffer);
    int GetResolution(double* dpi);
    // `size` in: room at `buffer` (null asks for the size); out: the profile's size.
    int GetIccProfile(std::uint32_t* size, void* buffer);
    int IsEdited(bool* edited);
    int SetSixMegapixelOutput();
    // Develops the view from the file's raw preview mosaic (true) or from the
    // developed picture again (false); only files of the vendor path with a
    // raw mosaic of format 0x10020403 have the former.
    int SelectPreviewSource(bool preview);
    bool HasRawPreview() const { return m_vendor != nullptr && m_rawIndex > 0; }

    std::uint32_t FileFormat() const { return m_format; }
    bool UsesVendor() const { return m_vendor != nullptr; }
    std::size_t MemoryBudget() const { return m_budget; }
    bool LargeMemory() const { return m_largeMemory; }

private:
    int CreateManager();
    int CreateLoaderObjects();
    int ReadStructure();
    int SetUpDeBayerWindow();
    int SetUpDeBayerDevelopment();
    int RunDeBayer();
    int Develop();
    int LoadPreview();
    // Drops a preview source that could not be made.
    void ReleaseAndClearVendor();
    // The file's preview image as it is rendered (turned when its tags say so).
    int PreviewSource(IKelvraDataSource** source);
    // The vendor source that serves the current view (null off the vendor path).
    ITlnProcessRawVendor1* ViewVendor() const { return m_previewSelected ? m_previewVendor : m_vendor; }
    int RenderChecked(long mode, long top, long bottom, long left, long right, void* buffer, long rowBytes);

    std::size_t m_budget = 0;
    bool m_ready = false;
    bool m_developed = false;
    IKelvraManager* m_manager = nullptr;
    IKelvraLoad* m_load = nullptr;
    IKelvraFileStream* m_stream = nullptr;
    IKelvraTagControl* m_tags = nullptr;
    IKelvraDataSource* m_input = nullptr; // the chain's input: the loaded image, the vendor's or the De-Bayer's output
    IKelvraImage* m_raw = nullptr;        // the loaded image
    ITlnProcessRawVendor1* m_vendor = nullptr;
    IKelvraImage* m_preview = nullptr;
    IKelvraImage* m_developedImage = nullptr;
    IKelvraImage* m_rawPreview = nullptr;          // the raw mosaic the preview source develops
    ITlnProcessRawVendor1* m_previewVendor = nullptr; // the second vendor source
    bool m_previewSelected = false;
    std::unique_ptr<CDeBayerHQFilter> m_deBayer;
    std::unique_ptr<IKelvraFilter> m_previewTurn;
    ITlnFilterChain* m_chain = nullptr;
    long m_fullIndex = -1;
    long m_rawIndex = -1;
    long m_modelCode = 0;
    std::uint32_t m_format = 0;
    std::uint32_t m_kind = 0;
    bool m_largeMemory = false;
};
