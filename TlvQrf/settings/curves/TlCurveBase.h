// The common base of the curve elements a curve container holds: tone
// curves (CTlLut) and the periodic bump curves of the hue circle
// (CTlPointCurve, CTlLinearCurve). Every element is a settings record that
// starts its stored form with a 20-byte header (the class id and the element
// id) and carries the editing logic of a curve editor.
#pragma once

#include "settings/curves/TlCurveEditView.h"
#include "settings/record/TlState.h"

#include <cstdint>

class CTlLutGroup;

// Element ids the system uses: 0 the master tone curve, 1-3 the channels.
// A loader's new element has -1 until its stored id is read.
enum : int {
    kTlElementMaster = 0,
    kTlElementUnread = -1,
};

namespace TlCurveLayout {
constexpr int kElementHeaderSize = 20; // the id, then the element id (int32)
}

class CTlCurveBase : public ITlState {
public:
    // Slots 1 and 2 here handle the element header; the derived classes
    // call them first. Save writes what fits and returns 20; Load returns 0
    // for a short block or another id, else reads the element id (when
    // present), sets the current point to -1 and returns 20.
    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override = 0;
    virtual ~CTlCurveBase();

    virtual bool IsPointCurve() const = 0;
    virtual bool IsLinearCurve() const = 0;
    virtual int GetCount() const = 0;
    // What differs from the defaults, AND mask.
    virtual int GetModifiedFlags(int mask) const = 0;
    virtual int Reset(bool first, bool second) = 0;

    // Editing: each returns the hit code of what it found or changed.
    virtual int Track(ITlCurveEditView& view, POINT mouse) = 0;
    virtual int MouseDown(ITlCurveEditView& view, POINT mouse) = 0;
    virtual int MouseUp(ITlCurveEditView& view) = 0;
    virtual int InsertPoint() = 0;
    virtual int DeletePoint() = 0;
    virtual int SelectNext() = 0;
    virtual int SelectPrevious() = 0;
    virtual int ValueUp(ITlCurveEditView& view) = 0;
    virtual int ValueDown(ITlCurveEditView& view) = 0;
    virtual int PositionLeft(ITlCurveEditView& view) = 0;
    virtual int PositionRight(ITlCurveEditView& view) = 0;
    virtual int SecondaryDown(ITlCurveEditView& view) = 0;
    virtual int SecondaryUp(ITlCurveEditView& view) = 0;
    virtual int TertiaryDown(ITlCurveEditView& view) = 0;
    virtual int TertiaryUp(ITlCurveEditView& view) = 0;
    virtual int OffsetUp(ITlCurveEditView& view) = 0;
    virtual int OffsetDown(ITlCurveEditView& view) = 0;
    virtual int SetScale(ITlCurveEditView& view, int value) = 0;

    virtual void Snapshot() = 0;

    CTlLutGroup* GetOwner() const { return m_owner; }
    void SetOwner(CTlLutGroup* owner) { m_owner = owner; }
    int GetElementId() const { return m_elementId; }
    void SetElementId(int id) { m_elementId = id; }
    // The point editing acts on; -1 for none.
    int GetCurrentPoint() const { return m_currentPoint; }
    void SetCurrentPoint(int index) { m_currentPoint = index; }

protected:
    CTlCurveBase(CTlLutGroup* owner, int elementId, int currentPoint);
    CTlCurveBase(const CTlCurveBase& other) = default;
    CTlCurveBase& operator=(const CTlCurveBase&) = delete;

    CTlLutGroup* m_owner;
    int m_elementId;
    int m_currentPoint;
};
