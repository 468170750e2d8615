#include "colour/TlColourEngineManager.h"

#include <atomic>
#include <cstring>
#include <new>

namespace {

// Source locations the manager's errors carry (they identify the failing
// step to whoever reads a chain).
enum : long {
    kAtRequest = 101,
    kAtNewCriteria = 133,
    kAtNewEngine = 138,
    kAtNewReference = 142,
    kAtEngineMade = 154,
    kAtEngineSetUp = 158,
    kAtSetProfiles = 184,
    kAtSetProofMode = 186,
    kAtSetIntent = 188,
};

std::atomic<CCMLEngMgr*> g_manager{nullptr};

IKelvraError* OutOfMemory(KelvraTag tag, long location)
{
    return IKelvraError::Add(nullptr, tag, location, kKelvraCategoryKelvra, kKelvraOutOfMemory);
}

void CopyPath(char (&buffer)[MAX_PATH], const char* text)
{
    std::memset(buffer, 0, sizeof buffer);
    if (text)
        std::strncpy(buffer, text, MAX_PATH - 1);
}

// The proof profile an engine is given: the destination, except that a file
// name starting with "%_" loses those two characters.
KelvraFile ProofProfileOf(const char* destination)
{
    KelvraFile proof(destination);
    char* lastBackslash = std::strrchr(proof.path, '\\');
    if (lastBackslash && lastBackslash[1] == '%' && lastBackslash[2] == '_') {
        char* name = lastBackslash + 1;
        std::memmove(name, name + 2, std::strlen(name + 2) + 1);
    }
    return proof;
}

} // namespace

void CCMLEngMgr::CCMLCriteria::Assign(const char* sourcePath, const char* destinationPath)
{
    CopyPath(source, sourcePath);
    CopyPath(destination, destinationPath);
}

bool CCMLEngMgr::CCMLCriteria::operator==(const CCMLCriteria& other) const
{
    return std::strncmp(source, other.source, MAX_PATH) == 0 &&
           std::strncmp(destination, other.destination, MAX_PATH) == 0;
}

CCMLEngMgr::CCMLEngMgr()
{
    g_manager = this;
}

CCMLEngMgr::~CCMLEngMgr()
{
    {
        Tl::CSyncLock guard(m_lock);
        m_released.clear();
        while (!m_entries.empty())
            DestroyEntry(m_entries.begin());
    }
    CCMLEngMgr* self = this;
    g_manager.compare_exchange_strong(self, nullptr);
}

IKelvraError* CCMLEngMgr::GetEngine(const char* source, const char* destination, CReference& ref)
{
    CCMLCriteria wanted;
    wanted.Assign(source, destination);
    IKelvraError* error = nullptr;
    {
        Tl::CSyncLock guard(m_lock);
        // Leaving the old engine may release it into the queue: done under
        // the lock, before the search, so that the queue is settled.
        ref.Release();
        error = FindOrMakeEngine(wanted, ref);
    }
    if (error)
        return IKelvraError::AddWorker(nullptr, kTlEngineManagerTag, kAtRequest, error);
    return nullptr;
}

IKelvraError* CCMLEngMgr::FindOrMakeEngine(const CCMLCriteria& wanted, CReference& ref)
{
    CEntry entry;
    const EntryPosition found = FindByCriteria(wanted);
    if (found != m_entries.end()) {
        RemoveFromReleased(found);
        if (CKelvraFilterCMLEngine* engine = found->reference->Get()) {
            ref = engine;
            return nullptr;
        }
        // Destroyed behind the manager's back: rebuilt below.
        entry = std::move(*found);
        m_entries.erase(found);
    } else {
        if (IKelvraError* error = TakeSpareEntry(entry))
            return error;
        *entry.criteria = wanted;
    }

    CKelvraFilterCMLEngine* engine = entry.reference->Get();
    if (!engine) {
        engine = new (std::nothrow) CKelvraFilterCMLEngine;
        if (!engine)
            return IKelvraError::AddWorker(nullptr, 0, kAtEngineMade, OutOfMemory(kTlEngineManagerTag, kAtNewEngine));
        // The manager from the start: with no manager an engine whose count
        // falls to its threshold deletes itself.
        engine->SetManager(this);
        *entry.reference = engine;
    }
    IKelvraError* error = SetUpEngine(engine, *entry.criteria);
    if (!error) {
        try {
            m_entries.push_front(std::move(entry));
        } catch (const std::bad_alloc&) {
            error = OutOfMemory(0, kAtEngineSetUp);
        }
    }
    if (error) {
        DestroyEngineOf(entry);
        return IKelvraError::AddWorker(nullptr, 0, kAtEngineSetUp, error);
    }
    ref = engine;
    return nullptr;
}

