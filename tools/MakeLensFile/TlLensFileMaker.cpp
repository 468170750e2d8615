#include "MakeLensFile/TlLensFileMaker.h"

#include "common/TlToolFile.h"
#include "settings/lens/TlLensInformation.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kEntries = CTlLensInformation::kTableEntries;
constexpr char kFileName[] = "Tl0080.lns";

// The source is an equidistant fisheye (radius proportional to the angle
// off the axis) whose half-diagonal sees 90 degrees. Radii are normalised
// to the half-diagonal of the image, in source and output alike.
double SourceRadiusOfAngle(double angle)
{
    return angle / (kPi / 2);
}
double AngleOfSourceRadius(double radius)
{
    return radius * (kPi / 2);
}

// Fill modes: a stereographic output keeps the whole diagonal field; along
// the edges it reaches beyond the source, which the fill colour covers.
double StereographicToSource(double u)
{
    return SourceRadiusOfAngle(2 * std::atan(u));
}
double SourceToStereographic(double s)
{
    return std::tan(AngleOfSourceRadius(s) / 2);
}

// Without fill: a rectilinear output whose half-diagonal sees 57 degrees.
// At that angle the output never needs a point beyond the source (the
// curve stays below the identity), so every output pixel has a source.
const double kRectilinearScale = std::tan(57.0 * kPi / 180.0);
// Source points the rectilinear output cannot show would lie infinitely
// far out; the forward curve stops at this radius.
constexpr double kForwardLimit = 8.0;

double RectilinearToSource(double u)
{
    return SourceRadiusOfAngle(std::atan(u * kRectilinearScale));
}
double SourceToRectilinear(double s)
{
    const double angle = AngleOfSourceRadius(s);
    if (angle >= kPi / 2)
        return kForwardLimit;
    return std::min(std::tan(angle) / kRectilinearScale, kForwardLimit);
}

std::vector<double> Sample(double (*curve)(double))
{
    std::vector<double> table(kEntries);
    for (int i = 0; i < kEntries; ++i)
        table[i] = curve(double(i) / (kEntries - 1));
    return table;
}

std::string WriteLensFile(const char* folder)
{
    std::string path;
    const std::string reason = TlMakeToolFolder(folder, &path);
    if (!reason.empty())
        return reason;
    const std::vector<std::uint8_t> bytes = TlBuildLensFile();
    if (bytes.empty())
        return "out of memory";
    return TlWriteToolFile(path + "\\" + kFileName, bytes.data(), bytes.size());
}

} // namespace

std::vector<std::vector<double>> TlBuildLensCurves()
{
    return {Sample(StereographicToSource), Sample(RectilinearToSource), Sample(SourceToStereographic),
            Sample(SourceToRectilinear)};
}

std::vector<std::uint8_t> TlBuildLensFile()
{
    try {
        return TlBuildLensFileOf(TlBuildLensCurves());
    } catch (const std::bad_alloc&) {
        return {};
    }
}

std::vector<std::uint8_t> TlBuildLensFileOf(const std::vector<std::vector<double>>& curves)
{
    if (curves.size() != CTlLensInformation::kTableCount)
        return {};
    for (const std::vector<double>& curve : curves)
        if (curve.size() != std::size_t(kEntries))
            return {};
    try {
        CTlLensInformation lens;
        if (!lens.SetLensData(curves[0].data(), curves[1].data(), curves[2].data(), curves[3].data()))
            return {};
        lens.SetLensCode(CTlLensInformation::kSupportedLensCode);
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(lens.GetSize()));
        lens.Save(bytes.data(), static_cast<int>(bytes.size()));
        return bytes;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

bool TlWriteLensFile(const char* folder, std::string* failure)
{
    return TlReportToolResult(WriteLensFile(folder), failure);
}
