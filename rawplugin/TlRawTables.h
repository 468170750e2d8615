// The raw reader's fixed tables: how outside error codes map to reader
// results, the noise strength of a sensitivity, the white-balance curves of
// the De-Bayer filter, the check of a colour-filter pattern, the ICC
// profile a picture gets, and the library options of the dialog's
// white-balance indexes.
#pragma once

#include "Rawlibps.h"

#include <cstdint>
#include <string>
#include <vector>

// Reader results.
enum : int {
    kTlRawOk = 0,
    kTlRawTooSmall = 1, // also: out of memory
    kTlRawUnknownFormat = 3,
    kTlRawBadArgument = 4,
    kTlRawNotOpen = 5,
    kTlRawCannotOpen = 6,
    kTlRawFailed = 8,
    kTlRawCannotRead = 9,
    kTlRawBadTagType = 14,
    kTlRawUnsupported = 16,
};

// The reader result of an outside error code.
int TlRawMapErrorCode(long code);
// The reader result of an error chain (its innermost code), which it releases.
int TlRawMapError(IKelvraError* error);

// The sensitivity key of tag 0x80002's two 16-bit halves: the second half
// when the first is 0; otherwise -1 or -2 for twice or four times the
// model's base sensitivity (800 for model 259, 1600 for the others), else 0.
std::int32_t TlRawSensitivityKey(long model, std::uint16_t first, std::uint16_t second);
// The De-Bayer filter's nine-value tuning block for a sensitivity key:
// {s, s, s, 6, 15, 1, 14, 1, 1} with s the model's noise strength for the
// key; false when the key is not in the model's table, and the block is
// then the one for 200.
bool TlRawNoiseTuning(long model, std::int32_t key, std::int32_t (&values)[9]);

// The De-Bayer filter's three 4096-entry curves of 12-bit values: red by
// the first gain, the identity, blue by the second. A gain that is not a
// positive finite number counts as 1.0.
struct TlRawCurves {
    std::vector<std::uint16_t> red;
    std::vector<std::uint16_t> green;
    std::vector<std::uint16_t> blue;
};
bool TlRawWhiteBalanceCurves(double redGain, double blueGain, TlRawCurves* curves);

// True when tag 0xA302's bytes hold two 16-bit dimensions (big-endian, each
// 1 to 16) and exactly their product of pattern codes after them.
bool TlRawPatternFits(const std::vector<std::uint8_t>& bytes);

// The colour-space code of the ICC choice: the tag's code (0xFFFF when it
// cannot be read) unless the chain answers one.
long TlRawColorCode(long tagCode, bool chainAnswered, long chainSpace);
// The profile file of a colour-space code for the camera model.
const char* TlRawProfileName(long colorCode, long model);
// The profiles folder ("CommonFilesDir" + "\Talvo\Profiles\") plus `name`;
// false when "CommonFilesDir" cannot be read.
bool TlRawProfilePath(const char* name, std::string* path);

// Option 2 of the chain for a dialog white-balance index.
TlnWhiteBalance TlRawWhiteBalanceOption(int index);
