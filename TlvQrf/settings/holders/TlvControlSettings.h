// The settings holder of one image, which the image control is and a load
// fills (the exported interface calls it CTlvImageAttributes): the base
// holder with a second white-balance and adjustment record, the general
// settings block, the control's defaults block and engine, curve containers
// set up with their channels, tracking of what an import changed, and what
// a load learns of the file beside the edit records.
#pragma once

#include "settings/holders/TlvImageAttributes.h"
#include "settings/holders/TlvSettingsHolder.h"
#include "settings/record/TlBlob.h"
#include "settings/small/TlvZentharGeneral.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class ITlvSettingsEngine;

// The control object's block of defaults; the holder only keeps it.
struct TlvControlDefaults {
    std::uint32_t words[2] = {0, 0};
    std::uint32_t limit = 1000;
    std::uint8_t reserved[58] = {};
    std::uint8_t bytes[2] = {1, 2};
};
static_assert(sizeof(TlvControlDefaults) == 72, "the defaults block is 72 bytes");

// Set by ImportFrom when a value changed; the control object clears them
// once it has acted on them.
struct TlvImportChanges {
    std::uint8_t chromaBoost = 0;
    std::uint8_t generalThird = 0;
    std::uint8_t generalFourth = 0;
    std::uint8_t geometry = 0;
    std::uint8_t redEye = 0;
    std::uint8_t autoBrightness = 0;
};

// What the change tracking compares the next import with.
struct TlvImportLastSeen {
    std::int32_t chromaBoostAmount = 0;
    bool chromaBoostEnabled = false;
    std::uint16_t generalThird = 0;
    std::uint16_t generalFourth = 0;
    double exposureCompensation = 0.0;
    bool useBlackLevel = false;
};

constexpr std::size_t kTlvDustIdentificationSize = 20;

class CTlvControlSettings : public CTlvSettingsHolder {
public:
    // Makes the engine through the registered maker (none without one); an
    // exception of the maker passes on.
    CTlvControlSettings();
    // Drops the defaults block and shuts the engine down before the base
    // releases the image objects.
    ~CTlvControlSettings() override;

    // A CTlvControlParamSet.
    CTlvParamSet* CreateParamSet() override;
    // The base import, then the change tracking (see TlvImportChanges).
    void ImportFrom(const CTlvEditSettings& settings) override;
    // After a load filled the holder: the camera values and the model code
    // from the tags.
    virtual void UpdateAfterLoad();

    std::unique_ptr<TlvControlDefaults> defaults;
    std::unique_ptr<ITlvSettingsEngine> engine;
    // Kept for the control object.
    std::int32_t controlWord = 10;
    // The preview magnification the control's Update passes on; the host
    // sets it through the image attributes.
    double viewScale = 1.0;
    CTlvZentharGeneral zentharGeneral;
    CTlWhiteBalanceState secondWhiteBalance;
    CTlAdjustState secondAdjust;

    TlvImportChanges changes;
    TlvImportLastSeen lastSeen;
    // The geometry of the last import that changed it (at first the
    // constructed one).
    CTlGeometryState lastGeometry;

    // What a load fills beside the records.
    // The image was replaced by a signal-processing image.
    bool signalProcessing = false;
    // The holder carries edit settings that the raw file stores.
    bool storedSettings = false;
    // Set by the caller: the load leaves the size record, the resolution and
    // the stored settings alone.
    bool geometryFixed = false;
    // The loader's format code of the file (32 and 2048 are raw).
    std::int32_t fileFormat = 0;
    // The image size at scale 1 (0 while unknown): the load's format check
    // sets the picture's size, the image control its own reading of the
    // geometry.
    std::uint32_t fullWidth = 0;
    std::uint32_t fullHeight = 0;
    // The IPTC record of the file, at its exact size.
    CTlBlob iptc;
    // The maker's own settings record; not owned, dropped for files that
    // are not the maker's raw images.
    const void* makerSettings = nullptr;
    // Set while `dustIdentification` names the dust reference the dust
    // record holds; a load then keeps it.
    bool dustReferenceKept = false;
    std::uint8_t dustIdentification[kTlvDustIdentificationSize] = {};

private:
    void NoteChanges();
    void NoteChromaBoost();
    void NoteGeneral();
    void NoteGeometry();
    void NoteRedEye();
    void NoteAutoBrightness();
};
