// The output module's one module object: the host's callback and the two
// services it holds while it runs, the plug-in manager and the router.
#pragma once

#include "ServiceRouter.h"

#include "host/api/TlvHostServices.h"

#include <memory>

class OutputModule {
public:
    OutputModule() = default;
    ~OutputModule() { Close(); }
    OutputModule(const OutputModule&) = delete;
    OutputModule& operator=(const OutputModule&) = delete;

    // Takes services 16 and 17, loads the plug-ins and announces their
    // functions. What was made before a failure stays for Close.
    unsigned long Start(TlvHostCallback callback, ITlvHost* host);
    // 0x1008 while there is no router.
    unsigned long Message(const ServiceWords& words);
    // Unloads the plug-ins, then releases service 16 and service 17.
    void Close();

private:
    TlvHostCallback m_callback = nullptr;
    std::unique_ptr<ServiceHost> m_plugins;
    std::unique_ptr<ServiceRouter> m_router;
    ITlvItemService* m_items = nullptr;
    ITlvSelectionService* m_selection = nullptr;
};
