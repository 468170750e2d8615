// The lens model cache of the fisheye filters: one lens information object
// per lens model, loaded from the lens's data file on first use and shared
// by every fisheye filter of the process. Each filter holds a counted
// reference; when only the cache's own reference is left, the cache
// destroys the object, so a later filter loads the file again.
//
// Locks: CFisheyeFilter::SetLens serialises its callers with the section
// lock "CFisheyeFilter-InitSection"; the list is guarded by the lens
// information class lock, which is also held whenever an object tells the
// cache of a change of its clients. The order is always section lock, then
// class lock.
#pragma once

#include "filters/fisheye/TlFisheyeFilter.h"
#include "settings/lens/TlLensInformation.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>

// The cache key: the lens model code.
class CFisheyeFilter::CLensCriteria {
public:
    explicit CLensCriteria(std::uint8_t lensCode) : m_lensCode(lensCode) {}

    std::uint8_t GetLensCode() const { return m_lensCode; }
    bool Matches(const CLensCriteria& other) const { return m_lensCode == other.m_lensCode; }

private:
    std::uint8_t m_lensCode;
};

class CFisheyeFilter::CliManager : public CTlLensInformation::IMgr {
public:
    // The process-wide cache, made on first use and emptied when the
    // process ends.
    static CliManager& Instance();

    CliManager();
    ~CliManager();
    CliManager(const CliManager&) = delete;
    CliManager& operator=(const CliManager&) = delete;

    // Points `lens` at the cached object of `criteria`, loading it first when
    // the cache has none. On failure `lens` points at nothing.
    IKelvraError* GetLensInformation(const CLensCriteria& criteria, CTlLensReference& lens);

    // The release hook: an object that only the cache still refers to (a
    // count at or below the keep count) is erased with its entry.
    void OnClientsChanged(CTlLensInformation* lens, int clientCount) override;

    std::size_t GetEntryCount() const;

private:
    struct Entry {
        std::unique_ptr<CLensCriteria> criteria;
        std::unique_ptr<CTlLensReference> lens; // the cache's own reference
    };
    using EntryList = std::list<Entry>;

    EntryList::iterator Find(const CLensCriteria& criteria);
    // Destroys the entry's object and the entry. Under the class lock.
    void Release(EntryList::iterator entry);

    static IKelvraError* CreateLensInformation(const CLensCriteria& criteria, CTlLensReference& lens);
    static IKelvraError* LoadLensModel(const CLensCriteria& criteria, CTlLensReference& lens);
    // Destroys the object that `lens` alone refers to, without telling anyone.
    static void DestroyLens(CTlLensReference& lens);

    EntryList m_entries; // newest first
};
