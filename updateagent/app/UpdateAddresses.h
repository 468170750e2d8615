// The scheme check of the two update addresses before anything is asked of
// the network: the MD5 file must come over https (it vouches for the
// installer), the installer may come over http or https.
#pragma once

#include "base/TWideString.h"

// True when both addresses loaded (`installerLoaded`, `md5Loaded`) and their
// schemes pass, compared without regard to case.
bool UpdateAddressesPass(bool installerLoaded, const TWideString& installer, bool md5Loaded,
                         const TWideString& md5File);
