// A counted reference to a lens information object: it registers itself as
// a client of the object it points at and unregisters when it lets go, so
// the object's client count is the number of references to it.
#pragma once

class CTlLensInformation;

class CTlLensReference {
public:
    CTlLensReference() = default;
    ~CTlLensReference() { Reset(); }
    // The reference itself is the registered client: it cannot be copied
    // or moved.
    CTlLensReference(const CTlLensReference&) = delete;
    CTlLensReference& operator=(const CTlLensReference&) = delete;

    // Lets go of the current object, then registers with `lens` (null: none).
    // False when the registration failed for want of memory; the reference
    // then points at nothing.
    bool PointAt(CTlLensInformation* lens);
    // Unregisters. The object's manager, or the object itself, may destroy
    // it here.
    void Reset();
    // Forgets the object without unregistering, for an object that its
    // owner is about to destroy.
    void Detach() { m_lens = nullptr; }

    CTlLensInformation* Get() const { return m_lens; }

private:
    CTlLensInformation* m_lens = nullptr;
};
