// The client list of a lens information object and the process-wide state
// that goes with it: the class lock and the keep count.
#include "settings/lens/TlLensInformation.h"

#include <algorithm>
#include <atomic>
#include <new>

namespace {

std::atomic<int> g_keepCount{0};

} // namespace

Tl::CSyncBase& CTlLensInformation::GetClassLock()
{
    // Made on first use (the initialisation is thread-safe) and kept to the
    // end of the process, like the other named locks of the library.
    static Tl::CSyncCritical lock("CTlLensInformation", -1);
    return lock;
}

int CTlLensInformation::GetKeepCount()
{
    return g_keepCount.load();
}

void CTlLensInformation::SetKeepCount(int count)
{
    g_keepCount.store(count);
}

void CTlLensInformation::SetClient(IMgr* manager)
{
    // Under the lock, so that a change of clients on another thread tells
    // either the old manager or the new one, never a half-set pointer.
    Tl::CSyncLock guard(GetClassLock());
    m_manager = manager;
}

int CTlLensInformation::GetClientCount() const
{
    Tl::CSyncLock guard(GetClassLock());
    return static_cast<int>(m_clients.size());
}

bool CTlLensInformation::AddClient(void* user)
{
    Tl::CSyncLock guard(GetClassLock());
    try {
        m_clients.push_back(user);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (m_manager)
        m_manager->OnClientsChanged(this, static_cast<int>(m_clients.size()));
    return true;
}

void CTlLensInformation::RemoveClient(void* user)
{
    Tl::CSyncLock guard(GetClassLock());
    auto found = std::find(m_clients.begin(), m_clients.end(), user);
    if (found == m_clients.end())
        return;
    m_clients.erase(found);
    const int count = static_cast<int>(m_clients.size());
    if (m_manager)
        m_manager->OnClientsChanged(this, count);
    else if (count <= GetKeepCount())
        delete this; // the guard holds the class lock, not this object
}
