// What a scripted host holds and answers: its items, the selection, the
// view, and the refusals and failures a test asks of it.
#pragma once

#include "host/api/TlvHostApi.h"

#include <map>
#include <string>
#include <vector>

struct TlHostItem {
    TlvItemId id = 0;
    std::string path;
    // The name the item service gives; the file name of `path` when empty.
    std::string name;
    DWORD sourceClass = 0x1100; // TLV_SOURCE_STILL
    DWORD sourceFlags = 0;      // 0x400000 marks an item modules leave out
    DWORD fileKind = 0;
    // 0: the file's own size and picture size.
    DWORD fileSize = 0;
    int width = 0;
    int height = 0;
    // An IPTC block the edit object's tags carry in place of the file's.
    std::string iptc;
    // The item service answers "not loaded" for these until the module asks
    // the host to load them.
    bool sourceMissingFirst = false;
    bool itemDataMissingFirst = false;
    bool editMissingFirst = false;
    bool recordMissingFirst = false;
};

struct CTlHostScript {
    std::vector<TlHostItem> items;
    unsigned long long sourceKind = 0;
    TlvItemId currentItem = 0;
    std::vector<TlvItemId> selectedItems;
    std::vector<TlvItemId> secondList;
    long viewKind = 0;
    // Callback codes the host answers at once with the given code instead
    // of handling them (a refusal or a failure).
    std::map<unsigned long, unsigned long> answers;
    // Services GetObject refuses, with the code it answers.
    std::map<int, unsigned long> refusedServices;
    // Requests (TLV_MSG_RENDER_ITEM) that end in TLV_MSG_REQUEST_DONE with
    // the given failure code.
    std::map<unsigned long, unsigned long> failedRequests;

    const TlHostItem* FindItem(TlvItemId id) const;
};
