// The loader library: file streams, loaders, savers and the tag-control
// factory, reachable as free functions and as the interfaces' static
// members.
#pragma once

#include "kelvra/KelvraTagControl.h"
#include "pellio/KelvraFileStream.h"
#include "pellio/KelvraLoad.h"
#include "pellio/KelvraSave.h"
#include "pellio/PellioFormats.h"
#include "pellio/PellioOwners.h"

IKelvraError* CreateFileStream(IKelvraFileStream** stream);
IKelvraError* CreateLoad(IKelvraLoad** load);
IKelvraError* CreateSave(IKelvraSave** save);
// An empty tag control, or, with `source`, a copy of its tags.
IKelvraError* CreateTagControl(IKelvraTagControl** control, const IKelvraTagControl* source = nullptr);
