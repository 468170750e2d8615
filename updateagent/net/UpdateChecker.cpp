#include "net/UpdateChecker.h"

#include "files/Connection.h"
#include "files/Log.h"
#include "net/InternetErrors.h"

namespace {
void Report(UpdateChecker::Progress progress, void* context, int times)
{
    for (int i = 0; progress && i < times; ++i)
        progress(1, context);
}
}

unsigned UpdateChecker::CheckOne(const TWideString& address)
{
    const HeadAnswer answer = SendHeadRequest(address, m_handles, m_cancel, false);
    switch (answer.outcome) {
    case HeadAnswer::kBadAddress:
        return kBadAddress;
    case HeadAnswer::kFailed:
        WriteLog(InternetErrorText(answer.error), static_cast<int>(answer.error));
        return kInternetFailure;
    case HeadAnswer::kAnswered:
        break;
    }
    WriteLog(TWideString(L"Received HTTP status code is in ErrorCode."), static_cast<int>(answer.status));
    return answer.status == 200 ? kAvailable : kOtherStatus;
}

unsigned UpdateChecker::Check(const TWideString& first, const TWideString& second, Progress progress, void* context)
{
    unsigned result = kAvailable;
    Report(progress, context, 1);
    if (!IsConnected()) {
        result = kNotConnected;
    } else {
        Report(progress, context, 1);
        result = CheckOne(first);
        if (result == kAvailable) {
            Report(progress, context, 4);
            if (m_cancel.IsRaised())
                return kCancelled;
            result = CheckOne(second);
            if (result == kAvailable)
                Report(progress, context, 4);
        }
    }
    if (m_cancel.Clear())
        return kCancelled;
    return result;
}

void UpdateChecker::Cancel()
{
    m_cancel.Raise();
    m_handles.CloseAll();
}

DWORD GetContentLength(const TWideString& address)
{
    HeadHandles handles;
    const CancelSignal never;
    const HeadAnswer answer = SendHeadRequest(address, handles, never, true);
    return answer.outcome == HeadAnswer::kAnswered && answer.status == 200 ? answer.contentLength : 0;
}
