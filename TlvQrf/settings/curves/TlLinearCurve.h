// The chroma-by-hue curve: a bump curve with centred output, carrying the
// edited curve and a calibration curve that ships with the system. With
// mode 1 the first list (and first offset) is the edited, stored curve and
// the second list (and second offset) the calibration; with any other mode
// the first list is the one the calibration file fills.
#pragma once

#include "settings/curves/TlBumpCurveEditor.h"
#include "settings/curves/TlBumpPoint.h"
#include "settings/curves/TlCurveBase.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// LoadCalibration results.
enum : int {
    kTlCalibrationOk = 0,
    kTlCalibrationNoMemory = 1,
    kTlCalibrationUnreadable = 2, // could not be opened, positioned or read
    kTlCalibrationBadLength = 3,  // contents do not account for the length
};

// The calibration files in the shared profiles folder.
constexpr char kTlLchCalibrationFile[] = "TlLchCal.nlc";
constexpr char kTlChromaBoostCalibrationFile[] = "TlCBoost.nlc";

class CTlLinearCurve : public CTlCurveBase {
public:
    CTlLinearCurve(CTlLutGroup* owner, int elementId);
    // Deep copy of both lists; the copy is marked changed.
    CTlLinearCurve(const CTlLinearCurve& other);
    ~CTlLinearCurve() override;

    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    bool IsPointCurve() const override { return false; }
    bool IsLinearCurve() const override { return true; }
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
    // Resets the multiplier to 1 and clears the changed byte.
    int SetScale(ITlCurveEditView& view, int value) override;

    void Snapshot() override {}
    // First offsets, first-list counts, multipliers and first-list points.
    virtual bool Compare(const CTlLinearCurve& other) const;

    // The sampler over a given list and offset; flags bit 0 gives the
    // centred output. Returns count.
    int SampleList(void* table, int bytesPerEntry, int count, int levels, double start, double end,
                   int flags, const TlBumpPoint* points, int pointCount, double offset) const;
    // which != 0 samples with the first offset, else the second; the list is
    // the first when which equals the mode, else the second.
    int GetTable(int which, void* table, int bytesPerEntry, int count, int levels, int flags) const;

    // Reads a calibration file from the profiles folder into the
    // calibration list; null means the LCH editor's file.
    int LoadCalibration(const char* fileName);
    // The calibration file parser: the size the data accounts for.
    int ParseCalibration(const unsigned char* data, std::size_t length);

    // Takes the source's calibration curve as this curve's second list and
    // offset (used when the container adds a curve from a source).
    void CopyCalibrationFrom(const CTlLinearCurve& source);

    const std::vector<TlBumpPoint>& GetFirstList() const { return m_first; }
    const std::vector<TlBumpPoint>& GetSecondList() const { return m_second; }
    double GetFirstOffset() const { return m_firstOffset; }
    double GetSecondOffset() const { return m_secondOffset; }
    int GetMode() const { return m_mode; }
    int GetMultiplier() const { return m_multiplier; }
    bool IsChanged() const { return m_changed != 0; }
    // What the editor's last hover test and tracking left behind.
    const TlBumpEditorState& GetEditorState() const { return m_editor; }

private:
    // The shared bump-curve editor working on this curve.
    CTlBumpCurveEditor Editor();
    // With mode 1 the first list is the edited, stored curve and the second
    // the calibration; with any other mode the other way round.
    bool EditsFirstList() const { return m_mode == 1; }
    std::vector<TlBumpPoint>& StoredList() { return EditsFirstList() ? m_first : m_second; }
    const std::vector<TlBumpPoint>& StoredList() const { return EditsFirstList() ? m_first : m_second; }
    std::vector<TlBumpPoint>& CalibrationList() { return EditsFirstList() ? m_second : m_first; }
    const std::vector<TlBumpPoint>& CalibrationList() const { return EditsFirstList() ? m_second : m_first; }

    std::vector<TlBumpPoint> m_first;
    int m_mode = 1;
    std::vector<TlBumpPoint> m_second;
    double m_firstOffset = 0;
    double m_secondOffset = 0;
    int m_multiplier = 1; // the editor's vertical zoom, 1 or 2
    TlBumpEditorState m_editor;
    std::uint8_t m_changed = 1;
};
