// The file-format side of the image editor's plug-in interface, as the
// raw-format plug-in and our format host use it: the format selectors and
// results, the format record with its procedures, the property, descriptor
// and basic suites. The buffer and handle procedures, progress, advance
// state, the platform data and the entry are those of PsFilter.h. Fields
// that carry a pointer or a handle are pointer-sized.
#pragma once

#include "psplugin/PsFilter.h"

#include <cstdint>

// Selectors of a file-format plug-in. 5 to 16 are the options, estimate and
// write selectors, which a read-only plug-in does not support.
enum : std::int16_t {
    kPsFormatAbout = 0,
    kPsFormatReadPrepare = 1,
    kPsFormatReadStart = 2,
    kPsFormatReadContinue = 3,
    kPsFormatReadFinish = 4,
    kPsFormatOptionsPrepare = 5,
    kPsFormatWriteFinish = 16,
    kPsFormatFilterFile = 17,
};

// Results of the format selectors beyond those of PsFilter.h.
enum : PsResult {
    kPsUserCanceled = -128,
    kPsReadError = -19,
    kPsFormatOpenFailed = -23,
    kPsFormatBadSelector = -30500,
    kPsFormatCannotRead = -30501,
    kPsDescriptorEnd = -1715, // closing a descriptor whose keys were not all read
};

// Four-character codes as the interface writes them ('kwbO').
typedef std::uint32_t PsKey;
constexpr PsKey PsFourCC(char a, char b, char c, char d)
{
    return (PsKey(std::uint8_t(a)) << 24) | (PsKey(std::uint8_t(b)) << 16) | (PsKey(std::uint8_t(c)) << 8) |
           PsKey(std::uint8_t(d));
}

// Descriptor value types.
constexpr PsKey kPsTypeInteger = PsFourCC('l', 'o', 'n', 'g');
constexpr PsKey kPsTypeFloat = PsFourCC('d', 'o', 'u', 'b');
constexpr PsKey kPsTypeEnumerated = PsFourCC('e', 'n', 'u', 'm');

// Property procedures: the caption property is signature '8BIM', key 'capt'
// with a handle of its bytes.
constexpr PsKey kPsPropertySignature = PsFourCC('8', 'B', 'I', 'M');
constexpr PsKey kPsPropertyCaption = PsFourCC('c', 'a', 'p', 't');

typedef PsResult(PS_API* PsGetPropertyProc)(PsKey signature, PsKey key, std::int32_t index,
                                            std::intptr_t* simpleProperty, PsHandle* complexProperty);
typedef PsResult(PS_API* PsSetPropertyProc)(PsKey signature, PsKey key, std::int32_t index,
                                            std::intptr_t simpleProperty, PsHandle complexProperty);

constexpr std::int16_t kPsPropertyProcsVersion = 1;
constexpr std::int16_t kPsPropertyProcsCount = 2;

struct PsPropertyProcs {
    std::int16_t version;
    std::int16_t count;
    PsGetPropertyProc getPropertyProc;
    PsSetPropertyProc setPropertyProc;
};

// Descriptors: a token opened over the host's descriptor handle is read key
// by key; a token opened for writing is closed into a new handle.
typedef void* PsReadToken;
typedef void* PsWriteToken;

typedef PsReadToken(PS_API* PsOpenReadDescriptorProc)(PsHandle descriptor, const PsKey* keys);
typedef PsResult(PS_API* PsCloseReadDescriptorProc)(PsReadToken token);
typedef std::uint8_t(PS_API* PsGetKeyProc)(PsReadToken token, PsKey* key, PsKey* type, std::int32_t* flags);
typedef PsResult(PS_API* PsGetIntegerProc)(PsReadToken token, std::int32_t* value);
typedef PsResult(PS_API* PsGetFloatProc)(PsReadToken token, double* value);
typedef PsResult(PS_API* PsGetEnumeratedProc)(PsReadToken token, PsKey* value);

constexpr std::int16_t kPsReadDescriptorProcsVersion = 0;
constexpr std::int16_t kPsReadDescriptorProcsCount = 6;

struct PsReadDescriptorProcs {
    std::int16_t version;
    std::int16_t count;
    PsOpenReadDescriptorProc openReadDescriptorProc;
    PsCloseReadDescriptorProc closeReadDescriptorProc;
    PsGetKeyProc getKeyProc;
    PsGetIntegerProc getIntegerProc;
    PsGetFloatProc getFloatProc;
    PsGetEnumeratedProc getEnumeratedProc;
};

