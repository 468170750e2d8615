// Automatic brightness: the exposure compensation and black-level switch the
// user chose, and the levels the auto-brightness filter found, which the
// record keeps by watching that filter.
#pragma once

#include "kelvra/KelvraFilter.h"
#include "settings/record/TlState.h"

#include <cstdint>

class CTlAutoBrightnessState : public CKelvraFilterWatcher, public ITlState {
public:
    // The filter's notification that it found new levels.
    static constexpr long kLevelsFoundCode = 1000;

    CTlAutoBrightnessState() = default;
    CTlAutoBrightnessState(const CTlAutoBrightnessState& other);
    // Copies exposure compensation, black-level switch and both levels; the
    // automatic gain stays and the transient byte is cleared.
    CTlAutoBrightnessState& operator=(const CTlAutoBrightnessState& other);

    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;
    int OnNotify(IKelvraFilter* filter, long code, void* data) override;

    bool IsEqual(const CTlAutoBrightnessState& other) const;
    bool IsDefault() const { return exposureCompensation == 0.0 && !useBlackLevel; }
    // Levels are left as they are: they belong to the picture, not the user.
    void Reset();

    double exposureCompensation = 0.0; // EV
    bool useBlackLevel = false;
    std::int32_t lowLevel = -1;
    std::int32_t highLevel = -1;
    std::int32_t autoGain = -1; // 1/256 EV; not stored
    std::uint8_t transient = 0; // not stored; cleared by every copy and Load
};
