// The hue curve: a bump curve whose circular output moves each input hue by
// half the curve value.
#pragma once

#include "settings/curves/TlBumpCurveEditor.h"
#include "settings/curves/TlBumpPoint.h"
#include "settings/curves/TlCurveBase.h"

#include <cstdint>
#include <vector>

class CTlPointCurve : public CTlCurveBase {
public:
    CTlPointCurve(CTlLutGroup* owner, int elementId);
    // Deep copy; the copy is marked changed.
    CTlPointCurve(const CTlPointCurve& other);
    ~CTlPointCurve() override;

    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    bool IsPointCurve() const override { return true; }
    bool IsLinearCurve() const override { return false; }
    int GetCount() const override;
    int GetModifiedFlags(int mask) const override;
    int Reset(bool first, bool second) override;

    int Track(ITlCurveEditView& view, POINT mouse) override;
    int MouseDown(ITlCurveEditView& view, POINT mouse) override;
    int MouseUp(ITlCurveEditView& view) override;
    int InsertPoint() override;
    int DeletePoint() override;
    int SelectNext() override;
    int SelectPrevious() override;
    int ValueUp(ITlCurveEditView& view) override;
    int ValueDown(ITlCurveEditView& view) override;
    int PositionLeft(ITlCurveEditView& view) override;
    int PositionRight(ITlCurveEditView& view) override;
    int SecondaryDown(ITlCurveEditView& view) override;
    int SecondaryUp(ITlCurveEditView& view) override;
    int TertiaryDown(ITlCurveEditView& view) override;
    int TertiaryUp(ITlCurveEditView& view) override;
    int OffsetUp(ITlCurveEditView& view) override;
    int OffsetDown(ITlCurveEditView& view) override;
    int SetScale(ITlCurveEditView& view, int value) override;

    // Does nothing: a bump curve keeps no snapshot.
    void Snapshot() override {}
    // True when offsets, counts, scales and every point are equal.
    virtual bool Compare(const CTlPointCurve& other) const;

    // Samples the curve into `count` entries of `bytesPerEntry` (1, 2, 4 or
    // 8) at start + (end - start) * j / count; flags bit 0 gives the
    // circular hue output. Returns count.
    int FillTable(void* table, int bytesPerEntry, int count, int levels, double start, double end,
                  int flags) const;
    // FillTable over one turn, positions 0 to 1, with the circular output.
    int FillTableDefault(void* table, int bytesPerEntry, int count, int levels, int flags) const;

    const std::vector<TlBumpPoint>& GetPoints() const { return m_points; }
    double GetOffset() const { return m_offset; }
    int GetScale() const { return m_scale; }
    bool IsChanged() const { return m_changed != 0; }
    // What the editor's last hover test and tracking left behind.
    const TlBumpEditorState& GetEditorState() const { return m_editor; }

private:
    // The shared bump-curve editor working on this curve.
    CTlBumpCurveEditor Editor();
    std::vector<TlBumpPoint> m_points;
    double m_offset = 0;
    int m_scale = 1; // the editor's vertical zoom, 1..3
    TlBumpEditorState m_editor;
    std::uint8_t m_changed = 1;
};
