#include "files/Connection.h"

#include <windows.h>
#include <wininet.h>

#include <atomic>

namespace {
std::atomic<ConnectionStateQuery> g_query{nullptr};
}

bool IsConnected()
{
    if (ConnectionStateQuery query = g_query.load())
        return query();
    DWORD flags = 0;
    return InternetGetConnectedState(&flags, 0) != FALSE;
}

void SetConnectionStateQuery(ConnectionStateQuery query)
{
    g_query.store(query);
}
