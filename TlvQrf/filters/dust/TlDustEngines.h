// What the edit settings' dust record asks of the dust engines: the
// reference that reads a stored dust reference, the analyzer that adapts it
// to one picture and the map that turns it into the picture's correction
// mask. The engines implement these; the record reaches them only through
// the factory registered with it (settings/dust/TlDustEngineRegistry.h), so
// it never depends on how they work.
#pragma once

#include "kelvra/KelvraError.h"

#include <cstddef>
#include <memory>

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

class IDustMap {
public:
    virtual ~IDustMap() = default;

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
};

// Makes engines for an imaging manager; null when memory runs out.
class IDustEngineFactory {
public:
    virtual std::unique_ptr<IDustReference> CreateReference(IKelvraManager* manager) = 0;
    virtual std::unique_ptr<IDustAnalyzer> CreateAnalyzer(IKelvraManager* manager) = 0;
    virtual std::unique_ptr<IDustMap> CreateMap(IKelvraManager* manager) = 0;

protected:
    ~IDustEngineFactory() = default;
};
