#include "save/TlSaveWriters.h"

#include <atomic>

namespace {

int NoExport(CTlvParamSet*, const char*, std::uint32_t, std::uint32_t, std::uint32_t, bool)
{
    return kTlSaveWriterMissing;
}

int NoSettingsSave(CTlvParamSet*, const char*, std::uint32_t)
{
    return kTlSaveWriterMissing;
}

// Installed on one thread while saves may run on the worker.
std::atomic<TlExportImageHook> g_export{&NoExport};
std::atomic<TlSaveSettingsHook> g_settings{&NoSettingsSave};

} // namespace

TlExportImageHook SetExportImageHook(TlExportImageHook hook)
{
    return g_export.exchange(hook != nullptr ? hook : &NoExport);
}

TlSaveSettingsHook SetSaveSettingsHook(TlSaveSettingsHook hook)
{
    return g_settings.exchange(hook != nullptr ? hook : &NoSettingsSave);
}

int RunExportImage(CTlvParamSet* params, const char* tempPath, std::uint32_t channelLayout,
                   std::uint32_t fileFormat, std::uint32_t formatOption, bool directImage)
{
    return g_export.load()(params, tempPath, channelLayout, fileFormat, formatOption, directImage);
}

int RunSaveSettings(CTlvParamSet* params, const char* tempPath, std::uint32_t option)
{
    return g_settings.load()(params, tempPath, option);
}
