// The host's items: for each scripted item its source data, item data,
// edit object and record, each made when it is first loaded. What an item
// "lacks at the first ask" stays missing until a module asks the host to
// load it.
#pragma once

#include "TlHostPicture.h"
#include "TlHostScript.h"

#include "host/api/TlvHostServices.h"
#include "runbase/TlvItemData.h"
#include "runbase/TlvSourceData.h"

#include <map>
#include <memory>

class CTlHostEditObject : public ITlvEditObject {
public:
    explicit CTlHostEditObject(PellioTagsPtr tags) : m_tags(std::move(tags)) {}
    IKelvraTagControl* GetTagControl() override { return m_tags.get(); }

private:
    PellioTagsPtr m_tags;
};

class CTlHostItemRecord : public ITlvItemRecord {
public:
    CTlHostItemRecord(IKelvraManager* manager, TlImagePtr image) : m_manager(manager), m_image(std::move(image)) {}
    IKelvraImage* GetImage() override { return m_image.get(); }
    unsigned long GetPart(long selector, long limit, IKelvraImage** part) override;

private:
    IKelvraManager* m_manager;
    TlImagePtr m_image;
    std::map<long, TlImagePtr> m_parts;
};

// The largest part a module may ask for.
constexpr long kTlHostPartLimit = 4096;

class CTlHostItems {
public:
    CTlHostItems(const CTlHostScript& script, IKelvraManager* manager);

    bool Knows(TlvItemId id) const { return m_states.count(id) != 0; }
    // What the load messages make available; false for an unknown item.
    bool LoadSourceData(TlvItemId id);
    bool LoadItemData(TlvItemId id);
    bool LoadItemPart(TlvItemId id);

    unsigned long GetSourceData(TlvItemId id, CTlvSourceData** data);
    unsigned long GetItemData(TlvItemId id, CTlvItemData** data);
    unsigned long GetEditObject(TlvItemId id, ITlvEditObject** edit);
    unsigned long GetItemRecord(TlvItemId id, ITlvItemRecord** record);

private:
    struct CState {
        TlHostItem script;
        bool sourceLoaded = false;
        bool itemDataLoaded = false;
        bool editLoaded = false;
        bool recordLoaded = false;
        CTlvSourceData source;
        CTlvItemData itemData;
        std::unique_ptr<CTlHostEditObject> edit;
        std::unique_ptr<CTlHostItemRecord> record;
    };

    CState* Find(TlvItemId id);
    void MakeSourceData(CState& state);

    IKelvraManager* m_manager;
    std::map<TlvItemId, CState> m_states;
};
