// The panorama plug-in's task: offers the one function "Panorama" and, when
// the host runs it, hands the selected pictures to the panorama program on
// its command line.
#pragma once

#include "module/TlvModuleInterface.h"

#include "host/api/TlvHostServices.h"

#include <string>
#include <vector>

constexpr int kPanoramaFunctionId = 0x2012;

class PanoramaLauncher final : public ITlvInitialize, public ITlvMessage {
public:
    PanoramaLauncher();

    unsigned long Initialize(ITlvMessage* entry, ITlvHost* host) override;
    void Uninitialize() override;
    unsigned long Message(TlvWord code, TlvWord value1, TlvWord value2, TlvWord record, TlvWord count,
                          TlvWord recordType, TlvWord subValue, TlvWord request, TlvWord replyTag) override;

    const std::string& GetCommandLine() const { return m_commandLine; }

private:
    unsigned long Run();
    // The items to hand over, in `m_items`; 1 when there are none.
    unsigned long CollectItems();
    // Appends the quoted full path of every item; 0x1001 after the box for
    // an item that cannot be handed over.
    unsigned long AppendPaths(std::string& commandLine);

    std::string m_commandLine;
    ITlvMessage* m_entry = nullptr;
    std::vector<TlvItemId> m_items;
    ITlvItemService* m_itemService = nullptr;
    ITlvSelectionService* m_selection = nullptr;
    TlvItemId m_currentId = 0;
    TlvFunctionEntry m_function;
};
