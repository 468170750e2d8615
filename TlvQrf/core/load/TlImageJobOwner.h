// What an image job needs of the save request that owns it: fresh
// attributes records, and the save target (the parameter set the save
// reads) made for one of them. The request owns both kinds of objects; the
// job hands every one back to it.
#pragma once

#include "settings/holders/TlvImageAttributes.h"

class CTlvParamSet;

class ITlImageJobOwner {
public:
    // Null when there is no memory.
    virtual CTlvImageAttributes* NewAttributes() = 0;
    virtual void DestroyAttributes(CTlvImageAttributes* attributes) = 0;
    // Null when the target cannot be made.
    virtual CTlvParamSet* NewSaveTarget(CTlvImageAttributes& attributes) = 0;
    virtual void DestroySaveTarget(CTlvParamSet* target) = 0;

protected:
    ~ITlImageJobOwner() = default;
};

// The plain owner: attributes made with new, the target is the parameter
// set the attributes build.
class CTlImageJobOwner : public ITlImageJobOwner {
public:
    CTlvImageAttributes* NewAttributes() override;
    void DestroyAttributes(CTlvImageAttributes* attributes) override;
    CTlvParamSet* NewSaveTarget(CTlvImageAttributes& attributes) override;
    void DestroySaveTarget(CTlvParamSet* target) override;
};
