// The exported interface of the raw-image library TlbQrf.dll: the functions
// that frame all image work. A host links them through the import library.
#pragma once

#include <windows.h>

#ifdef TLBQRF_BUILDING_DLL
#define TLBQRF_API __declspec(dllexport)
#else
#define TLBQRF_API __declspec(dllimport)
#endif

class IKelvraManager;
class IKelvraImage;
class CTlLutGroup;
class CKelvraFilterHistogram;

namespace TlvQrfLib {

// The working colour profiles, full paths of MAX_PATH characters.
struct TlvProfiles {
    char szRGBProfile[MAX_PATH];     // RGB working space
    char szCMYKProfile[MAX_PATH];
    char szMonitorProfile[MAX_PATH];
    char szSRGBProfile[MAX_PATH];    // the fixed sRGB profile
    char szProfileFolder[MAX_PATH];  // ends in a backslash
};
static_assert(sizeof(TlvProfiles) == 5 * MAX_PATH, "five paths, nothing else");

// Called once with the host's imaging manager before any image object is
// made: 0, or 0x1008 when a working profile is missing.
TLBQRF_API unsigned long InitializeQRFLib(IKelvraManager* manager);
// Called once after the last image object is gone: deletes the generated
// profiles.
TLBQRF_API void CloseQRFLib();
// Adds an image-editor filter plug-in to the installed ones: the path of its
// file, two strings and its id. 0, or 0x1003 when memory runs out.
TLBQRF_API unsigned long AddInstalledPlugin(const char* path, const char* name, const char* category, long id);
// An empty image of the library's manager: 0, or the result code of the
// failure (the out pointer is then untouched).
TLBQRF_API unsigned long CreateImage(IKelvraImage** image, long kind);
// Releases an image (null does nothing).
TLBQRF_API void DestroyImage(IKelvraImage* image);
// Fills all five fields; 0.
TLBQRF_API unsigned long GetProfiles(TlvProfiles& profiles);
// Copies the filter's histograms into the group's elements; 0.
TLBQRF_API unsigned long SetHistograms(CTlLutGroup* group, CKelvraFilterHistogram* histogram);

} // namespace TlvQrfLib
