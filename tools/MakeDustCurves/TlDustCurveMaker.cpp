#include "MakeDustCurves/TlDustCurveMaker.h"

#include "common/TlToolFile.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// The two blocks that are given; every other block is made from them.
constexpr TlDustCurveA kGivenA = {-16.413954, 4.588398, 1.589303, -0.001,  1.2425,   0.5075, -0.179653,
                                  0.706082,   0.3075,   0.365839, 0.303118, 0.208155, 0.4575};
constexpr int kGivenBlockA = 3; // of the list of 1025
constexpr TlDustCurveB kGivenB = {{220, 2, 0.5, 1.29646, 0.2101, 0.952034, 0.163256, 0.323672}, 0, 187, 538};

// The linear range the tables reach (family A's inverse reads the widest).
constexpr double kTopY = 65535.0 / 28806.0;

// Family A with the encoded values scaled by `contrast` and the middle
// exponent moved by `gamma`; the middle and top segments are lifted so that
// all three stay joined.
TlDustCurveA MakeA(double contrast, double gamma)
{
    TlDustCurveA c = kGivenA;
    c.c0 *= contrast;
    c.c1 *= contrast;
    c.c2 *= contrast;
    c.c3 *= contrast;
    c.a *= contrast;
    c.g += gamma;
    c.b = ((c.c0 * c.y1 + c.c1) * c.y1 + c.c2) * c.y1 + c.c3 - c.a * std::pow(c.y1, c.g);
    c.c *= contrast;
    c.e = c.a * std::pow(c.y2, c.g) + c.b - c.c * std::pow(c.y2 - c.d, c.e5);
    return c;
}

// Family B with the encoded values scaled by `contrast` and a linear foot of
// `foot` (in 4095ths of full scale); the middle segment is lowered by the
// foot and the top segment scaled to meet it.
TlDustCurveB MakeB(double contrast, std::uint16_t foot)
{
    TlDustCurveB c = kGivenB;
    c.s = foot;
    c.k[1] *= contrast;
    c.k[3] *= contrast;
    c.k[4] = c.k[4] * contrast + c.k[1] * DustCurveFoot(c);
    const double y2 = c.p / 1800.0;
    c.k[5] = (c.k[3] * std::pow(y2, c.k[2]) - c.k[4]) / std::pow(y2 - c.k[6], c.k[7]);
    return c;
}

double MiddleA(const TlDustCurveA& c, double y)
{
    return c.a * std::pow(y, c.g) + c.b;
}

double MiddleB(const TlDustCurveB& c, double y)
{
    return c.k[3] * std::pow(y, c.k[2]) - c.k[4];
}

template <typename Curve>
std::string CheckRising(const Curve& curve)
{
    constexpr int kSamples = 100000;
    double previous = DustCurveX(curve, 0.0);
    for (int i = 1; i <= kSamples; ++i) {
        const double x = DustCurveX(curve, kTopY * i / kSamples);
        if (!(x > previous) && x > 0)
            return "x does not rise at y = " + std::to_string(kTopY * i / kSamples);
        previous = x;
    }
    return std::string();
}

std::string CheckJoin(double left, double right, const char* where)
{
    return std::fabs(left - right) < 1e-4 ? std::string() : std::string("segments part at ") + where;
}

// The shortest form of `v` that reads back as `v`.
std::string Number(double v)
{
    char text[40];
    for (int digits = 6; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, v);
        if (std::strtod(text, nullptr) == v)
            break;
    }
    return text;
}

std::string Numbers(const double* values, int count, const char* indent)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += Number(values[i]);
        if (i + 1 < count)
            text += i % 5 == 4 ? std::string(",\n") + indent : std::string(", ");
    }
    return text;
}

std::string FormatA(const char* name, const TlDustCurveA (&list)[kDustCurveBlocksA])
{
    std::string text = std::string("const TlDustCurveA ") + name + "[kDustCurveBlocksA] = {\n";
    for (const TlDustCurveA& c : list) {
        const double values[13] = {c.c0, c.c1, c.c2, c.c3, c.a, c.g, c.b, c.c, c.d, c.e5, c.e, c.y1, c.y2};
        text += "    {" + Numbers(values, 13, "     ") + "},\n";
    }
    return text + "};\n";
}

