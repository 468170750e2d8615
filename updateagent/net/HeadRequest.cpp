#include "net/HeadRequest.h"

#include "base/TAnsiString.h"
#include "net/InternetAgent.h"
#include "net/Url.h"

#include <memory>

namespace {
const DWORD kTimeoutMs = 60000;
const DWORD kHeadFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_COOKIES |
                         INTERNET_FLAG_NO_UI | INTERNET_FLAG_PRAGMA_NOCACHE;
static_assert(kHeadFlags == 0x80480300, "the HEAD request's flags");

class Steps {
public:
    Steps(const CancelSignal& cancel, HeadAnswer& answer)
        : m_cancel(cancel)
        , m_answer(answer)
    {
    }

    // Stores a newly opened handle; false, with the error noted, when the
    // call failed or a cancel came first.
    bool Keep(GuardedInternetHandle& slot, HINTERNET handle)
    {
        if (!handle)
            return Fail(GetLastError());
        slot.Store(handle);
        if (m_cancel.IsRaised()) {
            slot.Close();
            return Fail(ERROR_INTERNET_OPERATION_CANCELLED);
        }
        return true;
    }

    bool Check(BOOL succeeded)
    {
        return succeeded ? true : Fail(GetLastError());
    }

    // A call that may wait for the server: a cancel ends the wait.
    bool Wait(std::function<bool()> call)
    {
        const CallOutcome outcome = RunCancellable(std::move(call), m_cancel);
        if (!outcome.completed)
            return Fail(ERROR_INTERNET_OPERATION_CANCELLED);
        return outcome.succeeded ? true : Fail(outcome.error);
    }

private:
    bool Fail(DWORD error)
    {
        m_answer.outcome = HeadAnswer::kFailed;
        m_answer.error = error;
        return false;
    }

    const CancelSignal& m_cancel;
    HeadAnswer& m_answer;
};

bool SetTimeouts(HINTERNET session, Steps& steps)
{
    DWORD timeout = kTimeoutMs;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        if (!steps.Check(InternetSetOptionA(session, option, &timeout, sizeof timeout)))
            return false;
    }
    return true;
}

bool QueryNumber(HINTERNET request, DWORD query, DWORD& value)
{
    DWORD size = sizeof value;
    return HttpQueryInfoA(request, query | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr) != FALSE;
}

void Run(const Url& url, HeadHandles& handles, Steps& steps, HeadAnswer& answer, bool wantContentLength)
{
    HINTERNET session = InternetOpenA(kInternetAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!steps.Keep(handles.session, session) || !SetTimeouts(session, steps))
        return;
    HINTERNET connection = InternetConnectA(session, url.Host().c_str(), static_cast<INTERNET_PORT>(url.Port()),
                                            nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    if (!steps.Keep(handles.connection, connection))
        return;
    const DWORD flags = kHeadFlags | (url.Secure() ? INTERNET_FLAG_SECURE : 0);
    HINTERNET request =
        HttpOpenRequestA(connection, "HEAD", url.Path().c_str(), nullptr, nullptr, nullptr, flags, 0);
    if (!steps.Keep(handles.request, request))
        return;
    if (!steps.Wait([request] { return HttpSendRequestA(request, nullptr, 0, nullptr, 0) != FALSE; }))
        return;
    if (!steps.Check(QueryNumber(request, HTTP_QUERY_STATUS_CODE, answer.status)))
        return;
    answer.outcome = HeadAnswer::kAnswered;
    if (wantContentLength && answer.status == 200)
        answer.hasContentLength = QueryNumber(request, HTTP_QUERY_CONTENT_LENGTH, answer.contentLength);
}
}

void HeadHandles::CloseAll()
{
    request.Close();
    connection.Close();
    session.Close();
}

HeadAnswer SendHeadRequest(const TWideString& address, HeadHandles& handles, const CancelSignal& cancel,
                           bool wantContentLength)
{
    HeadAnswer answer;
    std::unique_ptr<Url> url;
    try {
        url.reset(new Url(TAnsiString(address.Text(), address.Length()).Text()));
    } catch (const InvalidUrlException&) {
        answer.outcome = HeadAnswer::kBadAddress;
        return answer;
    }
    Steps steps(cancel, answer);
    Run(*url, handles, steps, answer, wantContentLength);
    handles.CloseAll();
    if (!answer.hasContentLength)
        answer.contentLength = 0;
    return answer;
}
