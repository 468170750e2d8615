// The framework's registry of links: which destinations each source feeds
// and which filters each watcher watches. One lock guards it; it is never
// held while a callback runs, because callbacks connect, disconnect and
// notify in turn.
#include "kelvra/KelvraData.h"
#include "kelvra/KelvraFilter.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <new>
#include <vector>

namespace {

const KelvraTag kLinkTag = KelvraFourCC('K', 'L', 'n', 'k');

struct Registry {
    std::mutex lock;
    std::map<IKelvraDataSource*, std::vector<IKelvraDataDestination*>> destinations;
    std::map<IKelvraDataDestination*, std::vector<IKelvraDataSource*>> sources;
    std::map<IKelvraFilter*, std::vector<CKelvraFilterWatcher*>> watchers;
    std::map<CKelvraFilterWatcher*, std::vector<IKelvraFilter*>> watched;
    std::map<IKelvraDataSource*, std::vector<IKelvraSourceObserver*>> observers;
};

Registry& TheRegistry()
{
    static Registry* registry = new Registry; // outlives every static object that unlinks at exit
    return *registry;
}

template <typename Key, typename Value>
bool Contains(const std::map<Key, std::vector<Value>>& map, Key key, Value value)
{
    auto it = map.find(key);
    return it != map.end() && std::find(it->second.begin(), it->second.end(), value) != it->second.end();
}

template <typename Key, typename Value>
void Erase(std::map<Key, std::vector<Value>>& map, Key key, Value value)
{
    auto it = map.find(key);
    if (it == map.end())
        return;
    it->second.erase(std::remove(it->second.begin(), it->second.end(), value), it->second.end());
    if (it->second.empty())
        map.erase(it);
}

template <typename Key, typename Value>
std::vector<Value> Snapshot(Registry& registry, const std::map<Key, std::vector<Value>>& map, Key key)
{
    std::lock_guard<std::mutex> guard(registry.lock);
    auto it = map.find(key);
    return it == map.end() ? std::vector<Value>() : it->second;
}

bool Link(IKelvraDataSource* source, IKelvraDataDestination* destination)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    if (Contains(registry.destinations, source, destination))
        return false;
    registry.destinations[source].push_back(destination);
    registry.sources[destination].push_back(source);
    return true;
}

bool Unlink(IKelvraDataSource* source, IKelvraDataDestination* destination)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    if (!Contains(registry.destinations, source, destination))
        return false;
    Erase(registry.destinations, source, destination);
    Erase(registry.sources, destination, source);
    return true;
}

} // namespace

IKelvraError* KelvraDataConnect(IKelvraDataSource* source, IKelvraDataDestination* destination)
{
    if (!source || !destination)
        return KELVRA_ERROR(nullptr, kLinkTag, kKelvraMissingObject);
    if (IKelvraError* error = source->KelvraAddDataDestinationCheck(destination))
        return KELVRA_WRAP(nullptr, kLinkTag, error);
    if (IKelvraError* error = destination->KelvraAddDataSourceCheck(source))
        return KELVRA_WRAP(nullptr, kLinkTag, error);
    try {
        if (!Link(source, destination))
            return KELVRA_ERROR(nullptr, kLinkTag, kKelvraBadArgument);
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kLinkTag, kKelvraOutOfMemory);
    }
    source->KelvraAddedDataDestination(destination);
    destination->KelvraAddedDataSource(source);
    return nullptr;
}

IKelvraError* KelvraDataDisconnect(IKelvraDataSource* source, IKelvraDataDestination* destination)
{
    if (!source || !destination)
        return KELVRA_ERROR(nullptr, kLinkTag, kKelvraMissingObject);
    if (!KelvraIsConnected(source, destination))
        return KELVRA_ERROR(nullptr, kLinkTag, kKelvraBadArgument);
    if (IKelvraError* error = source->KelvraRemoveDataDestinationCheck(destination))
        return KELVRA_WRAP(nullptr, kLinkTag, error);
    if (IKelvraError* error = destination->KelvraRemoveDataSourceCheck(source))
        return KELVRA_WRAP(nullptr, kLinkTag, error);
    if (!Unlink(source, destination))
        return KELVRA_ERROR(nullptr, kLinkTag, kKelvraBadArgument);
    source->KelvraRemovedDataDestination(destination);
    destination->KelvraRemovedDataSource(source);
    return nullptr;
}

bool KelvraIsConnected(IKelvraDataSource* source, IKelvraDataDestination* destination)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    return Contains(registry.destinations, source, destination);
}

long KelvraDestinationCount(IKelvraDataSource* source)
{
    return long(Snapshot(TheRegistry(), TheRegistry().destinations, source).size());
}

IKelvraError* KelvraForwardDataNotification(IKelvraDataSource* source, IKelvraDataSource* sender, long code,
                                            void* data)
{
    if (!source)
        return KELVRA_ERROR(nullptr, kLinkTag, kKelvraMissingObject);
    IKelvraError* errors = nullptr;
    try {
        for (IKelvraDataDestination* destination : Snapshot(TheRegistry(), TheRegistry().destinations, source)) {
            // A destination may have been unlinked by an earlier one's handler.
            if (!KelvraIsConnected(source, destination))
                continue;
            if (IKelvraError* error = destination->KelvraNotify(sender ? sender : source, code, data))
                errors = KELVRA_WRAP(errors, kLinkTag, error);
        }
    } catch (const std::bad_alloc&) {
        errors = KELVRA_ERROR(errors, kLinkTag, kKelvraOutOfMemory);
    }
    return errors;
}

