// A set of curve elements stored as one record: a master tone curve
// (element 0) and channel elements. The edit settings hold three: the tone
// curves (kind 1), brightness and contrast (kind 2) and the LCH set (kind 3:
// master, lightness, chroma by hue, hue).
#pragma once

#include "settings/curves/TlCurveBase.h"
#include "settings/curves/TlLut.h"
#include "settings/record/TlState.h"

#include <memory>
#include <vector>

class CTlPointCurve;
class CTlLinearCurve;
struct STlLutGroupReading;

enum : int {
    kTlLutGroupToneCurves = 1,
    kTlLutGroupBrightnessContrast = 2,
    kTlLutGroupLch = 3,
};

class CTlLutGroup : public ITlState {
public:
    CTlLutGroup();
    CTlLutGroup(const CTlLutGroup&) = delete;
    CTlLutGroup& operator=(const CTlLutGroup&) = delete;

    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;
    virtual ~CTlLutGroup();
    virtual int GetModifiedFlags(int mask) const;
    virtual void SetKind(int kind) { m_kind = kind; }
    virtual int GetKind() const { return m_kind; }

    // Deep copy; a failed copy leaves this container unchanged.
    void Assign(const CTlLutGroup& other);
    bool IsEqual(const CTlLutGroup& other) const;
    void RemoveChannels();
    // Deletes every element, the master too; no element is current, so
    // the next one appended becomes current.
    void RemoveAll();
    // -1: the current element. Null outside the list.
    CTlCurveBase* GetAt(int index) const;
    // -1: the current element; else the first with that element id.
    CTlCurveBase* Find(int id) const;
    void Reset(bool contrastToo);
    bool IsDefault() const;
    // Appended elements; null (nothing added) when memory runs out.
    CTlPointCurve* AddPointCurve(int id);
    CTlLinearCurve* AddLinearCurve(int id, const CTlLinearCurve* source);
    CTlLut* AddLut(int id, const TlLutColour& colour1, const TlLutColour& colour2, const TlLutColour& colour3);

    int GetCount() const { return static_cast<int>(m_elements.size()); }
    int GetCurrentElement() const { return m_current; }
    void SetCurrentElement(int index) { m_current = index; }
    // A base-2 logarithm: the contrast factor is 2^contrast.
    double GetContrast() const { return m_contrast; }
    void SetContrast(double contrast) { m_contrast = contrast; }
    double GetSnapshotContrast() const { return m_snapshotContrast; }
    void SetSnapshotContrast(double contrast) { m_snapshotContrast = contrast; }

private:
    // Takes the element at the end; false (element deleted) when memory runs out.
    bool Append(std::unique_ptr<CTlCurveBase> element);
    void DeleteElements();
    // The stored elements read by Load; false when the block is refused.
    bool ReadElements(const unsigned char* buffer, int size, STlLutGroupReading& reading);
    // Elements of the same shape take what was read, so that their pointers
    // stay valid; false when the shape differs or one of them refuses.
    bool ReloadInPlace(const STlLutGroupReading& reading);
    void TakeElements(STlLutGroupReading& reading);

    std::vector<CTlCurveBase*> m_elements;
    int m_kind = kTlLutGroupToneCurves;
    int m_current = 0;
    double m_contrast = 0.0;
    double m_snapshotContrast = 0.0;
};
