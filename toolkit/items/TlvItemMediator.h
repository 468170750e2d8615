// The item mediator over the host's item service (service 16). A record or
// part the host has not loaded yet is asked for by a load message through
// the entry object, then asked once more.
#pragma once

#include "items/TlItemMediator.h"

class CTlvItemMediator : public CItemMediator {
public:
    CTlvItemMediator() = default;
    ~CTlvItemMediator() override { Detach(); }
    CTlvItemMediator(const CTlvItemMediator&) = delete;
    CTlvItemMediator& operator=(const CTlvItemMediator&) = delete;

    // The host's failure code when it refuses the item service.
    unsigned long Attach(ITlvMessage* entry, ITlvHost* host, TlvItemId id) override;
    void Detach() override;
    ITlvItemRecord* GetRecord() override;
    IKelvraImage* GetPart(long selector) override;
    unsigned long GetLocation(std::string& folder, std::string& fileName) override;
    const char* GetItemName() override;

private:
    ITlvItemRecord* AskRecord();
    IKelvraImage* AskPart(long selector);
    unsigned long SendLoad(unsigned long code, TlvWord record, TlvWord count, TlvWord recordType);

    ITlvItemService* m_items = nullptr;
    ITlvItemRecord* m_record = nullptr;
    IKelvraImage* m_part = nullptr;
    ITlvMessage* m_entry = nullptr;
    TlvItemId m_id = 0;
};
