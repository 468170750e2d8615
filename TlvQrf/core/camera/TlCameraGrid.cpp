// The 32 x 32 x 32 table from camera RGB to CIELAB: decode the input, apply
// the camera matrix and the tone table, turn the toned values into
// luminance and colour differences (corrected by hue sector in the second
// style), back to RGB, linearise, and convert to XYZ and CIELAB.
#include "camera/TlCameraLut.h"

#include <algorithm>
#include <cmath>

namespace {

struct Vec3 {
    double v[3];
};

double Clamp(double value, double low, double high)
{
    if (!(value > low))
        return low;
    return value > high ? high : value;
}

double DecodeSrgb(double v)
{
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

Vec3 Apply(const double* m, const Vec3& in)
{
    Vec3 out;
    for (int r = 0; r < 3; ++r)
        out.v[r] = m[3 * r] * in.v[0] + m[3 * r + 1] * in.v[1] + m[3 * r + 2] * in.v[2];
    return out;
}

// One block value of the hue record for the sector and weight; entry 16 of
// each block is its entry 11.
double Interpolated(const double* block, int sector, int weight)
{
    const double next = sector + 1 >= 16 ? block[11] : block[sector + 1];
    return ((16 - weight) * block[sector] + weight * next) / 16.0;
}

// Y, Cb, Cr corrected by hue sector. A neutral colour (both differences 0)
// falls in sector 0 with weight 0.
Vec3 CorrectHue(const TlHueRecord& hue, const Vec3& ycc)
{
    const double y = ycc.v[0], cb = ycc.v[1], cr = ycc.v[2];
    const double total = std::fabs(cr) + std::fabs(cb);
    const int ratio = total > 0 ? int(std::fabs(cr) / total * 255.0) : 0;
    const int quadrant = cr > 0 ? (cb < 0 ? 2 : 3) : (cb > 0 ? 1 : 0);
    const int sector = 4 * quadrant + ratio / 64;
    const int weight = (ratio / 4) % 16;
    const double gain = Interpolated(hue.luminanceGain, sector, weight);
    const double cbCb = Interpolated(hue.cbFromCb, sector, weight);
    const double cbCr = Interpolated(hue.cbFromCr, sector, weight);
    const double crCb = Interpolated(hue.crFromCb, sector, weight);
    const double crCr = Interpolated(hue.crFromCr, sector, weight);
    return {{y * (1 + gain), cbCr * cr + cbCb * cb, crCr * cr + crCb * cb}};
}

struct GridContext {
    const TlCameraProfileParams& params;
    const TlCameraSetUpState& state;
    const TlCameraTables& tables;
    const std::uint16_t* tone;
    bool second;
    bool adobePrimaries;
};

double DecodedInput(const GridContext& c, int n)
{
    if (c.second) {
        const int at = int(std::lround(n * 4095.0 / 31.0));
        return std::min<double>(c.tables.linearisation[at], 4095.0);
    }
    return std::min(DecodeSrgb(n / 31.0) * 4095.0, 4095.0);
}

double Toned(const GridContext& c, double value)
{
    return c.tone[int(Clamp(value, 0.0, 4095.0))] / 4095.0;
}

double LabF(double t)
{
    return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116.0;
}

void StoreLab(const Vec3& xyz, int at, std::uint16_t* planeL, std::uint16_t* planeA, std::uint16_t* planeB)
{
    const double fx = LabF(xyz.v[0]), fy = LabF(xyz.v[1]), fz = LabF(xyz.v[2]);
    const double l = Clamp((116.0 * fy - 16.0) / 100.0, 0.0, 1.0);
    const double a = Clamp(500.0 * (fx - fy), -128.0, 127.0);
    const double b = Clamp(200.0 * (fy - fz), -128.0, 127.0);
    planeL[at] = std::uint16_t(l * 65280.0 + 0.5);
    planeA[at] = std::uint16_t((a + 128.0) / 255.0 * 65280.0 + 0.5);
    planeB[at] = std::uint16_t((b + 128.0) / 255.0 * 65280.0 + 0.5);
}

Vec3 ToXyz(const GridContext& c, const Vec3& rgb)
{
    static const double srgb[9] = {0.436071339, 0.385066415, 0.143057225, 0.222502613, 0.716880769,
                                   0.06061491,  0.013922978, 0.097068147, 0.713984047};
    static const double adobe[9] = {0.609775615, 0.205241544, 0.149182841, 0.311134109, 0.62565549,
                                    0.063210401, 0.019469045, 0.060874584, 0.744556371};
    Vec3 xyz = Apply(c.adobePrimaries ? adobe : srgb, rgb);
    xyz.v[0] *= 1.0371292263015972;
    xyz.v[2] *= 1.212268153715602;
    return xyz;
}

Vec3 GridPoint(const GridContext& c, int i, int j, int k)
{
    const Vec3 input = {{DecodedInput(c, i), DecodedInput(c, j), DecodedInput(c, k)}};
    const Vec3 camera = Apply(c.state.cameraMatrix, input);
    const Vec3 toned = {{Toned(c, camera.v[0]), Toned(c, camera.v[1]), Toned(c, camera.v[2])}};
    Vec3 ycc = Apply(c.state.colourMatrix, toned);
    if (c.second && c.state.hue)
        ycc = CorrectHue(*c.state.hue, ycc);
    const double y = ycc.v[0], cb = ycc.v[1], cr = ycc.v[2];
    Vec3 rgb = {{Clamp(y + 1.4021 * cr, 0.0, 1.0), Clamp(y - 0.3455 * cb - 0.7146 * cr, 0.0, 1.0),
                 Clamp(y + 1.7712 * cb, 0.0, 1.0)}};
    for (double& v : rgb.v)
        v = c.params.colourMode == kTlAdobeColourMode ? std::pow(v, 2.2) : DecodeSrgb(v);
    return ToXyz(c, rgb);
}

} // namespace

void TlMakeGrid(const TlCameraProfileParams& params, const TlCameraSetUpState& state, const TlCameraTables& tables,
                const std::uint16_t* tone, std::uint16_t* planeL, std::uint16_t* planeA, std::uint16_t* planeB)
{
    const GridContext context{params, state, tables, tone, TlUsesSecondStyle(params, state),
                              params.colourMode == 1 || params.colourMode == 3};
    int at = 0;
    for (int i = 0; i < kTlGridPoints; ++i)
        for (int j = 0; j < kTlGridPoints; ++j)
            for (int k = 0; k < kTlGridPoints; ++k, ++at)
                StoreLab(GridPoint(context, i, j, k), at, planeL, planeA, planeB);
}
