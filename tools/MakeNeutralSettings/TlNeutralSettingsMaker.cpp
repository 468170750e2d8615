#include "MakeNeutralSettings/TlNeutralSettingsMaker.h"

#include "common/TlToolFile.h"
#include "settings/curves/TlLutGroupDefaults.h"
#include "settings/edit/TlvEditSettings.h"
#include "settings/geometry/TlGeometryState.h"
#include "settings/holders/TlvSettingsHolder.h"

#include <windows.h>

#include <new>

const char kTlNeutralSettingsName[] = "Neutral.set";

namespace {

std::string WriteNeutralSettings(const char* folder)
{
    if (!folder || !folder[0])
        return "no folder given";
    std::string path = folder;
    if (path.back() != '\\' && path.back() != '/')
        path += '\\';
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return "no such folder: " + path;
    const std::vector<std::uint8_t> bytes = TlBuildNeutralSettings();
    if (bytes.empty())
        return "out of memory";
    return TlWriteToolFile(path + kTlNeutralSettingsName, bytes.data(), bytes.size());
}

} // namespace

std::vector<std::uint8_t> TlBuildNeutralSettings()
{
    try {
        CTlvSettingsHolder neutral;
        // A geometry that holds none of its own: loaded for an image it
        // becomes that image's whole picture, whatever its size.
        neutral.geometry = CTlGeometryState();
        // The curve containers with their default channels, as the control
        // sets them up: empty ones would be rebuilt, and reported as
        // replaced, on every load.
        if (!TlSetDefaultChannels(neutral.toneCurves, kTlLutGroupToneCurves) ||
            !TlSetDefaultChannels(neutral.brightnessContrast, kTlLutGroupBrightnessContrast) ||
            !TlSetDefaultChannels(neutral.lch, kTlLutGroupLch))
            return {};
        CTlvEditSettings settings(neutral.flip, neutral.angle);
        neutral.ExportTo(settings);
        const int size = settings.GetSize();
        if (size <= 0)
            return {};
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
        const int saved = settings.Save(bytes.data(), size);
        if (saved <= 0 || saved > size)
            return {};
        bytes.resize(static_cast<std::size_t>(saved));
        return bytes;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

bool TlWriteNeutralSettings(const char* folder, std::string* failure)
{
    return TlReportToolResult(WriteNeutralSettings(folder), failure);
}
