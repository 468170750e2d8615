// The top-level edit-settings record written into raw files: it points at
// the records of one image (it neither creates nor deletes them), keeps an
// at-default flag per slot, the flip value and angle, a name and a data
// block, and stores them all as nested entries behind its own header. Each
// slot has a bit, so callers can save or load only some of them.
#pragma once

#include "settings/record/TlBlob.h"
#include "settings/record/TlState.h"

#include <cstdint>
#include <string>

class CTlUsmListState;
class CTlLutGroup;
class CTlGeometryState;
class CTlAdjustState;
class CTlWhiteBalanceState;
class CTlTripleValueState;
class CTlLEGeneral;
class CTlVignetteState;
class CTlRedEyeState;
class CTlRevelationState;
class CTlDustState;
class CTlFlagState;
class CTlPluginListState;
class CTlChromaBoostState;
class CTlAutoBrightnessState;

// Slot bits of the record and flag masks.
enum : std::uint32_t {
    kTlvSlotUsmList = 0x1,
    kTlvSlotToneCurves = 0x2,
    kTlvSlotBrightnessContrast = 0x4,
    kTlvSlotFlip = 0x8,
    kTlvSlotAngle = 0x10,
    kTlvSlotGeometry = 0x20,
    kTlvSlotAdjust = 0x40,
    kTlvSlotWhiteBalance = 0x80,
    kTlvSlotTripleValue = 0x100,
    kTlvSlotLch = 0x400,
    kTlvSlotName = 0x20000,
    kTlvSlotData = 0x80000,
    kTlvSlotGeneral = 0x100000,
    kTlvSlotVignette = 0x200000,
    kTlvSlotRedEye = 0x400000,
    kTlvSlotRevelation = 0x800000,
    kTlvSlotDust = 0x1000000,
    kTlvSlotFlags = 0x2000000,
    kTlvSlotPlugins = 0x4000000,
    kTlvSlotChromaBoost = 0x8000000,
    kTlvSlotAutoBrightness = 0x10000000,
};

// One slot: the record it points at (owned elsewhere) and its at-default
// flag byte.
template <class Record>
struct TlvSettingsSlot {
    std::uint8_t isDefault = 0;
    Record* record = nullptr;
};

class CTlvEditSettings : public ITlState {
public:
    CTlvEditSettings(std::uint16_t flip, std::uint16_t angle);
    CTlvEditSettings(const CTlvEditSettings&) = delete;
    CTlvEditSettings& operator=(const CTlvEditSettings&) = delete;
    ~CTlvEditSettings();

    int Save(unsigned char* buffer, int size) override;
    // The plain interface slot: always 0. The real loader takes the image size.
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;
    // Reads versions 1 and 2; the geometry is adapted to a width x height
    // image. The size accounted for, or 0 when refused.
    virtual int Load(const unsigned char* buffer, int size, int width, int height);

    // Sets the flag of every present slot whose record is at its defaults;
    // never clears one.
    void UpdateDefaultFlags();

    // Which slots Save writes and Load reads; 0 means all.
    std::uint32_t recordMask = 0;
    std::uint32_t flagMask = 0;
    // What the last Save or Load wrote or read.
    std::uint32_t recordsDone = 0;
    std::uint32_t flagsDone = 0;
    // Set: a version-2 Load resets the first two curve containers first.
    std::uint8_t resetCurves = 1;

    TlvSettingsSlot<CTlUsmListState> usmList;
    TlvSettingsSlot<CTlLutGroup> toneCurves;
    TlvSettingsSlot<CTlLutGroup> brightnessContrast;
    TlvSettingsSlot<CTlLutGroup> lch;
    TlvSettingsSlot<CTlRevelationState> revelation;
    TlvSettingsSlot<CTlDustState> dust;
    TlvSettingsSlot<CTlGeometryState> geometry;
    TlvSettingsSlot<CTlAdjustState> adjust;
    TlvSettingsSlot<CTlWhiteBalanceState> whiteBalance;
    TlvSettingsSlot<CTlTripleValueState> tripleValue;
    TlvSettingsSlot<CTlFlagState> flags;
    TlvSettingsSlot<CTlPluginListState> plugins;
    TlvSettingsSlot<CTlChromaBoostState> chromaBoost;
    TlvSettingsSlot<CTlLEGeneral> general;
    TlvSettingsSlot<CTlVignetteState> vignette;
    TlvSettingsSlot<CTlRedEyeState> redEye;
    TlvSettingsSlot<CTlAutoBrightnessState> autoBrightness;

    std::uint16_t flip;  // stored as one byte
    std::uint16_t angle; // degrees
    // The always-written entry's byte: after a Load, 1 when the stored
    // record carried it.
    std::uint8_t marker = 1;
    // Read from old records only.
    std::string name;
    // Version-1 white-balance scale factors, set by the owner.
    double whiteBalanceScale1 = 0.0;
    double whiteBalanceScale2 = 0.0;
    CTlBlob data;
    // Set by Load when a curve container it read was rebuilt with defaults.
    std::uint8_t curvesReplaced = 0;
    // 1 after any Load given at least an id's worth of bytes.
    std::uint32_t loaded = 0;
};

// What the raw-image library core creates: the same record with a virtual
// destructor.
class CTlvEditSettingsEx : public CTlvEditSettings {
public:
    CTlvEditSettingsEx() : CTlvEditSettings(0, 0) {}
    virtual ~CTlvEditSettingsEx() = default;
};
