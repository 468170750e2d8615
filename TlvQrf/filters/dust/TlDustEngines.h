// What the edit settings' dust record asks of the dust engines: the
// reference that reads a stored dust reference, the analyzer that adapts it
// to one picture and the map that turns it into the picture's correction
// mask. The engines implement these; the record reaches them only through
// the factory registered with it (settings/dust/TlDustEngineRegistry.h), so
// it never depends on how they work.
#pragma once

#include "kelvra/KelvraError.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class IKelvraDataSource;
class IKelvraManager;
class IKelvraTagControl;

class IDustReference {
public:
    virtual ~IDustReference() = default;

    // Reads a stored reference; on failure nothing of the reference changes.
    virtual IKelvraError* Load(std::size_t size, const unsigned char* bytes) = 0;
};

// Stepped engines: Step runs one step and reports how far the work is (done
// out of total); the work is finished when done reaches total. Abort ends
// unfinished work and returns the engine to idle.
class IDustAnalyzer {
public:
    virtual ~IDustAnalyzer() = default;

    // `tags` are the picture's capture tags, from which the analyzer reads
    // the picture's shooting values.
    virtual IKelvraError* Begin(IDustReference* reference, IKelvraTagControl* tags) = 0;
    virtual IKelvraError* Step(long& done, long& total) = 0;
    virtual IKelvraError* Abort() = 0;
};

class IDustMap;

// Told when a map it holds is destroyed (the dust record deletes its map on
// a new analysis, a reset or a copy while a chain's filter may still point
// at it). The holder must not call the map from there.
class IDustMapHolder {
public:
    virtual void DustMapDestroyed(IDustMap* map) = 0;

protected:
    ~IDustMapHolder() = default;
};

class IDustMap {
public:
    IDustMap() = default;
    IDustMap(const IDustMap&) = delete;
    IDustMap& operator=(const IDustMap&) = delete;
    // Tells every holder still registered.
    virtual ~IDustMap();

    // Holders that point at the map without owning it register here and
    // unregister before they stop holding it.
    void AddHolder(IDustMapHolder* holder);
    void RemoveHolder(IDustMapHolder* holder);

    // `picture` is the picture's data source; the two flags select plain
    // luminance sums and a linear picture.
    virtual IKelvraError* Begin(IDustAnalyzer* analyzer, IKelvraDataSource* picture, long plainLuminance,
                                long linearPicture) = 0;
    virtual IKelvraError* Step(long& done, long& total) = 0;
    virtual IKelvraError* Abort() = 0;

    // The size of the map's stored record; 0 while the map is not finished.
    virtual std::size_t GetStoredSize() const = 0;
    // Writes the stored record; fails when the map is not finished or
    // `capacity` is below the stored size.
    virtual IKelvraError* Store(std::size_t capacity, unsigned char* buffer) const = 0;
    // Reads a stored record; on success the map is finished.
    virtual IKelvraError* Load(std::size_t size, const unsigned char* bytes) = 0;

    // The correction mask that the dust filter applies (one byte per pixel);
    // null while the map is not finished, and for a finished map that found
    // nothing to correct. An engine that makes no mask keeps this default.
    virtual IKelvraDataSource* GetCorrectionMask() const { return nullptr; }
    // The tone table pair of a finished map: the forward part from the
    // start, the inverse part in the last 65536 entries; null (and a count
    // of 0) while there is none.
    virtual const std::uint16_t* GetToneTable(std::size_t* count) const
    {
        *count = 0;
        return nullptr;
    }

private:
    std::mutex m_holdersLock;
    std::vector<IDustMapHolder*> m_holders;
};

inline IDustMap::~IDustMap()
{
    std::vector<IDustMapHolder*> holders;
    {
        std::lock_guard<std::mutex> lock(m_holdersLock);
        holders.swap(m_holders);
    }
    for (IDustMapHolder* holder : holders)
        holder->DustMapDestroyed(this);
}

inline void IDustMap::AddHolder(IDustMapHolder* holder)
{
    std::lock_guard<std::mutex> lock(m_holdersLock);
    m_holders.push_back(holder);
}

inline void IDustMap::RemoveHolder(IDustMapHolder* holder)
{
    std::lock_guard<std::mutex> lock(m_holdersLock);
    for (auto it = m_holders.begin(); it != m_holders.end(); ++it) {
        if (*it == holder) {
            m_holders.erase(it);
            return;
        }
    }
}

// Makes engines for an imaging manager; null when memory runs out.
class IDustEngineFactory {
public:
    virtual std::unique_ptr<IDustReference> CreateReference(IKelvraManager* manager) = 0;
    virtual std::unique_ptr<IDustAnalyzer> CreateAnalyzer(IKelvraManager* manager) = 0;
    virtual std::unique_ptr<IDustMap> CreateMap(IKelvraManager* manager) = 0;

protected:
    ~IDustEngineFactory() = default;
};
