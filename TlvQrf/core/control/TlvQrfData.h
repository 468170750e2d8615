// The image control a host holds for each opened raw image, and the records
// through which it tunes it. Records cross the library boundary as plain
// memory owned by the caller; each starts with its own size in bytes.
#pragma once

#include "lib/TlvQrfLib.h"
#include "settings/holders/TlvImageAttributes.h"

#include <cstddef>
#include <cstdint>

class IKelvraDataDestination;
class IKelvraError;
class IKelvraFilterChain;
class IKelvraImage;
class IKelvraManager;
class IKelvraTagControl;
class ITlPreviewChain;
struct KelvraFile;

namespace TlvQrfLib {

struct strTlnModeParam {
    std::uint32_t size;              // 20
    std::uint32_t previewMode;       // 0 keep, 1 to 3
    std::uint32_t interpolation;     // 0 keep, 1 to 3
    std::uint32_t cacheChoice;       // 0 or 1, always applied
    std::uint32_t chainVariant;      // 0 keep, 1 or 2
};

// What the output-profile record holds (272 bytes are used).
struct strTlnOutputProfile {
    std::uint32_t reserved;          // not read
    std::uint32_t colourSpace;       // 1 to 4
    std::uint32_t formatClass;
    char path[MAX_PATH];
};

struct strTlnImageInfoParam {
    std::uint32_t size;              // sizeof: 40 on 32-bit Windows
    std::uint32_t width;             // as displayed, after rotation
    std::uint32_t height;
    std::uint32_t bytesPerChannel;   // 1 or 2
    std::uint32_t orientation;       // 1 to 8
    std::int32_t cropLeft;           // read only
    std::int32_t cropTop;
    std::int32_t cropRight;
    std::int32_t cropBottom;
    strTlnOutputProfile* profile;    // may be null
};

struct strTlnVQParam {
    std::uint32_t size;              // sizeof: 20 on 32-bit Windows
    std::uint32_t type;              // 1, 2 or 3
    std::uint32_t kind;              // 1 a 32-bit int, 2 a double
    std::uint32_t valueSize;         // 4 or 8
    void* value;                     // null asks for kind and size
};

struct strTlnRawOption {
    std::uint32_t size;              // sizeof: 12 on 32-bit Windows
    std::uint32_t type;              // 1 to 4
    void* value;                     // starts with its own size
};

struct strTlnWhiteBalanceOption {
    std::uint32_t size;              // 12
    std::int32_t preset;
    std::uint32_t fineTune;          // only the low 16 bits are kept
};

struct strTlnAdjustmentOption {
    std::uint32_t size;              // 16
    std::uint32_t reserved;
    double value;
};

struct strTlnColourOption {
    std::uint32_t size;              // 8
    std::uint8_t enabled;
    std::uint8_t reserved[3];
};

static_assert(sizeof(strTlnModeParam) == 20, "mode record is 20 bytes");
static_assert(offsetof(strTlnOutputProfile, path) == 12, "path after three words");
static_assert(sizeof(strTlnOutputProfile) == 272, "output-profile record is 272 bytes");
static_assert(sizeof(strTlnWhiteBalanceOption) == 12, "white-balance option is 12 bytes");
static_assert(offsetof(strTlnAdjustmentOption, value) == 8, "value at offset 8");
static_assert(sizeof(strTlnAdjustmentOption) == 16, "adjustment option is 16 bytes");
static_assert(sizeof(strTlnColourOption) == 8, "colour option is 8 bytes");
#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(strTlnImageInfoParam, profile) == 36, "profile pointer at offset 36");
static_assert(sizeof(strTlnImageInfoParam) == 40, "image record is 40 bytes");
static_assert(offsetof(strTlnVQParam, value) == 16, "value pointer at offset 16");
static_assert(sizeof(strTlnVQParam) == 20, "capture record is 20 bytes");
static_assert(offsetof(strTlnRawOption, value) == 8, "value pointer at offset 8");
static_assert(sizeof(strTlnRawOption) == 12, "raw-option record is 12 bytes");
#endif

} // namespace TlvQrfLib

#define TLV_CALL __stdcall

