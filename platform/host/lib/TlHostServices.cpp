#include "TlHostServices.h"

#include "runbase/TlvResultCodes.h"

class CTlHostServices::CCounter {
public:
    explicit CCounter(long& released) : m_released(released) {}
    void CountRelease() { ++m_released; }

private:
    long& m_released;
};

class CTlHostServices::CImaging : public ITlvImagingService, public CCounter {
public:
    CImaging(long& released, IKelvraManager* manager) : CCounter(released), m_manager(manager) {}
    IKelvraManager* GetManager() override { return m_manager; }
    void Release() override { CountRelease(); }

private:
    IKelvraManager* m_manager;
};

class CTlHostServices::CView : public ITlvViewService, public CCounter {
public:
    CView(long& released, const CTlHostScript& script) : CCounter(released), m_script(script) {}
    long GetViewKind() override { return m_script.viewKind; }
    HWND GetParentWindow() override { return nullptr; }
    void Release() override { CountRelease(); }

private:
    const CTlHostScript& m_script;
};

class CTlHostServices::CItems : public ITlvItemService, public CCounter {
public:
    CItems(long& released, CTlHostItems& items) : CCounter(released), m_items(items) {}
    unsigned long GetSourceData(TlvItemId item, long, long, CTlvSourceData** data) override
    {
        return m_items.GetSourceData(item, data);
    }
    unsigned long GetItemData(TlvItemId item, CTlvItemData** data) override { return m_items.GetItemData(item, data); }
    unsigned long LoadItems(TlvItemId item) override { return m_items.Knows(item) ? TLV_OK : TLV_ERR_FAILED; }
    unsigned long GetEditObject(TlvItemId item, ITlvEditObject** edit) override
    {
        return m_items.GetEditObject(item, edit);
    }
    unsigned long GetItemRecord(TlvItemId item, ITlvItemRecord** record) override
    {
        return m_items.GetItemRecord(item, record);
    }
    void Release() override { CountRelease(); }

private:
    CTlHostItems& m_items;
};

class CTlHostServices::CSelection : public ITlvSelectionService, public CCounter {
public:
    CSelection(long& released, const CTlHostScript& script) : CCounter(released), m_script(script) {}
    unsigned long GetSourceKind(unsigned long long* kind) override
    {
        *kind = m_script.sourceKind;
        return TLV_OK;
    }
    unsigned long GetCurrentItem(TlvItemId* item) override
    {
        *item = m_script.currentItem;
        return TLV_OK;
    }
    unsigned long GetSelectedItems(std::vector<TlvItemId>* items) override
    {
        *items = m_script.selectedItems;
        return items->empty() ? TLV_ERR_FAILED : TLV_OK;
    }
    unsigned long GetSecondList(std::vector<TlvItemId>* items) override
    {
        *items = m_script.secondList;
        return items->empty() ? TLV_ERR_FAILED : TLV_OK;
    }
    void Release() override { CountRelease(); }

private:
    const CTlHostScript& m_script;
};

class CTlHostServices::CMessageBox : public ITlvMessageBoxService, public CCounter {
public:
    explicit CMessageBox(long& released) : CCounter(released) {}
    // A headless host shows nothing; the code is recorded by the caller's test.
    unsigned long ShowCode(unsigned long code, unsigned long) override
    {
        lastCode = code;
        return TLV_OK;
    }
    void Release() override { CountRelease(); }
    unsigned long lastCode = 0;
};

CTlHostServices::CTlHostServices(const CTlHostScript& script, CTlHostItems& items, IKelvraManager* manager)
    : m_script(script),
      m_imaging(new CImaging(m_released, manager)),
      m_view(new CView(m_released, script)),
      m_items(new CItems(m_released, items)),
      m_selection(new CSelection(m_released, script)),
      m_messageBox(new CMessageBox(m_released))
{
}

CTlHostServices::~CTlHostServices() = default;

unsigned long CTlHostServices::Take(int id, void** object)
{
    *object = nullptr;
    const auto refused = m_script.refusedServices.find(id);
    if (refused != m_script.refusedServices.end())
        return refused->second;
    switch (id) {
    case TLV_SERVICE_IMAGING:
        *object = static_cast<ITlvImagingService*>(m_imaging.get());
        break;
    case TLV_SERVICE_VIEW:
        *object = static_cast<ITlvViewService*>(m_view.get());
        break;
    case TLV_SERVICE_ITEMS:
        *object = static_cast<ITlvItemService*>(m_items.get());
        break;
    case TLV_SERVICE_SELECTION:
        *object = static_cast<ITlvSelectionService*>(m_selection.get());
        break;
    case TLV_SERVICE_MESSAGE_BOX:
        *object = static_cast<ITlvMessageBoxService*>(m_messageBox.get());
        break;
    default:
        return TLV_ERR_NOT_FOUND;
    }
    ++m_taken;
    return TLV_OK;
}

long CTlHostServices::OpenCount() const
{
    return m_taken - m_released;
}

long CTlHostServices::TakenCount() const
{
    return m_taken;
}
