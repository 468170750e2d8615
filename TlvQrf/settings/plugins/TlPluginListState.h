// The ordered list of image-editor filter plug-ins that the user applied.
// Stored plug-ins that are not installed here are kept aside, in their
// stored places, and written back with the list.
#pragma once

#include "infra/TlString.h"
#include "settings/plugins/TlPluginState.h"
#include "settings/record/TlState.h"

#include <cstddef>
#include <vector>

class CTlPluginListState : public ITlState {
public:
    // A stored plug-in that is not installed, with its place in the stored
    // order: the number of entries stored before it.
    struct Unresolved {
        CTlPluginState entry;
        std::size_t position = 0;
    };

    CTlPluginListState() = default;
    // A copy that runs out of memory leaves this list unchanged.
    CTlPluginListState(const CTlPluginListState& other);
    CTlPluginListState& operator=(const CTlPluginListState& other);

    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    // True when no entry holds a plug-in and no stored plug-in is kept.
    bool IsDefault() const;
    // The names of the stored plug-ins that are not installed, in order.
    std::vector<CTlString> GetUnresolvedNames() const;

    // The stored count is 16 bits: records beyond that are not saved.
    static constexpr std::size_t kMaxStoredEntries = 0xFFFF;

    std::vector<CTlPluginState> entries;
    std::vector<Unresolved> unresolved;
};
