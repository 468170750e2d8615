#include "lib/TlLibraryStartup.h"

#include "afxwin.h"
#include "colour/TlGeneratedProfileHolds.h"
#include "colour/TlGeneratedProfiles.h"
#include "colour/TlWorkingProfiles.h"
#include "frame/TlProfileFolder.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"
#include "lib/TlLibraryState.h"
#include "lib/TlRegistryReaders.h"
#include "lib/TlSoftwareTag.h"
#include "res/TlbQrfResource.h"
#include "runbase/ConvertKelvraError.h"
#include "runbase/TlvResultCodes.h"
#include "watcher/TlFileSavingUtilities.h"

#include <cstring>
#include <new>

namespace {

void CopyField(char (&field)[MAX_PATH], const std::string& text)
{
    std::memset(field, 0, sizeof field);
    std::strncpy(field, text.c_str(), MAX_PATH - 1);
}

// The stored preference, or the profiles folder followed by the default's name.
std::string PreferenceOrDefault(UINT preferenceId, const std::string& folder, UINT defaultNameId)
{
    std::string path;
    ReadProfilePreference(preferenceId, path);
    return path.empty() ? folder + AfxLoadString(defaultNameId) : path;
}

} // namespace

unsigned long ReadWorkingProfilePaths(TlvQrfLib::TlvProfiles& profiles)
{
    const std::string folder = GetProfileFolder();
    CopyField(profiles.szRGBProfile, PreferenceOrDefault(IDS_PREF_RGB_PROFILE, folder, IDS_DEFAULT_RGB_PROFILE));
    CopyField(profiles.szCMYKProfile, PreferenceOrDefault(IDS_PREF_CMYK_PROFILE, folder, IDS_DEFAULT_CMYK_PROFILE));
    CopyField(profiles.szMonitorProfile,
              PreferenceOrDefault(IDS_PREF_MONITOR_PROFILE, folder, IDS_DEFAULT_MONITOR_PROFILE));
    CopyField(profiles.szSRGBProfile, folder + AfxLoadString(IDS_FIXED_SRGB_PROFILE));
    CopyField(profiles.szProfileFolder, folder);
    return TLV_OK;
}

unsigned long StartQrfLibrary(IKelvraManager* manager)
{
    TlvQrfLib::SetGlobalManager(manager);
    // A watcher left by an earlier start goes first: it takes the engine
    // manager with it, and the new watcher makes a fresh one.
    SetLibraryWatcher(nullptr);
    // Without a watcher start-up goes on; saves then report no filter phases.
    SetLibraryWatcher(new (std::nothrow) CTlFileSavingUtilities);

    TlvQrfLib::TlvProfiles profiles = {};
    if (TlvFailed(ReadWorkingProfilePaths(profiles)))
        return TLV_ERR_FAILED;
    SetProfileFolder(profiles.szProfileFolder);
    if (!SetWorkingProfiles(profiles.szRGBProfile, profiles.szCMYKProfile, "", profiles.szMonitorProfile, ""))
        return TLV_ERR_FAILED;
    SetColourPathsReady(true);
    SetGeneratedProfilePrefix("Tlb_");

    std::string tag;
    if (!TlvFailed(BuildSoftwareTag(tag)))
        ExchangeSoftwareTag(tag);
    return TLV_OK;
}

void CloseQrfLibrary()
{
    // This process is done with its profiles; those that others still use stay.
    ReleaseGeneratedProfileHolds();
    DeleteGeneratedProfiles(GetGeneratedProfilePrefix().c_str());
    SetLibraryWatcher(nullptr);
}

unsigned long MakeManagerImage(IKelvraImage** image, long kind)
{
    IKelvraManager* manager = TlvQrfLib::GetGlobalManager();
    if (!manager || !image)
        return TLV_ERR_FAILED; // no manager yet: nothing to make the image with
    IKelvraImage* made = nullptr;
    IKelvraError* error = manager->CreateImage(&made, kind);
    if (error) {
        const unsigned long result = ConvertKelvraError(error);
        IKelvraError::Release(error);
        return result;
    }
    *image = made;
    return TLV_OK;
}

void ReleaseManagerImage(IKelvraImage* image)
{
    if (image)
        image->Release();
}
