#include "export/TlExport.h"

#include "export/TlExportSteps.h"

#include "lib/TlRegistryReaders.h"
#include "params/TlvParamSet.h"
#include "save/TlSaveWriters.h"

#include <windows.h>

#include <cstdio>

namespace {

// A debugging switch of the user's library key: show how long an export took.
constexpr const char* kDebugSection = "Debug";
constexpr const char* kElapsedTimeValue = "AppOption8";

void ShowElapsedTime(DWORD started)
{
    if (ReadRegistryDword(kTlUserLibraryKey, kDebugSection, kElapsedTimeValue, 0) == 0)
        return;
    char text[64] = {};
    std::snprintf(text, sizeof text, "Elapsed time: %.1f seconds", double(GetTickCount() - started) * 0.001);
    MessageBoxA(nullptr, text, "", MB_OK);
}

int RunSteps(CTlvParamSet& params, bool directImage)
{
    int result = 0;
    int done = 0;
    while (done == 0)
        result = ExportStep(params, &done, directImage);
    return result;
}

} // namespace

int ExportImage(CTlvParamSet* params, const char* targetPath, std::uint32_t channelLayout,
                std::uint32_t fileFormat, std::uint32_t formatOption, bool directImage)
{
    const DWORD started = GetTickCount();
    // Without a fixed size the fixed-size format is an ordinary TIFF.
    if (params != nullptr && params->fixedSize == 0 && fileFormat == kTlExportFormatDirect)
        fileFormat = kTlExportFormatTiff;
    int result = PrepareExport(params, targetPath, channelLayout, fileFormat, formatOption);
    if (result == 0)
        result = RunSteps(*params, directImage);
    ShowElapsedTime(started);
    return result;
}

void InstallExport()
{
    SetExportImageHook(&ExportImage);
}
