#include "KelvraFilterCMLEngineLcms.h"

#include <windows.h>

#include <new>
#include <string>

namespace {

// Errors are reported by the call that failed; the message LittleCMS logs
// on the way only adds its text.
thread_local char t_lastMessage[256];

void LogMessage(cmsContext, cmsUInt32Number, const char* text)
{
    lstrcpynA(t_lastMessage, text ? text : "", int(sizeof t_lastMessage));
}

cmsContext MakeContext()
{
    cmsContext context = cmsCreateContext(nullptr, nullptr);
    cmsSetLogErrorHandlerTHR(context, LogMessage); // a null context sets the default one's
    return context;
}

CmlSpace SpaceOfProfile(cmsHPROFILE handle)
{
    if (cmsIsTag(handle, cmsTagSignature(kKelvraLChProfileTag)))
        return CmlSpace::kLCh;
    switch (cmsGetColorSpace(handle)) {
    case cmsSigRgbData:
        return CmlSpace::kRGB;
    case cmsSigGrayData:
        return CmlSpace::kGrey;
    case cmsSigCmykData:
        return CmlSpace::kCMYK;
    case cmsSigLabData:
        return CmlSpace::kLab;
    default:
        return CmlSpace::kNone;
    }
}

IKelvraError* PathError(long line, long code, const char* what, const char* path)
{
    IKelvraError* error = KELVRA_ERROR(nullptr, kCmlEngineTag, code);
    try {
        return IKelvraError::Add(error, kCmlEngineTag, line, (std::string(what) + ": " + path).c_str());
    } catch (const std::bad_alloc&) {
        return error;
    }
}

} // namespace

cmsContext CmlContext()
{
    static const cmsContext context = MakeContext();
    return context;
}

IKelvraError* CmlFailure(long line, long code, const char* what)
{
    IKelvraError* error = IKelvraError::Add(nullptr, kCmlEngineTag, line, kKelvraCategoryKelvra, code);
    try {
        std::string text = what;
        if (t_lastMessage[0])
            text += std::string(": ") + t_lastMessage;
        t_lastMessage[0] = '\0';
        return IKelvraError::Add(error, kCmlEngineTag, line, text.c_str());
    } catch (const std::bad_alloc&) {
        return error;
    }
}

CmlProfile::~CmlProfile()
{
    if (handle)
        cmsCloseProfile(handle);
}

CmlTransform::~CmlTransform()
{
    if (handle)
        cmsDeleteTransform(handle);
}

namespace {

// The raw bytes of tag `signature`; empty when the profile lacks it.
std::string RawTag(cmsHPROFILE handle, cmsTagSignature signature)
{
    const cmsUInt32Number size = cmsReadRawTag(handle, signature, nullptr, 0);
    std::string bytes(size, '\0');
    if (size != 0 && cmsReadRawTag(handle, signature, &bytes[0], size) != size)
        return std::string();
    return bytes;
}

} // namespace

bool CmlSameColorimetry(const CmlProfile& first, const CmlProfile& second)
{
    // What a matrix-shaper profile converts with; the texts may differ.
    static const cmsTagSignature kRgb[] = {cmsSigRedColorantTag,  cmsSigGreenColorantTag, cmsSigBlueColorantTag,
                                           cmsSigRedTRCTag,       cmsSigGreenTRCTag,      cmsSigBlueTRCTag,
                                           cmsSigMediaWhitePointTag, cmsSigChromaticAdaptationTag};
    static const cmsTagSignature kGrey[] = {cmsSigGrayTRCTag, cmsSigMediaWhitePointTag, cmsSigChromaticAdaptationTag};
    if (!first.handle || !second.handle || first.space != second.space)
        return false;
    if (!cmsIsMatrixShaper(first.handle) || !cmsIsMatrixShaper(second.handle) ||
        cmsGetPCS(first.handle) != cmsGetPCS(second.handle))
        return false;
    const bool rgb = first.space == CmlSpace::kRGB;
    if (!rgb && first.space != CmlSpace::kGrey)
        return false;
    const cmsTagSignature* tags = rgb ? kRgb : kGrey;
    const std::size_t count = rgb ? sizeof kRgb / sizeof kRgb[0] : sizeof kGrey / sizeof kGrey[0];
    try {
        for (std::size_t i = 0; i < count; ++i) {
            if (RawTag(first.handle, tags[i]) != RawTag(second.handle, tags[i]))
                return false;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

IKelvraError* CmlOpenProfile(const char* path, CmlProfilePtr* profile)
{
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return PathError(__LINE__, kKelvraMissingObject, "no profile", path);
    std::shared_ptr<CmlProfile> opened;
    try {
        opened = std::make_shared<CmlProfile>();
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kCmlEngineTag, kKelvraOutOfMemory);
    }
    opened->handle = cmsOpenProfileFromFileTHR(CmlContext(), path, "r");
    if (!opened->handle)
        return KELVRA_WRAP(nullptr, kCmlEngineTag, CmlFailure(__LINE__, kKelvraUnsupportedFormat, path));
    opened->space = SpaceOfProfile(opened->handle);
    if (opened->space == CmlSpace::kNone)
        return PathError(__LINE__, kKelvraUnsupportedFormat, "profile of another colour space", path);
    if (opened->space == CmlSpace::kLCh) {
        cmsCloseProfile(opened->handle);
        opened->handle = cmsCreateLab4ProfileTHR(CmlContext(), nullptr);
        if (!opened->handle)
            return CmlFailure(__LINE__, kKelvraOperationFailed, "Lab profile");
    }
    *profile = std::move(opened);
    return nullptr;
}
