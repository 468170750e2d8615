// The matrix sets, hue corrections, per-kind matrices, linearisation and
// tone-curve coefficients of the synthetic camera.
//
// A row's camera matrix is a mild saturation whose rows sum to 1: the
// generator's input has been balanced already (by the as-shot multipliers,
// or by the camera itself), whatever light the row stands for, so the matrix
// must not balance it again. Its colour matrix is the exact inverse of the
// generator's fixed YCbCr-to-RGB step, so that a neutral input stays
// neutral. Tone curves are the sRGB encoding in the generator's units with a
// contrast that varies by tone compensation.
#include "MakeCameraTables/TlCameraTablesMaker.h"
#include "MakeCameraTables/TlCameraTablesModel.h"

#include <cmath>
#include <cstring>

namespace {

void Saturation(double s, double out[9])
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            out[3 * r + c] = (r == c ? 1.0 + s : 0.0) - s / 3.0;
}

// The inverse of R = Y + 1.4021 Cr, G = Y - 0.3455 Cb - 0.7146 Cr,
// B = Y + 1.7712 Cb.
void ColourMatrix(double out[9])
{
    const double m[9] = {1, 0, 1.4021, 1, -0.3455, -0.7146, 1, 1.7712, 0};
    const double det = m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
                       m[2] * (m[3] * m[7] - m[4] * m[6]);
    out[0] = (m[4] * m[8] - m[5] * m[7]) / det;
    out[1] = (m[2] * m[7] - m[1] * m[8]) / det;
    out[2] = (m[1] * m[5] - m[2] * m[4]) / det;
    out[3] = (m[5] * m[6] - m[3] * m[8]) / det;
    out[4] = (m[0] * m[8] - m[2] * m[6]) / det;
    out[5] = (m[2] * m[3] - m[0] * m[5]) / det;
    out[6] = (m[3] * m[7] - m[4] * m[6]) / det;
    out[7] = (m[1] * m[6] - m[0] * m[7]) / det;
    out[8] = (m[0] * m[4] - m[1] * m[3]) / det;
}

TlMatrixRow MakeRow()
{
    TlMatrixRow row;
    Saturation(0.05, row.camera);
    ColourMatrix(row.colour);
    return row;
}

TlHueRecord MakeHue(int row)
{
    TlHueRecord hue;
    const double pi = 3.14159265358979323846;
    for (int s = 0; s < 16; ++s) {
        const double turn = 2 * pi * (s + row % 3) / 16.0;
        hue.luminanceGain[s] = 0.0;
        hue.cbFromCb[s] = 1.0 + 0.02 * std::cos(turn);
        hue.cbFromCr[s] = 0.0;
        hue.crFromCb[s] = 0.0;
        hue.crFromCr[s] = 1.0 + 0.02 * std::sin(turn);
    }
    return hue;
}

// Linear below the first threshold, then a power curve through the same
// point that reaches 4095 at the last entry; the third piece repeats it.
void ToneSet(double exponent, double out[13])
{
    const double first = 0.0031308 * 4095.0 / 1800.0;
    const double slope = 12.92 * 1800.0 / 3520.0;
    const double end = 4095.0 / 1800.0, top = 4095.0 / 3520.0;
    const double p1 = (top - slope * first) / (std::pow(end, exponent) - std::pow(first, exponent));
    const double p0 = slope * first - p1 * std::pow(first, exponent);
    const double set[13] = {first, 100.0, 0.0, slope, 0.0, 0.0, p0, p1, exponent, p0, p1, 0.0, exponent};
    std::memcpy(out, set, sizeof set);
}

// By tone compensation 0 to 6 (3 is the standard curve).
const double kToneExponents[kTlToneCount] = {0.46, 0.43, 0.40, 1 / 2.4, 0.39, 0.44, 0.37};
// Second style: colour mode 3, modes 4 and 6, the others.
const double kStyleScale[kTlToneStyles] = {1.02, 1.0, 0.98};

} // namespace

void TlFillMatrixTables(TlCameraTables& t)
{
    for (int r = 0; r < kTlSetRows; ++r) {
        t.setA[r] = MakeRow();
        t.setB[r] = t.setA[r];
        t.hueA[r] = MakeHue(r);
        t.hueB[r] = MakeHue(r + 1);
    }
    for (int half = 0; half < 2; ++half)
        for (int r = 0; r < kTlSetCRows; ++r)
            t.setC[half][r] = MakeRow();
    Saturation(0.0, t.kindA[0]);
    Saturation(0.03, t.kindA[1]);
    Saturation(-0.02, t.kindA[2]);
    Saturation(0.0, t.kindB[0]);
    Saturation(0.02, t.kindB[1]);
    Saturation(0.04, t.kindB[2]);
    Saturation(0.0, t.kindC);
    for (int i = 0; i < kTlLinearEntries; ++i) {
        const double v = i / 4095.0;
        const double linear = v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        t.linearisation[i] = std::uint16_t(std::lround(linear * 4095.0));
    }
    for (int tone = 0; tone < kTlToneCount; ++tone) {
        ToneSet(kToneExponents[tone], t.toneFirst[tone]);
        for (int style = 0; style < kTlToneStyles; ++style)
            ToneSet(kToneExponents[tone] * kStyleScale[style], t.toneSecond[style][tone]);
    }
}
