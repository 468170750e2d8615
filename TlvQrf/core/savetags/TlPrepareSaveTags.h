// The first move of every save that writes a file: take the target's name,
// refuse a read-only target and make the tag copy the writer gets, with the
// tags a save refreshes.
#pragma once

#include "pellio/PellioOwners.h"

#include <windows.h>

class CTlvParamSet;
class IKelvraError;

// Result codes of the preparation (the save's own codes go on from these).
enum : int {
    kTlSaveOk = 0,
    kTlSaveFailed = 1,
    kTlSaveNoSource = 2,
    kTlSaveNoObject = 3,
    kTlSaveTagCopyFailed = 4,
    kTlSaveAlreadyPrepared = 5,
    kTlSaveFileLocked = 15,
};

// The part of the save state that the preparation reads and fills; the
// save keeps it with the rest of its state, one save at a time.
struct TlSaveTagsState {
    bool prepared = false;        // a save is prepared and not finished
    char tempPath[MAX_PATH] = {}; // the file the save writes
    PellioTagsPtr tags;           // the tag copy the writer gets
    IKelvraError* error = nullptr; // errors recorded for the save; the caller releases them
};

// 2 without a parameter set, source image or tag control; 5 while a save is
// prepared; 1 for a missing path or one of MAX_PATH characters or more; 15
// ("File Locked" recorded) for a read-only file; 3 when no tag control can
// be made; 4 when the source tags cannot be copied. From 15 on, the save's
// progress base is reset to 0. A copy made is kept in `save.tags`, also
// after 4, which leaves it without the dust identification.
int PrepareSaveTags(const CTlvParamSet* params, const char* path, TlSaveTagsState& save);
