// A tracked pointer: one pointer-sized slot that registers itself with the
// object it points to. The object counts its registered pointers (its
// reference count) and clears every one of them when it is destroyed, so a
// holder never keeps a dangling pointer.
//
// T offers AddReferencedObjectPointer(TReferencedObjectPointer<T>*) and
// RemoveReferencedObjectPointer(TReferencedObjectPointer<T>*), and calls
// ObjectGone on each registered pointer from its destructor.
//
// A pointer is not itself thread-safe: like a plain pointer, one owner
// assigns it at a time. The object's registry is guarded by the object.
#pragma once

template <typename T>
class TReferencedObjectPointer {
public:
    TReferencedObjectPointer() = default;
    explicit TReferencedObjectPointer(T* object) { Attach(object); }
    TReferencedObjectPointer(const TReferencedObjectPointer& other) { Attach(other.m_object); }
    ~TReferencedObjectPointer() { Detach(); }

    // Same object or same target: nothing happens. Otherwise leaves the old
    // target and registers with the new one (each only when not null).
    TReferencedObjectPointer& operator=(const TReferencedObjectPointer& other)
    {
        return *this = other.m_object;
    }
    TReferencedObjectPointer& operator=(T* object)
    {
        if (object != m_object) {
            Detach();
            Attach(object);
        }
        return *this;
    }

    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    bool operator==(const T* object) const { return m_object == object; }
    bool operator!=(const T* object) const { return m_object != object; }

    // Leaves the target (the pointer becomes empty).
    void Release() { Detach(); }

private:
    friend T;

    void Attach(T* object)
    {
        m_object = object;
        if (object)
            object->AddReferencedObjectPointer(this);
    }
    // The slot is emptied first: unregistering may destroy the target.
    void Detach()
    {
        T* object = m_object;
        m_object = nullptr;
        if (object)
            object->RemoveReferencedObjectPointer(this);
    }
    // Called by the target while it is destroyed.
    void ObjectGone() { m_object = nullptr; }

    T* m_object = nullptr;
};
