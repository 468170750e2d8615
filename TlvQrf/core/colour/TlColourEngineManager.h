// The process-wide colour-engine manager: hands out colour engines by
// (source, destination) profile pair, shares one engine between all users of
// a pair and keeps up to four engines that nobody uses any more, most
// recently released first, so that a pair that comes back finds its engine
// ready. The manager is each engine's IMgr: an engine tells it when only the
// manager's own reference is left.
//
// The preview chain on the host's thread and the save worker ask for engines
// and drop their references at the same time, so the entry list and the
// released queue are guarded by one (recursive) lock.
#pragma once

#include "filtrix/KelvraFilterCMLEngine.h"
#include "infra/TlSync.h"

#include <cstddef>
#include <deque>
#include <list>
#include <memory>

class CKelvraFilterCML;

constexpr KelvraTag kTlEngineManagerTag = KelvraFourCC('C', 'E', 'M', 'g');

class CCMLEngMgr final : public CKelvraFilterCMLEngine::IMgr {
public:
    using CReference = CKelvraFilterCMLEngine::CReference;

    // The cache key: both full profile paths, compared byte for byte (letter
    // case counts).
    struct CCMLCriteria {
        char source[MAX_PATH] = {};
        char destination[MAX_PATH] = {};

        // Copies both texts, cut to fit the buffers with their terminator.
        void Assign(const char* sourcePath, const char* destinationPath);
        bool operator==(const CCMLCriteria& other) const;
    };

    static constexpr long kDefaultCacheLimit = 4;

    CCMLEngMgr();
    // Destroys every engine it owns, newest first.
    ~CCMLEngMgr();
    CCMLEngMgr(const CCMLEngMgr&) = delete;
    CCMLEngMgr& operator=(const CCMLEngMgr&) = delete;

    // Points `ref` at an engine set up for the pair (it leaves whatever it
    // pointed at first). On failure `ref` is empty and the manager keeps no
    // entry for the pair.
    IKelvraError* GetEngine(const char* source, const char* destination, CReference& ref);
    // How many released engines may wait for reuse; trims the waiting ones.
    void SetCacheLimit(long limit);
    void OnReferencesReleased(CKelvraFilterCMLEngine* engine, long count) override;

    // Engines owned, and of those the ones waiting without an outside user.
    std::size_t GetEngineCount() const;
    std::size_t GetReleasedCount() const;

private:
    struct CEntry {
        std::unique_ptr<CCMLCriteria> criteria;
        std::unique_ptr<CReference> reference; // the manager's own reference
        bool released = false;
    };
    using EntryList = std::list<CEntry>;
    using EntryPosition = EntryList::iterator;

    IKelvraError* FindOrMakeEngine(const CCMLCriteria& wanted, CReference& ref);
    // An entry for a pair not in the list: the least recently released one,
    // taken out of the list and queue, or a new empty one.
    IKelvraError* TakeSpareEntry(CEntry& entry);
    IKelvraError* SetUpEngine(CKelvraFilterCMLEngine* engine, const CCMLCriteria& criteria) const;
    EntryPosition FindByCriteria(const CCMLCriteria& wanted);
    EntryPosition FindByEngine(const CKelvraFilterCMLEngine* engine);
    void ReleaseEntry(EntryPosition position);
    void RemoveFromReleased(EntryPosition position);
    void DestroyEntry(EntryPosition position);
    void DestroyOldestReleased();
    static void DestroyEngineOf(CEntry& entry);

    mutable Tl::CSyncCritical m_lock;
    EntryList m_entries;                   // newest first
    long m_cacheLimit = kDefaultCacheLimit;
    std::deque<EntryPosition> m_released;  // most recently released at the front
};

// The single manager: made by the global filter watcher's constructor at
// start-up and destroyed by its destructor. False when it cannot be made.
bool CreateEngineManager();
void DestroyEngineManager();
CCMLEngMgr* GetEngineManager();
bool IsColourManagerCreated();

// Front ends over the single manager; the answer says whether `ref` holds
// an engine for the pair. The manager's error goes to `why` when given (the
// caller releases it), else it is released.
bool RequestEngine(CCMLEngMgr::CReference& ref, const char* source, const char* destination,
                   IKelvraError** why = nullptr);
// The destination is slot `slot` (0 to 4) of the working-profile table.
bool RequestEngineToWorkingProfile(CCMLEngMgr::CReference& ref, const char* source, int slot);

// Whether a colour filter changes anything: it has an engine and either
// look-up tables that act or two different profiles.
bool IsColourFilterActive(CKelvraFilterCML* filter);
