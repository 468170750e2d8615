// The record through which a host asks the library to save an image. Hosts
// allocate it themselves, so its layout is part of the library's interface:
// 864 bytes with 4-byte packing on 32-bit Windows (checked below); 64-bit
// builds keep the field order.
#pragma once

#include "saverequest/TlSaveText.h"

#include <cstddef>
#include <cstdint>

class CTlvControlSettings;
class IKelvraImage;

// The record's special members are exports of the library; hosts bind them
// through the import library.
#if defined(TLBQRF_BUILDING_DLL) || defined(TLVQRF_SAVEREQUEST_BUILDING)
#define TLBQRF_RECORD_API __declspec(dllexport)
#else
#define TLBQRF_RECORD_API
#endif

// The format code that writes the edit settings into the raw file instead
// of exporting the image.
constexpr std::uint32_t kTlvSaveSettingsIntoRaw = 0x10000000;
// The format a direct-image save writes, and the record's default.
constexpr std::uint32_t kTlvSaveDirectFormat = 1024;
// 8-bit colour.
constexpr std::uint32_t kTlvSaveDefaultPixelFormat = 0x08060201;

namespace TlvQrfLib {

#pragma pack(push, 4)
class TlvSaveData {
public:
    TLBQRF_RECORD_API TlvSaveData();
    // Copies every field but the file format, the destination and the
    // profile copy's name, which start as the constructor sets them.
    TLBQRF_RECORD_API TlvSaveData(const TlvSaveData& other);
    TLBQRF_RECORD_API ~TlvSaveData();
    // Copies every field but those three, which the target keeps.
    TLBQRF_RECORD_API TlvSaveData& operator=(const TlvSaveData& other);

    std::uint32_t dwWord0;             // carried into the save task
    std::uint32_t dwWord1;             // carried into the save task
    char szSourcePath[260];            // the image file the request is about
    char szOutputPath[260];            // the file to write
    double dNumber;                    // carried
    std::uint32_t dwWord2;             // carried
    std::uint32_t dwWord3;             // carried
    std::uint32_t dwPixelFormat;       // bit 28: 16 bits; low 17 bits 1: grey
    std::uint32_t dwFileFormat;        // 0x10000000: settings into the raw file
    std::uint32_t dwWord4;             // carried
    std::uint32_t dwFormatOption;      // handed to the export writer
    CTlvControlSettings* pSettings;    // null: the task loads the source itself
    IKelvraImage* pDestination;        // direct-image mode: receives the image
    char szProfileCopy[260];           // out, direct-image mode: output profile copy
    bool bDirectImage;
    CTlSaveText strText;               // carried
    std::uint32_t dwResult;            // out: 0, 0x1002 or 0x1008

private:
    void CopyCarriedFields(const TlvSaveData& other);
};
#pragma pack(pop)

} // namespace TlvQrfLib

// The request block's channel layout of a pixel-format word: 0 / 1 colour
// 8 / 16 bits, 3 / 4 grey 8 / 16 bits.
std::uint32_t ChannelLayoutOf(std::uint32_t pixelFormat);

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(CTlSaveText) == 28, "the host's string is 28 bytes");
static_assert(sizeof(TlvQrfLib::TlvSaveData) == 864, "the save record is 864 bytes");
static_assert(offsetof(TlvQrfLib::TlvSaveData, szSourcePath) == 8, "layout");
static_assert(offsetof(TlvQrfLib::TlvSaveData, szOutputPath) == 268, "layout");
static_assert(offsetof(TlvQrfLib::TlvSaveData, dNumber) == 528, "layout");
static_assert(offsetof(TlvQrfLib::TlvSaveData, dwWord2) == 536, "layout");
static_assert(offsetof(TlvQrfLib::TlvSaveData, dwPixelFormat) == 544, "layout");
static_assert(offsetof(TlvQrfLib::TlvSaveData, dwFileFormat) == 548, "layout");
static_assert(offsetof(TlvQrfLib::TlvSaveData, dwWord4) == 552, "layout");
static_assert(offsetof(TlvQrfLib::TlvSaveData, dwFormatOption) == 556, "layout");
static_assert(offsetof(TlvQrfLib::TlvSaveData, pSettings) == 560, "layout");
static_assert(offsetof(TlvQrfLib::TlvSaveData, pDestination) == 564, "layout");
static_assert(offsetof(TlvQrfLib::TlvSaveData, szProfileCopy) == 568, "layout");
static_assert(offsetof(TlvQrfLib::TlvSaveData, bDirectImage) == 828, "layout");
static_assert(offsetof(TlvQrfLib::TlvSaveData, strText) == 832, "layout");
static_assert(offsetof(TlvQrfLib::TlvSaveData, dwResult) == 860, "layout");
#endif
