// What an item fetches from the host: its record (the picture), a part of
// it, its file location and its name. The item owns its mediator.
#pragma once

#include "host/api/TlvHostServices.h"

#include <string>

class ITlvMessage;

class CItemMediator {
public:
    virtual ~CItemMediator() = default;

    // Takes what the mediator needs of the host for item `id`; 0 or a failure code.
    virtual unsigned long Attach(ITlvMessage* entry, ITlvHost* host, TlvItemId id) = 0;
    // Lets go of everything Attach and the questions took.
    virtual void Detach() = 0;
    // Each null when the host cannot give it even after a load.
    virtual ITlvItemRecord* GetRecord() = 0;
    virtual IKelvraImage* GetPart(long selector) = 0;
    // The item's file split into folder and file name: 0, or 1 when the host
    // cannot tell.
    virtual unsigned long GetLocation(std::string& folder, std::string& fileName) = 0;
    // The host's name of the item; null when it has none.
    virtual const char* GetItemName() = 0;
};
