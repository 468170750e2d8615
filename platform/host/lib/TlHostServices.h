// The host's service objects. Each counts how often it was taken and
// released, so that a test sees a module that closes holding one.
#pragma once

#include "TlHostItems.h"

#include "host/api/TlvHostServices.h"

#include <memory>

class CTlHostServices {
public:
    CTlHostServices(const CTlHostScript& script, CTlHostItems& items, IKelvraManager* manager);
    ~CTlHostServices();
    CTlHostServices(const CTlHostServices&) = delete;
    CTlHostServices& operator=(const CTlHostServices&) = delete;

    // ITlvHost::GetObject: the scripted refusal, else the service numbered `id`.
    unsigned long Take(int id, void** object);
    // Services taken and not released.
    long OpenCount() const;
    long TakenCount() const;

private:
    class CCounter;
    class CImaging;
    class CView;
    class CItems;
    class CSelection;
    class CMessageBox;

    const CTlHostScript& m_script;
    std::unique_ptr<CImaging> m_imaging;
    std::unique_ptr<CView> m_view;
    std::unique_ptr<CItems> m_items;
    std::unique_ptr<CSelection> m_selection;
    std::unique_ptr<CMessageBox> m_messageBox;
    long m_taken = 0;
    long m_released = 0;
};
