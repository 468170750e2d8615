// Puts three channel tables on the filters a look-up-table operation was
// given: the colour filter (on the side its caller names, applied) and the
// look-up-table filter. No tables clears them.
#pragma once

#include <cstdint>

class CKelvraFilterCML;
class CKelvraFilterLut;
class IKelvraError;

struct STlLutTargets {
    CKelvraFilterCML* cml = nullptr;
    bool cmlOutputSide = false;
    CKelvraFilterLut* lut = nullptr;

    // The operations that serve one filter take exactly one.
    bool IsSingle() const { return (cml != nullptr) != (lut != nullptr); }
};

struct STlLutInstall {
    const std::uint16_t* const* tables; // null clears
    long inputBits;
    long outputBits;
    long channels;
    bool notify;
};

// The colour filter first (its error ends the installation), then the
// look-up-table filter; the last result.
IKelvraError* InstallLutTables(const STlLutTargets& targets, const STlLutInstall& install);
// The same with the error released: true when installed without one.
bool InstallLutTablesQuietly(const STlLutTargets& targets, const STlLutInstall& install);
