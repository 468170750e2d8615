#include "load/TlvImageAttributes.h"

void CTlvImageAttributes::UpdateAfterLoad()
{
    ReadCameraValues();
}
