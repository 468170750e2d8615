// The state the holders construct their records in, where it is not the
// record's own default. Resets on import go back to these too.
#pragma once

#include "settings/small/TlWhiteBalanceState.h"

namespace TlvHolderDefaults {

constexpr unsigned kImageWidth = 3008;
constexpr unsigned kImageHeight = 2000;
constexpr double kResolution = 300.0;

// As shot, with neutral gains: the record's own reset (gains mode with
// zero gains) would black out two channels.
inline void SetAsShot(CTlWhiteBalanceState& whiteBalance)
{
    whiteBalance.Reset();
    whiteBalance.mode = CTlWhiteBalanceState::kModeAsShot;
    whiteBalance.firstGain = 1.0;
    whiteBalance.secondGain = 1.0;
}

} // namespace TlvHolderDefaults