typedef PsWriteToken(PS_API* PsOpenWriteDescriptorProc)();
typedef PsResult(PS_API* PsCloseWriteDescriptorProc)(PsWriteToken token, PsHandle* descriptor);
typedef PsResult(PS_API* PsPutIntegerProc)(PsWriteToken token, PsKey key, std::int32_t value);
typedef PsResult(PS_API* PsPutFloatProc)(PsWriteToken token, PsKey key, const double* value);
typedef PsResult(PS_API* PsPutEnumeratedProc)(PsWriteToken token, PsKey key, PsKey type, PsKey value);

constexpr std::int16_t kPsWriteDescriptorProcsVersion = 0;
constexpr std::int16_t kPsWriteDescriptorProcsCount = 5;

struct PsWriteDescriptorProcs {
    std::int16_t version;
    std::int16_t count;
    PsOpenWriteDescriptorProc openWriteDescriptorProc;
    PsCloseWriteDescriptorProc closeWriteDescriptorProc;
    PsPutIntegerProc putIntegerProc;
    PsPutFloatProc putFloatProc;
    PsPutEnumeratedProc putEnumeratedProc;
};

// How the host plays a recorded action.
enum : std::int32_t {
    kPsPlayDontDisplay = 0, // the plug-in shows no dialog unless it must
    kPsPlayDisplay = 1,     // the plug-in shows its dialog
    kPsPlaySilent = 2,      // no dialog, not even for an error
};

constexpr std::int16_t kPsDescriptorParametersVersion = 0;

struct PsDescriptorParameters {
    std::int16_t descriptorParametersVersion;
    std::int16_t reserved;
    std::int32_t playInfo;
    std::int32_t recordInfo;
    PsHandle descriptor; // null: nothing recorded
    PsWriteDescriptorProcs* writeDescriptorProcs;
    PsReadDescriptorProcs* readDescriptorProcs;
};

// The basic suite: other suites are acquired by name and version.
typedef std::int32_t(PS_API* PsAcquireSuiteProc)(const char* name, std::int32_t version, const void** suite);
typedef std::int32_t(PS_API* PsReleaseSuiteProc)(const char* name, std::int32_t version);

struct PsBasicSuite {
    PsAcquireSuiteProc acquireSuite;
    PsReleaseSuiteProc releaseSuite;
};

// The file-list suite; of it the plug-in uses the opening of a web address
// in the user's browser.
constexpr const char* kPsFileListSuiteName = "Photoshop GetFileList Suite for Plug-ins";
constexpr std::int32_t kPsFileListSuiteVersion = 4;

typedef PsResult(PS_API* PsBrowseUrlProc)(const char* url);

struct PsFileListSuite {
    PsUnofferedProc getFileList;
    PsUnofferedProc getFolderList;
    PsBrowseUrlProc browseUrl;
};

// The record of every format selector (selector 0 gets PsAboutRecord).
// The host fills the procedures and the file before ReadPrepare; the
// plug-in fills the image description in ReadStart and `theRect`, the
// planes, `rowBytes` and `data` before each advance state, which hands the
// host the rows of `theRect`.
struct PsFormatRecord {
    std::int32_t serialNumber;
    PsTestAbortProc abortProc;
    PsProgressProc progressProc;
    std::int32_t maxData;

    std::int16_t imageMode;
    PsPoint imageSize; // rows (v) and columns (h)
    std::int16_t depth;
    std::int16_t planes;
    PsFixed imageHRes;
    PsFixed imageVRes;

    PsRect theRect;
    std::int16_t loPlane;
    std::int16_t hiPlane;
    std::int16_t colBytes;
    std::int32_t rowBytes;
    std::int32_t planeBytes;
    void* data;

    PsAdvanceStateProc advanceState;
    PsBufferProcs* bufferProcs;
    PsHandleProcs* handleProcs;
    PsPropertyProcs* propertyProcs;
    PsDescriptorParameters* descriptorParameters;
    PsBasicSuite* sSPBasic;
    PsPlatformData* platformData;
    std::uint32_t hostSig;

    const char* fileSpec; // the file's path
    std::uint8_t openForPreview;
    PsHandle iCCprofileData;
    std::int32_t iCCprofileSize;
};
