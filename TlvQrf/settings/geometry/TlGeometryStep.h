// The geometry of a developed image: crop in source coordinates, the limit
// the crop stays inside, print size, resolutions, scale and output size in
// pixels. The base class stores values and notes what changed; derived
// steps override the setters to keep the values consistent.
#pragma once

#include "settings/geometry/TlDblRect.h"
#include "settings/geometry/TlMeasure.h"
#include "settings/record/TlState.h"

#include <cstdint>

// Four-character step types, first character in the most significant byte.
enum : std::uint32_t {
    kTlStepTypeNone = 0x4E6F6E65, // 'None'
    kTlStepTypeSnapshot = 0x44536574, // 'DSet'
    kTlStepTypeCrop = 0x43726F70, // 'Crop'
    kTlStepTypeSize = 0x53697A65, // 'Size'
};

// Change flags: set when a change leaves a value different from the value at
// its start; only the owner clears them.
enum : std::uint32_t {
    kTlGeomCropOrigin = 0x1,
    kTlGeomCropWidth = 0x2,
    kTlGeomCropHeight = 0x4,
    kTlGeomPrintWidth = 0x8,
    kTlGeomPrintHeight = 0x10,
    kTlGeomResolution = 0x20,
    kTlGeomPrintResolution = 0x40,
    kTlGeomScale = 0x80,
    kTlGeomScaleRange = 0x100,
    kTlGeomOutputWidth = 0x200,
    kTlGeomOutputHeight = 0x400,
    kTlGeomOutputArea = 0x800,
    kTlGeomAllChanges = 0xFFF,
    // A mode, not a change: the output size was last given in pixels.
    kTlGeomPixelSizeMode = 0x1000,
};

// What Validate reports: 0, or the first rule that fails.
enum : int {
    kTlGeomValid = 0,
    kTlGeomBadResolution = 100,
    kTlGeomBadCropLeft = 101,
    kTlGeomBadCropRight = 102,
    kTlGeomBadCropTop = 103,
    kTlGeomBadCropBottom = 104,
    kTlGeomBadOutputWidth = 105,
    kTlGeomBadOutputHeight = 106,
    kTlGeomWidthVsPrint = 200,
    kTlGeomHeightVsPrint = 201,
    kTlGeomAreaVsSize = 202,
    kTlGeomAspectVsOutput = 203,
    kTlGeomAspectVsPrint = 204,
    kTlGeomAspectVsCrop = 205,
    kTlGeomScaleVsResolution = 206,
    kTlGeomWidthVsCrop = 207,
    kTlGeomHeightVsCrop = 208,
};

// The stored form of a step.
namespace TlGeometryStepLayout {
extern const TlGuid kId;
constexpr std::uint16_t kVersion = 3;
constexpr unsigned kFieldBytes = 201; // 25 doubles and the mode byte
constexpr unsigned kOldHeaderSize = 18; // versions 1 and 2: no length word
constexpr unsigned kSize = TlStateLayout::kHeaderSize + kFieldBytes; // 223
}

class CTlGeometryStep {
public:
    CTlGeometryStep();
    CTlGeometryStep(const CTlGeometryStep&) = delete;
    CTlGeometryStep& operator=(const CTlGeometryStep&) = delete;

    // The virtual operations, in their fixed order.
    virtual bool ClampCropSize(double& width, double& height, int flags);
    virtual ~CTlGeometryStep();
    virtual void Assign(const CTlGeometryStep& other);
    virtual std::uint32_t GetType() const;
    virtual double GetAspectRatio() const;
    virtual void SetAspectRatio(double ratio);
    virtual int FlipHorizontal();
    virtual int FlipVertical();
    virtual int RotateClockwise();
    virtual int RotateCounterClockwise();
    virtual int SaveReference();
    virtual int PlaceCropRect(const CTlDblRect& rect, int flags);
    virtual int PlaceCropRect(double left, double top, double right, double bottom, int flags);
    virtual int SetCropRect(const CTlDblRect& rect, int flags);
    virtual int SetCropRect(double left, double top, double right, double bottom, int flags);
    virtual int SetCropSize(double width, double height, int flags);
    virtual int MoveCropTo(double x, double y);
    virtual int SetLimitRect(const CTlDblRect& rect);
    virtual int SetLimitSize(double width, double height);
    virtual int SetImageSize(double width, double height);
    virtual int SetPrintWidth(const CTlMeasure& width);
    virtual int SetPrintHeight(const CTlMeasure& height);
    virtual int SetResolution(const CTlMeasure& resolution);
    virtual int SetMinResolution(const CTlMeasure& resolution);
    virtual int SetSourceResolution(const CTlMeasure& resolution);
    virtual int SetPrintResolution(const CTlMeasure& resolution);
    virtual int SetScale(double scale);
    virtual int SetOutputWidth(double width);
    virtual int SetOutputHeight(double height);
    virtual int SetOutputArea(double area);
    virtual int SetPixelSizeMode(bool on);
    virtual bool ClampOutputWidth(double& width);
    virtual bool ClampOutputHeight(double& height);
    virtual double GetMinScale() const;
    virtual double GetMaxScale() const;
    // Capabilities with no meaning beyond their answers; 1, 5, 8 and 14
    // combine others, the rest are leaves.
    virtual bool CapabilityQuery1() const;
    virtual bool CapabilityQuery2() const;
    virtual bool CapabilityQuery3() const;
    virtual bool CapabilityQuery4() const;
    virtual bool CapabilityQuery5() const;
    virtual bool CapabilityQuery6() const;
    virtual bool CapabilityQuery7() const;
    virtual bool CapabilityQuery8() const;
    virtual bool CapabilityQuery9() const;
    virtual bool CapabilityQuery10() const;
    virtual bool CapabilityQuery11() const;
    virtual bool CapabilityQuery12() const;
    virtual bool CapabilityQuery13() const;
    virtual bool CapabilityQuery14() const;
    virtual bool CapabilityQuery15() const;
    virtual bool CapabilityQuery16() const;
    // Writes as much of the stored form as fits; `size` becomes the full
    // size. True when the whole block was written.
    virtual bool Write(void* buffer, unsigned& size) const;
    // Reads a stored form. A block of another id, a short block or one
    // whose length word claims more bytes than `size` holds is refused with
    // false and leaves the step unchanged.
    virtual bool Read(const void* data, unsigned size);
    virtual int Rescale(double width, double height, const CTlMeasure& minResolution,
                        const CTlMeasure& sourceResolution);
    // 0 when the values are consistent, else the first failing rule.
    virtual int Validate(bool againstLimit) const;

