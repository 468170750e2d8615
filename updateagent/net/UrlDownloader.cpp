#include "net/UrlDownloader.h"

#include "base/TAnsiString.h"
#include "files/FileHelpers.h"
#include "files/Log.h"
#include "net/InternetAgent.h"
#include "net/InternetErrors.h"

#include <cstring>
#include <memory>

namespace {
const DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
static_assert(kOpenFlags == 0x84000100, "the download's flags");

// The chunk as text, up to its first zero byte and never past its end.
bool HoldsHtmlTag(const char* chunk, DWORD size)
{
    static const char tag[] = "<HTML>";
    const size_t tagLength = sizeof tag - 1;
    const void* zero = std::memchr(chunk, 0, size);
    const size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - chunk) : size;
    for (size_t at = 0; at + tagLength <= length; ++at) {
        if (std::memcmp(chunk + at, tag, tagLength) == 0)
            return true;
    }
    return false;
}

bool QueryNumber(HINTERNET request, DWORD query, DWORD& value)
{
    DWORD size = sizeof value;
    return HttpQueryInfoA(request, query | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr) != FALSE;
}

void LogError(DWORD code)
{
    WriteLog(InternetErrorText(code), static_cast<int>(code));
}
}

unsigned DownloadResultForError(DWORD code)
{
    switch (code) {
    case 12002:
    case 12012:
    case 12017:
    case 12030:
    case 12031:
    case 12037:
    case 12038:
    case 12045:
    case 12055:
    case 12056:
    case 12057:
    case 12169:
    case 12170:
    case 12152:
        return UrlDownloader::kTransferFailure;
    default:
        return UrlDownloader::kConnectFailure;
    }
}

unsigned UrlDownloader::Download(const TWideString& address, const TPath& folder, TPath& localPath,
                                 Progress progress, void* context)
{
    const int slash = address.ReverseFind(L'/');
    if (slash < 0)
        return kRefused;
    localPath.Set(folder.Text() + address.Mid(slash + 1, address.Length()));
    if (FileExists(localPath))
        DeletePath(localPath);
    FILE* file = OpenFile(localPath, "wb");
    if (!file)
        return kCannotCreate;

    unsigned result = kDone;
    DWORD error = 0;
    HINTERNET session = InternetOpenA(kInternetAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session) {
        error = GetLastError();
    } else {
        m_session.Store(session);
        HINTERNET handle = OpenAddress(session, address, error);
        if (handle) {
            m_address.Store(handle);
            // A cancel that came before the handle was stored could not close it.
            if (!m_cancel.IsRaised())
                result = Transfer(handle, file, progress, context);
        }
        CloseHandles();
    }
    std::fclose(file);
    if (error != 0) {
        LogError(error);
        result = DownloadResultForError(error);
    }
    if (m_cancel.Clear())
        result = kCancelled;
    if (result != kDone)
        DeletePath(localPath);
    return result;
}

HINTERNET UrlDownloader::OpenAddress(HINTERNET session, const TWideString& address, DWORD& error)
{
    const TAnsiString narrow(address.Text(), address.Length());
    auto opened = std::make_shared<HINTERNET>(nullptr);
    const CallOutcome outcome = RunCancellable(
        [session, narrow, opened] {
            *opened = InternetOpenUrlA(session, narrow.Text(), nullptr, 0, kOpenFlags, 0);
            return *opened != nullptr;
        },
        m_cancel,
        [opened] {
            if (*opened)
                InternetCloseHandle(*opened);
        });
    if (!outcome.completed)
        error = ERROR_INTERNET_OPERATION_CANCELLED;
    else if (!outcome.succeeded)
        error = outcome.error;
    return outcome.completed ? *opened : nullptr;
}

unsigned UrlDownloader::Transfer(HINTERNET address, FILE* file, Progress progress, void* context)
{
    DWORD status = 0;
    if (QueryNumber(address, HTTP_QUERY_STATUS_CODE, status) && status != 200) {
        WriteLog(TWideString(L"Received HTTP status code is in ErrorCode."), static_cast<int>(status));
        return kRefused;
    }
    DWORD announced = 0;
    const bool hasLength = QueryNumber(address, HTTP_QUERY_CONTENT_LENGTH, announced);

    // Kept alive by an abandoned read until it ends.
    struct Chunk {
        char bytes[kChunkSize];
        DWORD read = 0;
    };
    unsigned long long received = 0;
    for (;;) {
        auto chunk = std::make_shared<Chunk>();
        const CallOutcome outcome = RunCancellable(
            [address, chunk] { return InternetReadFile(address, chunk->bytes, kChunkSize, &chunk->read) != FALSE; },
            m_cancel);
        if (m_cancel.IsRaised())
            return kCancelled;
        if (!outcome.succeeded) {
            LogError(outcome.error);
            return kTransferFailure;
        }
        const DWORD read = chunk->read;
        if (read == 0)
            break;
        if (HoldsHtmlTag(chunk->bytes, read))
            return kRefused;
        if (std::fwrite(chunk->bytes, 1, read, file) != read)
            return kCannotCreate;
        received += read;
        if (progress)
            progress(read, context);
    }
    if (m_cancel.IsRaised())
        return kCancelled;
    if (hasLength && received < announced)
        return kTransferFailure;
    return kDone;
}

void UrlDownloader::CloseHandles()
{
    m_address.Close();
    m_session.Close();
}

void UrlDownloader::Cancel()
{
    m_cancel.Raise();
    CloseHandles();
}
