#include "filters/fisheye/TlLensReference.h"

#include "settings/lens/TlLensInformation.h"

bool CTlLensReference::PointAt(CTlLensInformation* lens)
{
    Reset();
    if (!lens)
        return true;
    if (!lens->AddClient(this))
        return false;
    m_lens = lens;
    return true;
}

void CTlLensReference::Reset()
{
    // Cleared first: the object may be destroyed inside RemoveClient.
    CTlLensInformation* lens = m_lens;
    m_lens = nullptr;
    if (lens)
        lens->RemoveClient(this);
}
