// The tone-curve element: input levels (black, midtone gamma, white), a
// natural spline through control points, output levels and a brightness
// exponent, with an optional histogram to display and a sample table that
// maps values before or after the curve. The master of a container has
// element id 0; channels are evaluated through the master when asked.
#pragma once

#include "settings/curves/TlCurveBase.h"

#include <cstdint>
#include <vector>

// Evaluate flags.
enum : int {
    kTlLutUseSnapshot = 0x01,   // snapshot blocks and the snapshot contrast
    kTlLutThroughMaster = 0x02, // channels go on through the master
    kTlLutInputLevels = 0x04,
    kTlLutOutputLevels = 0x08,
    kTlLutCurve = 0x10,         // the points; else the identity
    kTlLutGamma = 0x20,
    kTlLutContrast = 0x40,      // contrast (master) and brightness exponents
    kTlLutSamples = 0x80,
};

// An RGB colour the editor draws an element with; stored, never read here.
struct TlLutColour {
    std::int32_t red;
    std::int32_t green;
    std::int32_t blue;
};

// A control point with its spline values; slope is the one evaluation
// reads, the others are the solver's working values.
struct TlLutPoint {
    double x;
    double y;
    double work[3];
    double slope;
};

// Everything a snapshot copies.
struct TlLutParams {
    double black = 0.0;
    double gamma = 1.0;
    double white = 1.0;
    double outputLow = 0.0;
    double outputHigh = 1.0;
    std::vector<TlLutPoint> points;
    std::uint8_t slopesStale = 0;
    double brightness = 0.0; // results are raised to 2^-brightness
};

struct TlLutEditorState {
    int hitIndex = 0;
    int hitCode = 0;
    std::uint8_t changed = 0;
    double readoutX = 0;
    double readoutY = 0;
};

class CTlLut : public CTlCurveBase {
public:
    CTlLut(CTlLutGroup* owner, int elementId, const TlLutColour& colour1, const TlLutColour& colour2,
           const TlLutColour& colour3);
    // Deep copy of points, snapshot, histogram and samples.
    CTlLut(const CTlLut& other);
    ~CTlLut() override;

    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    bool IsPointCurve() const override { return false; }
    bool IsLinearCurve() const override { return false; }
    int GetCount() const override;
    int GetModifiedFlags(int mask) const override;
    // Default levels and the identity pair of points (a tone curve always
    // keeps two, whatever `second` says); brightness 0 when `first` is set.
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

    // Copies the live parameters into the snapshot block.
    void Snapshot() override;
    // The point's x and y when index < count; the outputs stay otherwise.
    virtual void GetPoint(int index, double& x, double& y) const;
    // Adds or replaces the point at input level x; its index, 0 when the
    // maximum is reached, -1 when memory runs out.
    virtual int AddPoint(double x, double y);
    virtual void SetMaxPoints(int count);
    virtual bool Compare(const CTlLut& other) const;

    // Removes every control point (a curve read from elsewhere then adds its own).
    void ClearPoints();
    // Level setters for curves read from elsewhere; each marks the element changed.
    void SetInputLevels(double black, double white);
    void SetOutputLevels(double low, double high);
    bool IsGammaInRange(double gamma) const { return gamma >= m_gammaMin && gamma <= m_gammaMax; }
    // Sets gamma limited to its range; true when it had to be limited.
    bool SetClampedParam(double gamma);
    // The midtone slider's place between black (0) and white (1).
    bool SetMidtonePosition(double position);
    void SetHistogram(const std::uint32_t* bins, int count);
    // type 1: unsigned bytes, 2: unsigned 16-bit. 0, or 1 out of memory.
    int SetSamples(const void* samples, int type, int count, int levels, std::uint8_t kind);
    // Writes `count` entries for positions start..end (both ends included);
    // returns count.
    int Evaluate(void* table, int bytesPerEntry, int count, int levels, double start, double end,
                 int flags, double power);
    // Evaluate over the whole input range, positions 0 to 1.
    int EvaluateDefault(void* table, int bytesPerEntry, int count, int levels, int flags, double power);
    static bool GetClassFlag() { return false; }

    const TlLutParams& GetParams() const { return m_live; }
    const TlLutParams& GetSnapshotParams() const { return m_snapshot; }
    const TlLutColour* GetColours() const { return m_colours; }
    const std::vector<std::uint32_t>& GetHistogram() const { return m_histogram; }
    double GetBrightness() const { return m_live.brightness; }
    void SetBrightness(double brightness) { m_live.brightness = brightness; }
    bool IsChanged() const { return m_editor.changed != 0; }
    // What the editor's last hover test and tracking left behind.
    const TlLutEditorState& GetEditorState() const { return m_editor; }

private:
    // Editing helpers (TlLutEditing.cpp, TlLutEditingKeys.cpp).
    struct SCurveMouse {
        double u; // curve position under the mouse
        double v; // curve value under the mouse
    };
    SCurveMouse LocateOnCurve(const ITlCurveEditView& view, POINT mouse) const;
    int Hover(ITlCurveEditView& view, POINT mouse);
    int HoverPlot(const ITlCurveEditView& view, POINT mouse);
    int HoverInputLevels(ITlCurveEditView& view, POINT mouse, int codeSoFar);
    int HoverOutputLevels(ITlCurveEditView& view, POINT mouse);
    bool InsertAtMouse(const ITlCurveEditView& view, POINT mouse);
    int DragPoint(ITlCurveEditView& view, POINT mouse);
    void DragLevel(int code, const ITlCurveEditView& view, POINT mouse);
    bool HasCurrentPoint() const;
    bool HasRoomForPoint() const;
    void RemoveCurrentPoint();
    void ShowPoint(int index);
    void MarkPointsEdited();
    int Select(int step);
    int NudgeValue(double delta);
    int NudgePosition(double delta);
    int NudgeBlack(const ITlCurveEditView& view, double delta);
    int NudgeWhite(const ITlCurveEditView& view, double delta);

    TlLutColour m_colours[3];
    TlLutParams m_live;
    int m_maxPoints = 0; // 2 or more limits the count
    std::vector<std::uint32_t> m_histogram;
    TlLutEditorState m_editor;
    TlLutParams m_snapshot;
    std::vector<double> m_samples;
    std::uint8_t m_sampleKind = 0; // 0: after everything, else before the curve
    double m_gammaMin = 0.05;
    double m_gammaMax = 20.0;
};

// out[i] = second(first(i)), both stages linearly interpolated. Type 1
// tables hold unsigned bytes, any other type unsigned 16-bit values. Counts
// below 2 (and first or second levels below 2) leave `out` untouched.
void ComposeLuts(const void* first, int firstType, int firstCount, int firstLevels, const void* second,
                 int secondType, int secondCount, int secondLevels, void* out, int outType, int outCount,
                 int outLevels);
