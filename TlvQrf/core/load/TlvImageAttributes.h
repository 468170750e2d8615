// The settings holder of one image as a load fills it: the control-side
// holder with what the load learns of the file beside the edit records.
#pragma once

#include "settings/holders/TlvControlSettings.h"
#include "settings/record/TlBlob.h"

#include <cstddef>
#include <cstdint>

constexpr std::size_t kTlvDustIdentificationSize = 20;

class CTlvImageAttributes : public CTlvControlSettings {
public:
    // After a load filled the attributes: the camera values and the model
    // code from the tags.
    virtual void UpdateAfterLoad();

    // The image was replaced by a signal-processing image.
    bool signalProcessing = false;
    // The attributes carry edit settings that the raw file stores.
    bool storedSettings = false;
    // Set by the caller: the load leaves the size record, the resolution and
    // the stored settings alone.
    bool geometryFixed = false;
    // The loader's format code of the file (32 and 2048 are raw).
    std::int32_t fileFormat = 0;
    // The main image's size as the format check read it (0 when unknown).
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
};
