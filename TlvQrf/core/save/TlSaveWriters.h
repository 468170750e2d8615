// The routines that write the new file under its temporary name: the export
// of the developed image and the save of the edit settings into a copy of
// the raw file. Each removes its file when it fails. They are installed by
// the code that builds them; until then every save fails.
#pragma once

#include <cstdint>

class CTlvParamSet;

// What the default writers answer.
constexpr int kTlSaveWriterMissing = 1;

// 0 on success, else the failure code the save reports.
using TlExportImageHook = int (*)(CTlvParamSet* params, const char* tempPath, std::uint32_t channelLayout,
                                  std::uint32_t fileFormat, std::uint32_t formatOption, bool directImage);
using TlSaveSettingsHook = int (*)(CTlvParamSet* params, const char* tempPath, std::uint32_t option);

// Each returns the writer installed before; null puts the default back.
TlExportImageHook SetExportImageHook(TlExportImageHook hook);
TlSaveSettingsHook SetSaveSettingsHook(TlSaveSettingsHook hook);

int RunExportImage(CTlvParamSet* params, const char* tempPath, std::uint32_t channelLayout,
                   std::uint32_t fileFormat, std::uint32_t formatOption, bool directImage);
int RunSaveSettings(CTlvParamSet* params, const char* tempPath, std::uint32_t option);
