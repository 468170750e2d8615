#include "settings/geometry/TlStepFactory.h"

#include "settings/geometry/TlCropStep.h"
#include "settings/geometry/TlSizeStep.h"

#include <new>

namespace {

template <class Step>
int MakeStep(CTlGeometryStep** holder)
{
    if (holder == nullptr)
        return kTlStepNoHolder;
    Step* made = *holder != nullptr ? new (std::nothrow) Step(**holder) : new (std::nothrow) Step();
    if (made == nullptr)
        return kTlStepNoMemory;
    delete *holder;
    *holder = made;
    return kTlStepMade;
}

} // namespace

int MakeCropStep(CTlGeometryStep** holder)
{
    return MakeStep<CTlCropStep>(holder);
}

int MakeSizeStep(CTlGeometryStep** holder)
{
    return MakeStep<CTlSizeStep>(holder);
}