class ITlvQrfData {
public:
    // Change bits of Update.
    enum eChange : std::uint32_t {
        eToneCurves = 0x1,
        eToneCurves2 = 0x2,
        eGrid = 0x8,
        eOutputSize = 0x10,
        eRotation = 0x20,
        eWhiteBalance = 0x80,
        eAdjustment = 0x100,
        eDetail = 0x200,
        eVignette = 0x400,
        eGeometry = 0x800,
        eRedEye = 0x1000,
        ePreviewMode = 0x2000,
        eOutputColour = 0x4000,
        eChannelMixer = 0x8000,
        eColourManagement = 0x10000,
        eLostDetail = 0x20000,
        eDust = 0x40000,
        eRevelation = 0x80000,
        eFisheye = 0x100000,
        eLch = 0x200000,
        ePlugins = 0x400000,
        eChromaBoost = 0x800000,
        eAutoBrightness = 0x1000000,
        eAll = 0x7FFFFFFF,
    };

    // A new control, already through its argument-less Initialize; 0, or
    // 4099 when it cannot be made (*out is then left alone).
    TLBQRF_API static unsigned long CreateObject(ITlvQrfData** out);

    virtual CTlvImageAttributes* TLV_CALL GetImageAttributes() = 0;
    // The preview chain object, null before it is made.
    virtual ITlPreviewChain* TLV_CALL GetEditChain() = 0;
    virtual void TLV_CALL Destroy() = 0;
    virtual unsigned long TLV_CALL Update(std::uint32_t changes, bool reset, void* context) = 0;
    virtual unsigned long TLV_CALL InitializeFilterChain(IKelvraImage* image, IKelvraTagControl* tags,
                                                         unsigned long unused) = 0;
    virtual unsigned long TLV_CALL Connect(IKelvraDataDestination* sink) = 0;
    virtual unsigned long TLV_CALL DisConnect(IKelvraDataDestination* sink) = 0;
    virtual bool TLV_CALL IsReady() = 0;
    virtual bool TLV_CALL IsBusy() = 0;
    virtual unsigned long TLV_CALL GetProfile() = 0;
    virtual double TLV_CALL GetScale() = 0;
    virtual unsigned long TLV_CALL GetSize(long* width, long* height) = 0;
    virtual int TLV_CALL GetRotation() = 0;
    virtual IKelvraError* TLV_CALL GetFilterChain(IKelvraFilterChain** out) = 0;
    virtual IKelvraFilterChain* TLV_CALL GetFilterChain() const = 0;
    virtual IKelvraTagControl* TLV_CALL GetTags() const = 0;
    virtual unsigned long TLV_CALL GetUserSize(unsigned long& width, unsigned long& height) = 0;
    virtual IKelvraError* TLV_CALL Initialize(IKelvraManager* manager, IKelvraImage* image,
                                              IKelvraTagControl* tags) = 0;
    virtual IKelvraError* TLV_CALL SetMode(TlvQrfLib::strTlnModeParam* mode) = 0;
    virtual IKelvraError* TLV_CALL GetMode(TlvQrfLib::strTlnModeParam* mode) = 0;
    virtual IKelvraError* TLV_CALL SetImageInfo(TlvQrfLib::strTlnImageInfoParam* info, bool store) = 0;
    virtual IKelvraError* TLV_CALL GetImageInfo(TlvQrfLib::strTlnImageInfoParam* info) = 0;
    virtual IKelvraError* TLV_CALL GetCaptureSettings(TlvQrfLib::strTlnVQParam* settings) = 0;
    virtual IKelvraError* TLV_CALL SetRawOption(TlvQrfLib::strTlnRawOption* option) = 0;
    virtual IKelvraError* TLV_CALL GetRawOption(TlvQrfLib::strTlnRawOption* option) = 0;
    virtual IKelvraError* TLV_CALL ResetRawOption(TlvQrfLib::strTlnRawOption* option) = 0;
    virtual unsigned long TLV_CALL SetProfile(unsigned long profile) = 0;
    virtual unsigned long TLV_CALL SetMonitorProfile(KelvraFile& file) = 0;
    virtual unsigned long TLV_CALL SetScale(double scale) = 0;
    virtual unsigned long TLV_CALL SetSize(unsigned long width, unsigned long height) = 0;
    virtual unsigned long TLV_CALL SetRotation(int angle) = 0;
    virtual unsigned long TLV_CALL RotateCCW() = 0;
    virtual unsigned long TLV_CALL RotateCW() = 0;
    virtual unsigned long TLV_CALL Initialize() = 0;
    virtual IKelvraError* TLV_CALL Cleanup(bool keepSettings) = 0;

protected:
    ~ITlvQrfData() = default;
};
