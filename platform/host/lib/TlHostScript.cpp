#include "TlHostScript.h"

const TlHostItem* CTlHostScript::FindItem(TlvItemId id) const
{
    for (const TlHostItem& item : items) {
        if (item.id == id)
            return &item;
    }
    return nullptr;
}
