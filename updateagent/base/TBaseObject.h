// Reference-counted root of the agent's window, control, thread and task
// classes. Counts are plain arithmetic: an object is shared within one
// thread, or handed over whole to another thread.
#pragma once

#include <map>

class TBaseObject {
public:
    TBaseObject() = default;
    TBaseObject(const TBaseObject&) = delete;
    TBaseObject& operator=(const TBaseObject&) = delete;
    virtual ~TBaseObject() = default;

    virtual long AddRef();
    // Deletes the object when the last reference goes; answers the new count.
    virtual long Release();

    long RefCount() const { return m_refCount; }

private:
    long m_refCount = 1;
};

// The process-wide registry of keyed objects; a released object is taken out
// of it before it is deleted.
class TObjectManager {
public:
    virtual ~TObjectManager() = default;

    // Made at first use, one per process.
    static TObjectManager& Instance();

    void Remove(TBaseObject* object);

private:
    TObjectManager() = default;

    std::map<int, TBaseObject*> m_objects;
    int m_cachedKey = 0;
    TBaseObject* m_cachedObject = nullptr;
};
