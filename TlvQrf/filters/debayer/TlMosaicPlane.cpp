#include "filters/debayer/TlMosaicPlane.h"

void CTlMosaicPlane::PlaceAt(long x, long y, const TlBayerPhases& sourcePhases)
{
    originX = x;
    originY = y;
    // Parities only: an odd origin shifts which local sites are green.
    phases.greenPhase = int((sourcePhases.greenPhase + (x & 1) + (y & 1)) & 1);
    phases.redRowPhase = int((sourcePhases.redRowPhase + (y & 1)) & 1);
}
