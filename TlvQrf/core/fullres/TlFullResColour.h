// The colour conversions of a full-resolution chain: each converts from the
// profile the data is in so far (the source's own before the first) to its
// target, and stands in the chain only when it changes something.
#pragma once

class CTlvParamSet;
class CKelvraFilterCML;
class IKelvraError;
class IKelvraManager;

struct STlColourStageRequest {
    const char* target = nullptr; // full path of the profile converted to
    long outputBits = 16;
};

// 0 when the stage was made (appended or, without a usable table, left
// out; `*appended` tells which, `*made` gets the filter either way); 3 when
// no filter could be made or every slot is taken, 12 when it could not be
// appended, 20 when no engine was found or the engine or the bits were
// refused. `bitsSoFar` is the chain's sample depth before the stage and
// becomes the stage's output bits when it is appended. A failure leaves its
// error in `why` when given (the caller releases it).
int AppendColourStage(IKelvraManager* manager, const CTlvParamSet& params, const STlColourStageRequest& request,
                      long* bitsSoFar, bool* appended, CKelvraFilterCML** made, IKelvraError** why = nullptr);
