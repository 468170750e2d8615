#include "settings/geometry/TlSnapshotStep.h"

namespace {

constexpr int kRefused = 1;

} // namespace

CTlSnapshotStep::CTlSnapshotStep(double width, double height, const CTlMeasure& resolution,
                                 const CTlMeasure& minResolution, const CTlMeasure& sourceResolution)
{
    const double s = sourceResolution.value;
    CropRect = LimitRect = CTlDblRect(0, 0, height, width);
    ImageWidth = width;
    ImageHeight = height;
    PrintWidth = CTlMeasure::Length(width / s);
    PrintHeight = CTlMeasure::Length(height / s);
    Resolution = PrintResolution = resolution;
    MinResolution = minResolution;
    SourceResolution = sourceResolution;
    Scale = 1;
    OutputWidth = resolution.value * (width / s);
    OutputHeight = resolution.value * (height / s);
    OutputArea = OutputWidth * OutputHeight;
    AspectRatio = OutputWidth / OutputHeight;
}

CTlSnapshotStep::CTlSnapshotStep(const CTlGeometryStep& step)
{
    Assign(step);
}

std::uint32_t CTlSnapshotStep::GetType() const { return kTlStepTypeSnapshot; }

int CTlSnapshotStep::SetCropRect(const CTlDblRect&, int) { return kRefused; }
int CTlSnapshotStep::SetCropSize(double, double, int) { return kRefused; }
int CTlSnapshotStep::MoveCropTo(double, double) { return kRefused; }
int CTlSnapshotStep::SetPrintWidth(const CTlMeasure&) { return kRefused; }
int CTlSnapshotStep::SetPrintHeight(const CTlMeasure&) { return kRefused; }
int CTlSnapshotStep::SetResolution(const CTlMeasure&) { return kRefused; }
int CTlSnapshotStep::SetPrintResolution(const CTlMeasure&) { return kRefused; }
int CTlSnapshotStep::SetScale(double) { return kRefused; }
int CTlSnapshotStep::SetOutputWidth(double) { return kRefused; }
int CTlSnapshotStep::SetOutputHeight(double) { return kRefused; }
int CTlSnapshotStep::SetOutputArea(double) { return kRefused; }

bool CTlSnapshotStep::CapabilityQuery2() const { return false; }
bool CTlSnapshotStep::CapabilityQuery3() const { return false; }
bool CTlSnapshotStep::CapabilityQuery4() const { return false; }
bool CTlSnapshotStep::CapabilityQuery6() const { return false; }
bool CTlSnapshotStep::CapabilityQuery7() const { return false; }
bool CTlSnapshotStep::CapabilityQuery9() const { return false; }
bool CTlSnapshotStep::CapabilityQuery10() const { return false; }
bool CTlSnapshotStep::CapabilityQuery11() const { return false; }
bool CTlSnapshotStep::CapabilityQuery12() const { return false; }
bool CTlSnapshotStep::CapabilityQuery13() const { return false; }
bool CTlSnapshotStep::CapabilityQuery15() const { return false; }
