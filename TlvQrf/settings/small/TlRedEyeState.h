// Red-eye correction regions: two ordered lists of opaque region blocks.
#pragma once

#include "settings/record/TlBlob.h"
#include "settings/record/TlState.h"

#include <cstdint>
#include <vector>

class CTlRedEyeState : public ITlState {
public:
    using RegionList = std::vector<CTlBlob>;

    CTlRedEyeState() = default;
    // Copies value, flag and both lists; the request bytes stay. A copy
    // that runs out of memory leaves this record unchanged.
    CTlRedEyeState(const CTlRedEyeState& other);
    CTlRedEyeState& operator=(const CTlRedEyeState& other);

    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    bool IsDefault() const { return value == 0; }
    // A reset request also drops the second region list.
    void SetResetRequest(bool request);
    void Clear();

    std::int32_t value = 0;
    std::uint8_t flag = 0;
    RegionList firstRegions;
    RegionList secondRegions;
    bool resetRequest = false;
    std::uint8_t further = 0;
};