IKelvraError* CCMLEngMgr::TakeSpareEntry(CEntry& entry)
{
    if (!m_released.empty()) {
        const EntryPosition oldest = m_released.back();
        m_released.pop_back();
        entry = std::move(*oldest);
        entry.released = false;
        m_entries.erase(oldest);
        return nullptr;
    }
    entry.criteria.reset(new (std::nothrow) CCMLCriteria);
    if (!entry.criteria)
        return OutOfMemory(0, kAtNewCriteria);
    entry.reference.reset(new (std::nothrow) CReference);
    if (!entry.reference) {
        entry.criteria.reset();
        return OutOfMemory(0, kAtNewReference);
    }
    return nullptr;
}

IKelvraError* CCMLEngMgr::SetUpEngine(CKelvraFilterCMLEngine* engine, const CCMLCriteria& criteria) const
{
    // Tell the manager as soon as only its own reference is left.
    engine->SetAutoDeleteThreshold(1);
    const KelvraFile source(criteria.source);
    const KelvraFile destination(criteria.destination);
    const KelvraFile proof = ProofProfileOf(criteria.destination);
    if (IKelvraError* error = engine->SetProfiles(source, destination, proof))
        return IKelvraError::AddWorker(nullptr, kTlEngineManagerTag, kAtSetProfiles, error);
    if (IKelvraError* error = engine->SetProofMode(true))
        return IKelvraError::AddWorker(nullptr, kTlEngineManagerTag, kAtSetProofMode, error);
    if (IKelvraError* error = engine->SetRenderingIntent(0))
        return IKelvraError::AddWorker(nullptr, kTlEngineManagerTag, kAtSetIntent, error);
    return nullptr;
}

void CCMLEngMgr::SetCacheLimit(long limit)
{
    Tl::CSyncLock guard(m_lock);
    m_cacheLimit = limit;
    while (!m_released.empty() && long(m_released.size()) >= m_cacheLimit)
        DestroyOldestReleased();
}

void CCMLEngMgr::OnReferencesReleased(CKelvraFilterCMLEngine* engine, long count)
{
    Tl::CSyncLock guard(m_lock);
    // Only an engine the manager owns is touched: the pointer may name one
    // destroyed since it sent the notice.
    const EntryPosition position = FindByEngine(engine);
    if (position == m_entries.end())
        return;
    // The count was taken before the lock: another thread may have asked for
    // the engine since, so the present count decides.
    const long threshold = engine->GetAutoDeleteThreshold();
    count = engine->GetReferenceCount();
    if (count > threshold)
        return;
    engine->SetAutoDeleteThreshold(-1); // no notices from the bookkeeping below
    CReference keepAlive(engine);
    ReleaseEntry(position);
    if (keepAlive.Get()) {
        keepAlive.Release();
        engine->SetAutoDeleteThreshold(threshold);
    }
    // Otherwise the entry was destroyed at once (no room to keep it).
}

std::size_t CCMLEngMgr::GetEngineCount() const
{
    Tl::CSyncLock guard(m_lock);
    return m_entries.size();
}

std::size_t CCMLEngMgr::GetReleasedCount() const
{
    Tl::CSyncLock guard(m_lock);
    return m_released.size();
}

CCMLEngMgr::EntryPosition CCMLEngMgr::FindByCriteria(const CCMLCriteria& wanted)
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
        if (*it->criteria == wanted)
            return it;
    return m_entries.end();
}

CCMLEngMgr::EntryPosition CCMLEngMgr::FindByEngine(const CKelvraFilterCMLEngine* engine)
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
        if (engine && it->reference->Get() == engine)
            return it;
    return m_entries.end();
}

void CCMLEngMgr::ReleaseEntry(EntryPosition position)
{
    if (position->released)
        return;
    if (m_cacheLimit <= 0) {
        DestroyEntry(position);
        return;
    }
    position->released = true;
    while (long(m_released.size()) >= m_cacheLimit)
        DestroyOldestReleased();
    m_released.push_front(position);
}

void CCMLEngMgr::RemoveFromReleased(EntryPosition position)
{
    if (!position->released)
        return;
    for (auto it = m_released.begin(); it != m_released.end(); ++it) {
        if (*it == position) {
            m_released.erase(it);
            break;
        }
    }
    position->released = false;
}

void CCMLEngMgr::DestroyOldestReleased()
{
    const EntryPosition oldest = m_released.back();
    m_released.pop_back();
    DestroyEntry(oldest);
}

void CCMLEngMgr::DestroyEntry(EntryPosition position)
{
    DestroyEngineOf(*position);
    m_entries.erase(position);
}

void CCMLEngMgr::DestroyEngineOf(CEntry& entry)
{
    if (!entry.reference)
        return;
    // The engine's destructor empties every reference to it, ours included.
    delete entry.reference->Get();
    entry.reference->Release();
}

bool CreateEngineManager()
{
    if (g_manager.load())
        return true;
    CCMLEngMgr* manager = new (std::nothrow) CCMLEngMgr;
    if (!manager)
        return false;
    manager->SetCacheLimit(CCMLEngMgr::kDefaultCacheLimit);
    return true;
}

void DestroyEngineManager()
{
    delete g_manager.load();
}

CCMLEngMgr* GetEngineManager()
{
    return g_manager.load();
}

bool IsColourManagerCreated()
{
    return g_manager.load() != nullptr;
}
