// Copies the resource at a web address into a file of the same name in a
// folder, chunk by chunk. A failed, refused or cancelled download leaves no
// file behind.
#pragma once

#include "base/TWideString.h"
#include "files/TPath.h"
#include "net/CancellableCall.h"
#include "net/GuardedInternetHandle.h"

#include <cstdio>

class UrlDownloader {
public:
    enum Result {
        kDone = 0,
        kRefused = 1,          // no "/" in the address, an HTML page or a status other than 200
        kCannotCreate = 2,     // the local file could not be created
        kConnectFailure = 3,   // a connection-type WinINet error
        kTransferFailure = 4,  // a transfer-type WinINet error, a failed read, a body cut short
        kCancelled = 5,
    };

    // Told the size of each chunk written.
    using Progress = void (*)(DWORD bytes, void* context);

    static constexpr DWORD kChunkSize = 4000;

    UrlDownloader() = default;
    UrlDownloader(const UrlDownloader&) = delete;
    UrlDownloader& operator=(const UrlDownloader&) = delete;

    // `folder` ends with "\"; `localPath` receives the file's path once it is known.
    unsigned Download(const TWideString& address, const TPath& folder, TPath& localPath, Progress progress,
                      void* context);
    // From another thread: the running (or the next) download ends with kCancelled.
    void Cancel();

private:
    unsigned Transfer(HINTERNET address, FILE* file, Progress progress, void* context);
    void CloseHandles();

    HINTERNET OpenAddress(HINTERNET session, const TWideString& address, DWORD& error);

    CancelSignal m_cancel;
    GuardedInternetHandle m_session;
    GuardedInternetHandle m_address;
};

// The downloader's result for a WinINet error code.
unsigned DownloadResultForError(DWORD code);
