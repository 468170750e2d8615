// The sharpening list: an ordered list of sharpening entries.
#pragma once

#include "settings/record/TlState.h"
#include "settings/small/TlUsmState.h"

#include <vector>

class CTlUsmListState : public ITlState {
public:
    CTlUsmListState() = default;
    // A copy that runs out of memory leaves this list unchanged (or empty
    // for a new one) instead of throwing.
    CTlUsmListState(const CTlUsmListState& other);
    CTlUsmListState& operator=(const CTlUsmListState& other);

    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    bool IsDefault() const { return entries.empty(); }

    // The stored count is one byte: entries beyond the 255th are not saved.
    static constexpr std::size_t kMaxStoredEntries = 255;

    std::vector<CTlUsmState> entries;
};
