#include "FiltrixNotices.h"

namespace {

IKelvraError* Send(CKelvraFilterBase& filter, long code, void* data)
{
    IKelvraError* error = KelvraSendDataNotification(&filter, code, data);
    return error ? KELVRA_WRAP(nullptr, filter.GetFilterTag(), error) : nullptr;
}

} // namespace

IKelvraError* FiltrixJoin(KelvraTag tag, IKelvraError* first, IKelvraError* second)
{
    return KELVRA_WRAP(KELVRA_WRAP(nullptr, tag, first), tag, second);
}

KelvraPixelFormat FiltrixCurrentFormat(CKelvraFilterBase& filter)
{
    KelvraPixelFormat format = 0;
    if (!filter.GetSource(0))
        return 0;
    IKelvraError* error = filter.GetColorSpace(&format);
    IKelvraError::Release(error);
    return error ? 0 : format;
}

IKelvraError* FiltrixSendFormatChange(CKelvraFilterBase& filter, bool notify, KelvraPixelFormat before,
                                      KelvraPixelFormat after)
{
    if (!filter.WillNotify(notify) || before == 0 || before == after)
        return nullptr;
    KelvraColorSpaceChange change{before, after};
    return Send(filter, kKelvraNotifyColorSpace, &change);
}

IKelvraError* FiltrixSendSizeChange(CKelvraFilterBase& filter, bool notify, const KelvraSizeChange& change)
{
    if (!filter.WillNotify(notify))
        return nullptr;
    KelvraSizeChange sent = change;
    return Send(filter, kKelvraNotifySize, &sent);
}
