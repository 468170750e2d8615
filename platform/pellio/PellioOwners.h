// Owners for the library's objects, so that callers free each on every path
// in the way its interface asks (a loader is released, then destroyed).
#pragma once

#include "kelvra/KelvraTagControl.h"
#include "pellio/KelvraFileStream.h"
#include "pellio/KelvraLoad.h"
#include "pellio/KelvraSave.h"

#include <memory>

struct PellioReleaseStream {
    void operator()(IKelvraFileStream* stream) const { stream->Release(); }
};
struct PellioReleaseLoad {
    void operator()(IKelvraLoad* load) const
    {
        load->Release();
        load->Destroy();
    }
};
struct PellioReleaseSave {
    void operator()(IKelvraSave* save) const { save->Release(); }
};
struct PellioDestroyTags {
    void operator()(IKelvraTagControl* tags) const { tags->Destroy(); }
};

using PellioStreamPtr = std::unique_ptr<IKelvraFileStream, PellioReleaseStream>;
using PellioLoadPtr = std::unique_ptr<IKelvraLoad, PellioReleaseLoad>;
using PellioSavePtr = std::unique_ptr<IKelvraSave, PellioReleaseSave>;
using PellioTagsPtr = std::unique_ptr<IKelvraTagControl, PellioDestroyTags>;
