// The service objects a host hands out through ITlvHost::GetObject. Records
// and objects a service answers stay the host's and live until the service
// is released; each service is released through its own Release.
#pragma once

#include "host/api/TlvHostApi.h"

#include <vector>

class CTlvItemData;
class CTlvSourceData;
class IKelvraImage;
class IKelvraManager;
class IKelvraTagControl;

// Service 1: the host's imaging manager.
class ITlvImagingService {
public:
    // The manager the host's images belong to; the service value a module
    // keeps after releasing the service.
    virtual IKelvraManager* GetManager() = 0;
    virtual void Release() = 0;

protected:
    ~ITlvImagingService() = default;
};

// View kinds the view provider reports.
enum : long {
    TLV_VIEW_SINGLE = 10, // one item shown
    TLV_VIEW_PRINT = 20,  // a print layout
};

// Service 2: the module's parent window and what the host shows in it.
class ITlvViewService {
public:
    virtual long GetViewKind() = 0;
    virtual HWND GetParentWindow() = 0;
    virtual void Release() = 0;

protected:
    ~ITlvViewService() = default;
};

// An item's edit object: what the host's loader read of its file.
class ITlvEditObject {
public:
    // The tags of the file (a JPEG's IPTC block is tag 33723, type 263).
    virtual IKelvraTagControl* GetTagControl() = 0;

protected:
    ~ITlvEditObject() = default;
};

// An item's record: its picture as a 24-bit image, and parts of it.
class ITlvItemRecord {
public:
    virtual IKelvraImage* GetImage() = 0;
    // Part `selector` with its long side at most `limit` (at most 4096).
    // 0, or 0x1008 when the host has no such part.
    virtual unsigned long GetPart(long selector, long limit, IKelvraImage** part) = 0;

protected:
    ~ITlvItemRecord() = default;
};

// Flags of a source-data query: what the module needs of the record.
enum : long {
    TLV_SOURCE_QUERY_FILE = 160,
};

// Service 16: items' records. A record the host has not loaded yet answers
// 0x1008; the module asks the host to load it (TLV_MSG_LOAD_SOURCE_DATA,
// TLV_MSG_LOAD_ITEM_DATA, TLV_MSG_LOAD_ITEM_PART) and asks again.
class ITlvItemService {
public:
    virtual unsigned long GetSourceData(TlvItemId item, long flags, long extra, CTlvSourceData** data) = 0;
    virtual unsigned long GetItemData(TlvItemId item, CTlvItemData** data) = 0;
    // Loads the items that `item` stands for (a folder, an album).
    virtual unsigned long LoadItems(TlvItemId item) = 0;
    virtual unsigned long GetEditObject(TlvItemId item, ITlvEditObject** edit) = 0;
    virtual unsigned long GetItemRecord(TlvItemId item, ITlvItemRecord** record) = 0;
    virtual void Release() = 0;

protected:
    ~ITlvItemService() = default;
};

// Service 17: what the user has chosen.
class ITlvSelectionService {
public:
    // The kind of the selection's source, 64 bits.
    virtual unsigned long GetSourceKind(unsigned long long* kind) = 0;
    // The current item, 0 when none.
    virtual unsigned long GetCurrentItem(TlvItemId* item) = 0;
    virtual unsigned long GetSelectedItems(std::vector<TlvItemId>* items) = 0;
    // The list a module takes when the selection is empty.
    virtual unsigned long GetSecondList(std::vector<TlvItemId>* items) = 0;
    virtual void Release() = 0;

protected:
    ~ITlvSelectionService() = default;
};

// Service 128: the host's message boxes.
class ITlvMessageBoxService {
public:
    // Shows the host's text for a result code.
    virtual unsigned long ShowCode(unsigned long code, unsigned long flags) = 0;
    virtual void Release() = 0;

protected:
    ~ITlvMessageBoxService() = default;
};

// Releases a service the module holds, if any, and forgets it.
template <class Service>
void TlvReleaseService(Service*& service)
{
    if (service != nullptr)
        service->Release();
    service = nullptr;
}
