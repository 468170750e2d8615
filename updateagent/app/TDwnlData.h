// The one task of a dialog's worker: owner is the dialog, context its
// message target.
#pragma once

#include "thread/TThreadQueueData.h"

class TDwnlData : public TThreadQueueData {
public:
    TDwnlData(void* owner, void* context)
    {
        SetOwner(owner);
        SetContext(context);
    }
};
