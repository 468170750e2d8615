// What the camera profile generator is set up with: the camera, its colour
// mode, tone compensation and white balance as the image's tags and edit
// settings give them.
#pragma once

#include <cstdint>

// Camera kinds by model code.
enum : std::int32_t {
    kTlCameraNone = 0,
    kTlCameraKX7 = 1,
    kTlCameraKX7A = 2,
    kTlCameraKX7B = 3,
    kTlCameraKX6 = 4,
    kTlCameraKX8A = 5,
    kTlCameraKX5 = 6,
};

// Where the white balance came from.
enum : std::int32_t {
    kTlWbNone = 0,
    kTlWbAutomatic = 1,
    kTlWbPreset = 2,
    kTlWbPresetSeven = 3,
    kTlWbSettingsPreset = 4,
    kTlWbSettingsKelvin = 5,
};

constexpr std::int32_t kTlAdobeColourMode = 3;
constexpr std::int32_t kTlCustomTone = 16;

struct TlCameraProfileParams {
    std::uint8_t valid = 1;
    std::int32_t cameraKind = 0;
    std::int32_t colourMode = 0;
    std::uint8_t colourModeFromSettings = 0;
    std::int32_t wbSource = 0;
    std::int32_t tone = 3;
    std::int32_t toneSource = 0;       // 1 settings, 0 tag, 2 colour-data tag
    std::int32_t curveInputBits = 0;   // 12 or 16 with a custom curve
    std::int32_t curveOutputBits = 0;
    const std::uint16_t* curve = nullptr; // 65536 entries, the caller's
    std::int32_t hueIndex = 0;
    std::uint8_t wbFlag = 0;
    double gains[2] = {1.0, 1.0};
    std::int32_t kelvin = 0;
    std::int32_t presetWord = 0;
    std::int32_t fineTune = 0;
    std::int32_t subMode = 0;
    std::uint8_t colourBytes[4] = {}; // colour-data bytes 12, 11, 10, 9
    double brightness = 0.0;
    std::int32_t colourByte8 = 0;
    std::uint16_t iso = 0;
    std::int32_t wbTagWords[2] = {0, 0};
};

// The camera kind of a model code; 0 for codes without camera profiles.
std::int32_t TlCameraKindOf(std::uint32_t modelCode);
