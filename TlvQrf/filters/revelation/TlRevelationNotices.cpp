#include "filters/revelation/TlRevelationNotices.h"

#include "kelvra/KelvraTypes.h"

TlStalePasses TlPassesStaledBy(long code)
{
    switch (code) {
    case kKelvraNotifySize:
    case kKelvraNotifyResolution:
        return {false, true};
    case kKelvraNotifyData:
    case kKelvraNotifyColorSpace:
    case kKelvraNotifyPalette:
    case kKelvraNotifyDestroyed:
    case kKelvraNotifyUpdateAll:
        return {true, true};
    default:
        return {false, false};
    }
}