IKelvraError* KelvraSendDataNotification(IKelvraDataSource* source, long code, void* data)
{
    return KelvraForwardDataNotification(source, source, code, data);
}

bool KelvraObserveSource(IKelvraDataSource* source, IKelvraSourceObserver* observer)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    if (!source || !observer || Contains(registry.observers, source, observer))
        return false;
    registry.observers[source].push_back(observer);
    return true;
}

void KelvraUnobserveSource(IKelvraDataSource* source, IKelvraSourceObserver* observer)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    Erase(registry.observers, source, observer);
}

IKelvraDataSource::~IKelvraDataSource()
{
    KelvraDataSourceGoing(this);
}

void KelvraDataSourceGoing(IKelvraDataSource* source)
{
    for (IKelvraSourceObserver* observer : Snapshot(TheRegistry(), TheRegistry().observers, source)) {
        KelvraUnobserveSource(source, observer);
        observer->KelvraSourceDestroyed(source);
    }
    for (IKelvraDataDestination* destination : Snapshot(TheRegistry(), TheRegistry().destinations, source)) {
        if (!Unlink(source, destination))
            continue;
        IKelvraError::Release(destination->KelvraNotify(source, kKelvraNotifyDestroyed, nullptr));
        destination->KelvraRemovedDataSource(source);
    }
}

IKelvraDataDestination::~IKelvraDataDestination()
{
    for (IKelvraDataSource* source : Snapshot(TheRegistry(), TheRegistry().sources, this)) {
        if (Unlink(source, this))
            source->KelvraRemovedDataDestination(this);
    }
}

IKelvraError* IKelvraDataSource::KelvraAddDataDestinationCheck(IKelvraDataDestination*)
{
    return nullptr;
}
IKelvraError* IKelvraDataSource::KelvraRemoveDataDestinationCheck(IKelvraDataDestination*)
{
    return nullptr;
}
void IKelvraDataSource::KelvraAddedDataDestination(IKelvraDataDestination*) {}
void IKelvraDataSource::KelvraRemovedDataDestination(IKelvraDataDestination*) {}

IKelvraError* IKelvraDataDestination::KelvraAddDataSourceCheck(IKelvraDataSource*)
{
    return nullptr;
}
IKelvraError* IKelvraDataDestination::KelvraRemoveDataSourceCheck(IKelvraDataSource*)
{
    return nullptr;
}
void IKelvraDataDestination::KelvraAddedDataSource(IKelvraDataSource*) {}
void IKelvraDataDestination::KelvraRemovedDataSource(IKelvraDataSource*) {}

// Watchers.

long KelvraWatchLink(IKelvraFilter* filter, CKelvraFilterWatcher* watcher)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    if (Contains(registry.watchers, filter, watcher))
        return kKelvraBadArgument;
    try {
        registry.watchers[filter].push_back(watcher);
        registry.watched[watcher].push_back(filter);
    } catch (const std::bad_alloc&) {
        Erase(registry.watchers, filter, watcher); // leave no half link behind
        Erase(registry.watched, watcher, filter);
        return kKelvraOutOfMemory;
    }
    return 0;
}

bool KelvraWatchUnlink(IKelvraFilter* filter, CKelvraFilterWatcher* watcher)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    if (!Contains(registry.watchers, filter, watcher))
        return false;
    Erase(registry.watchers, filter, watcher);
    Erase(registry.watched, watcher, filter);
    return true;
}

bool KelvraWatchersOf(IKelvraFilter* filter, std::vector<CKelvraFilterWatcher*>& watchers)
{
    try {
        watchers = Snapshot(TheRegistry(), TheRegistry().watchers, filter);
        return true;
    } catch (const std::bad_alloc&) {
        watchers.clear();
        return false;
    }
}

void KelvraWatchFilterGone(IKelvraFilter* filter)
{
    // Under the lock and without a copy: a destructor calls it, and nothing may fail here.
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    auto it = registry.watchers.find(filter);
    if (it == registry.watchers.end())
        return;
    for (CKelvraFilterWatcher* watcher : it->second)
        Erase(registry.watched, watcher, filter);
    registry.watchers.erase(it);
}

CKelvraFilterWatcher::CKelvraFilterWatcher() = default;

CKelvraFilterWatcher::~CKelvraFilterWatcher()
{
    for (IKelvraFilter* filter : Snapshot(TheRegistry(), TheRegistry().watched, this))
        KelvraWatchUnlink(filter, this);
}

IKelvraError* CKelvraFilterWatcher::KelvraFilterStartWatching(IKelvraFilter* filter)
{
    if (!filter)
        return KELVRA_ERROR(nullptr, kLinkTag, kKelvraMissingObject);
    return filter->AddWatcher(this);
}

IKelvraError* CKelvraFilterWatcher::KelvraFilterStopWatching(IKelvraFilter* filter)
{
    if (!filter)
        return KELVRA_ERROR(nullptr, kLinkTag, kKelvraMissingObject);
    return filter->RemoveWatcher(this);
}

bool CKelvraFilterWatcher::IsWatching(IKelvraFilter* filter) const
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    return Contains(registry.watched, const_cast<CKelvraFilterWatcher*>(this), filter);
}