    // Read access for the owner.
    const CTlDblRect& GetCropRect() const { return CropRect; }
    const CTlDblRect& GetReferenceRect() const { return ReferenceRect; }
    const CTlDblRect& GetLimitRect() const { return LimitRect; }
    double GetImageWidth() const { return ImageWidth; }
    double GetImageHeight() const { return ImageHeight; }
    const CTlMeasure& GetPrintWidth() const { return PrintWidth; }
    const CTlMeasure& GetPrintHeight() const { return PrintHeight; }
    const CTlMeasure& GetResolution() const { return Resolution; }
    const CTlMeasure& GetMinResolution() const { return MinResolution; }
    const CTlMeasure& GetSourceResolution() const { return SourceResolution; }
    const CTlMeasure& GetPrintResolution() const { return PrintResolution; }
    double GetScale() const { return Scale; }
    double GetOutputWidth() const { return OutputWidth; }
    double GetOutputHeight() const { return OutputHeight; }
    double GetOutputArea() const { return OutputArea; }
    std::uint32_t GetChangeFlags() const { return ChangeFlags; }
    bool IsPixelSizeMode() const { return (ChangeFlags & kTlGeomPixelSizeMode) != 0; }
    // The owner's way to clear change flags it has seen.
    void ClearChangeFlags(std::uint32_t flags) { ChangeFlags &= ~flags; }

protected:
    // Clamps for the derived steps; each returns true when it changed the value.
    bool ClampLength(CTlMeasure& length) const;
    bool ClampResolutionValue(CTlMeasure& resolution) const;
    bool ClampResolution(CTlMeasure& resolution) const;
    bool ClampScale(double& scale) const;
    bool ClampCropOrigin(double& x, double& y) const;
    int KeepCropInsideLimit(CTlDblRect& rect, int flags);

    // The change protocol: remember the watched values, change, then flag
    // every watched value that differs from what was remembered.
    void TakeSnapshot();
    void RaiseChangeFlags();
    // Runs `change` under the change protocol; returns 0.
    template <class Change>
    int Changing(Change change)
    {
        TakeSnapshot();
        change();
        RaiseChangeFlags();
        return 0;
    }

    CTlDblRect CropRect;
    CTlDblRect ReferenceRect;
    CTlDblRect LimitRect;
    double ImageWidth;
    double ImageHeight;
    CTlMeasure PrintWidth;
    CTlMeasure PrintHeight;
    CTlMeasure Resolution;
    CTlMeasure MinResolution;
    CTlMeasure SourceResolution;
    CTlMeasure PrintResolution;
    double Scale;
    double OutputWidth;
    double OutputHeight;
    double OutputArea;
    double AspectRatio;

private:
    // The watched values at the start of the current change.
    struct SSnapshot {
        CTlDblRect cropRect;
        CTlMeasure printWidth;
        CTlMeasure printHeight;
        CTlMeasure resolution;
        CTlMeasure printResolution;
        double scale = 0;
        double minScale = 0;
        double maxScale = 0;
        double outputWidth = 0;
        double outputHeight = 0;
        double outputArea = 0;
    };

    // Addresses of the stored doubles, in stored order; for const and
    // mutable steps alike.
    static constexpr int kStoredDoubles = 25;
    template <class Step, class Pointer>
    static void ListStoredDoubles(Step& step, Pointer (&out)[kStoredDoubles]);
    // Writes the fields after a whole header as far as `given` bytes hold
    // them; returns the end of what was written.
    unsigned WriteFields(unsigned char* out, unsigned given) const;
    bool ReadFields(const unsigned char* block, unsigned size);

    // After a quarter turn: widths and heights trade places.
    void SwapAxes();

    SSnapshot m_snapshot;

protected:
    std::uint32_t ChangeFlags;
};
