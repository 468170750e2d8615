#include "filters/fisheye/TlFisheyeLensCache.h"

#include "infra/TlSync.h"

#include <new>

namespace {

// The errors of the cache itself carry no module id.
constexpr KelvraTag kNoModule = 0;

IKelvraError* OutOfMemory(long line)
{
    return IKelvraError::Add(nullptr, kNoModule, line, kKelvraCategoryKelvra, kKelvraOutOfMemory);
}

} // namespace

CFisheyeFilter::CliManager& CFisheyeFilter::CliManager::Instance()
{
    static CliManager cache;
    return cache;
}

CFisheyeFilter::CliManager::CliManager()
{
    // Made first, so that the class lock outlives the cache at process end.
    CTlLensInformation::GetClassLock();
}

CFisheyeFilter::CliManager::~CliManager()
{
    Tl::CSyncLock guard(CTlLensInformation::GetClassLock());
    while (!m_entries.empty())
        Release(m_entries.begin());
}

std::size_t CFisheyeFilter::CliManager::GetEntryCount() const
{
    Tl::CSyncLock guard(CTlLensInformation::GetClassLock());
    return m_entries.size();
}

CFisheyeFilter::CliManager::EntryList::iterator CFisheyeFilter::CliManager::Find(const CLensCriteria& criteria)
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->criteria->Matches(criteria))
            return it;
    }
    return m_entries.end();
}

IKelvraError* CFisheyeFilter::CliManager::GetLensInformation(const CLensCriteria& criteria, CTlLensReference& lens)
{
    lens.Reset();
    {
        // Held while the object is found and referenced, so that a filter
        // letting go on another thread cannot destroy it in between.
        Tl::CSyncLock guard(CTlLensInformation::GetClassLock());
        auto found = Find(criteria);
        if (found != m_entries.end()) {
            if (!lens.PointAt(found->lens->Get()))
                return OutOfMemory(__LINE__);
            return nullptr;
        }
    }

    // Not cached: made and loaded outside the class lock. Nobody else can
    // see the new object before it is listed, and no other caller can list
    // one meanwhile (SetLens callers are serialised by the section lock).
    std::unique_ptr<CLensCriteria> key(new (std::nothrow) CLensCriteria(criteria));
    if (!key)
        return OutOfMemory(__LINE__);
    std::unique_ptr<CTlLensReference> own(new (std::nothrow) CTlLensReference);
    if (!own)
        return OutOfMemory(__LINE__);
    if (IKelvraError* error = CreateLensInformation(criteria, *own))
        return IKelvraError::AddWorker(nullptr, kNoModule, __LINE__, error);
    if (IKelvraError* error = LoadLensModel(criteria, *own)) {
        DestroyLens(*own);
        return IKelvraError::AddWorker(nullptr, kNoModule, __LINE__, error);
    }

    Entry entry{std::move(key), std::move(own)};
    Tl::CSyncLock guard(CTlLensInformation::GetClassLock());
    try {
        m_entries.push_front(std::move(entry)); // on failure `entry` keeps everything
    } catch (const std::bad_alloc&) {
        DestroyLens(*entry.lens);
        return OutOfMemory(__LINE__);
    }
    if (!lens.PointAt(m_entries.front().lens->Get())) {
        Release(m_entries.begin());
        return OutOfMemory(__LINE__);
    }
    return nullptr;
}

void CFisheyeFilter::CliManager::OnClientsChanged(CTlLensInformation* lens, int clientCount)
{
    // Runs under the class lock (the object tells while holding it). The
    // erase below destroys the object without unregistering anyone, so it
    // causes no further notices.
    if (clientCount > CTlLensInformation::GetKeepCount())
        return;
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->lens->Get() == lens) {
            Release(it);
            return;
        }
    }
}

void CFisheyeFilter::CliManager::Release(EntryList::iterator entry)
{
    DestroyLens(*entry->lens);
    m_entries.erase(entry);
}

void CFisheyeFilter::CliManager::DestroyLens(CTlLensReference& lens)
{
    CTlLensInformation* object = lens.Get();
    lens.Detach();
    delete object;
}
