#include "base/TBaseObject.h"

#include <mutex>

long TBaseObject::AddRef()
{
    return ++m_refCount;
}

long TBaseObject::Release()
{
    if (m_refCount > 1)
        return --m_refCount;
    m_refCount = 0;
    TObjectManager::Instance().Remove(this);
    delete this;
    return 0;
}

namespace {
// Objects are released on the dialogs' and the workers' threads alike.
std::mutex& ManagerLock()
{
    static std::mutex lock;
    return lock;
}
}

TObjectManager& TObjectManager::Instance()
{
    static TObjectManager manager;
    return manager;
}

void TObjectManager::Remove(TBaseObject* object)
{
    std::lock_guard<std::mutex> hold(ManagerLock());
    if (m_cachedObject == object) {
        m_cachedObject = nullptr;
        m_cachedKey = 0;
    }
    for (auto it = m_objects.begin(); it != m_objects.end(); ++it) {
        if (it->second == object) {
            m_objects.erase(it);
            return;
        }
    }
}