std::string FormatB(const TlDustCurveB (&list)[kDustCurveBlocksB])
{
    std::string text = "const TlDustCurveB kDustCurvesB[kDustCurveBlocksB] = {\n";
    for (const TlDustCurveB& c : list)
        text += "    {{" + Numbers(c.k, 8, "      ") + "}, " + std::to_string(c.s) + ", " + std::to_string(c.o) +
                ", " + std::to_string(c.p) + "},\n";
    return text + "};\n";
}

std::string WriteBlocks(const char* folder)
{
    const TlDustCurveSet set = MakeDustCurveSet();
    for (int n = 0; n < kDustCurveBlocksA; ++n) {
        for (const TlDustCurveA* c : {&set.a1025[n], &set.aShared[n]}) {
            const std::string wrong = CheckDustCurve(*c);
            if (!wrong.empty())
                return "family A block " + std::to_string(n) + ": " + wrong;
        }
    }
    for (int n = 0; n < kDustCurveBlocksB; ++n) {
        const std::string wrong = CheckDustCurve(set.b[n]);
        if (!wrong.empty())
            return "family B block " + std::to_string(n) + ": " + wrong;
    }
    std::string path;
    std::string reason = TlMakeToolFolder(folder, &path);
    if (!reason.empty())
        return reason;
    const std::string text = FormatDustCurveSet(set);
    return TlWriteToolFile(path + "\\TlDustCurveBlocks.cpp", text.data(), text.size());
}

} // namespace

// Family A: the list of 1025 around its given block 3 and the shared list
// of 260 and 1026 a little flatter, each step of the block number raising
// the contrast by 3 % and the middle exponent by 0.004. Family B: block n
// raises the contrast by 2.5 % n; the blocks of 257 (5 to 8) carry a foot
// of 8 (n - 4) 4095ths.
TlDustCurveSet MakeDustCurveSet()
{
    TlDustCurveSet set;
    for (int n = 0; n < kDustCurveBlocksA; ++n) {
        const int step = n - kGivenBlockA;
        set.a1025[n] = step == 0 ? kGivenA : MakeA(1.0 + 0.03 * step, 0.004 * step);
        set.aShared[n] = MakeA(0.98 + 0.03 * step, 0.004 * step);
    }
    for (int n = 0; n < kDustCurveBlocksB; ++n)
        set.b[n] = n == 0 ? kGivenB : MakeB(1.0 + 0.025 * n, std::uint16_t(n > 4 ? 8 * (n - 4) : 0));
    return set;
}

std::string CheckDustCurve(const TlDustCurveA& c)
{
    const double cubicTop = ((c.c0 * c.y1 + c.c1) * c.y1 + c.c2) * c.y1 + c.c3;
    std::string wrong = CheckJoin(cubicTop, MiddleA(c, c.y1), "y1");
    if (wrong.empty())
        wrong = CheckJoin(MiddleA(c, c.y2), c.c * std::pow(c.y2 - c.d, c.e5) + c.e, "y2");
    return wrong.empty() ? CheckRising(c) : wrong;
}

std::string CheckDustCurve(const TlDustCurveB& c)
{
    const double y1 = c.o / 1800.0;
    const double y2 = c.p / 1800.0;
    if (c.k[0] != 220.0)
        return "the encoded white is not 220";
    std::string wrong = CheckJoin(c.k[1] * (y1 - DustCurveFoot(c)), MiddleB(c, y1), "y1");
    if (wrong.empty())
        wrong = CheckJoin(MiddleB(c, y2), c.k[5] * std::pow(y2 - c.k[6], c.k[7]), "y2");
    return wrong.empty() ? CheckRising(c) : wrong;
}

std::string FormatDustCurveSet(const TlDustCurveSet& set)
{
    return "// Made by tools/MakeDustCurves (TlMakeDustCurves); do not edit. Synthetic\n"
           "// tone curves (docs/dust-tables.md): the given blocks and blocks made from\n"
           "// them, not measured on any camera.\n"
           "#include \"filters/dust/TlDustCurveBlocks.h\"\n\n" +
           FormatA("kDustCurvesA1025", set.a1025) + "\n" + FormatA("kDustCurvesAShared", set.aShared) + "\n" +
           FormatB(set.b);
}

bool TlWriteDustCurveBlocks(const char* folder, std::string* failure)
{
    return TlReportToolResult(WriteBlocks(folder), failure);
}
