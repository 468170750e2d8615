// The first move of every save that writes a file: take the target's name,
// refuse a read-only target and make the tag copy the writer gets, with the
// tags a save refreshes.
#pragma once

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

// Works on the global save state: 2 without a parameter set, source image
// or tag control; 5 while a save is prepared; 1 for a missing or empty
// path; 15 for a read-only file, with "File Locked" added to `errors` (the
// caller releases the chain; without `errors` it is dropped); 3 when no tag
// control can be made; 4 when the source tags cannot be copied. From 15 on
// the path is the save's temporary file, no embedded profile is named yet
// and the progress base is 0. The
// copy made goes into the save state in place of any earlier one, also
// after 4, which leaves it without the dust identification; the save's
// release destroys it.
int PrepareSaveTags(const CTlvParamSet* params, const char* path, IKelvraError** errors = nullptr);
