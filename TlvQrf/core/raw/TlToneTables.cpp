#include "raw/TlToneTables.h"

#include "raw/TlCameraCurve.h"

#include "kelvra/KelvraTagControl.h"
#include "settings/curves/TlLut.h"
#include "settings/curves/TlLutGroup.h"

#include <array>
#include <cmath>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace {

constexpr double kRangeFraction = 0.439453125;

struct SStandardCurve {
    double toeEnd, kneeEnd;
    double c0, c1, c2, c3;
    double a, b;
    double g, offset, p, q;
};

constexpr SStandardCurve kCurveA = {0.177917586874978, 0.41, 0.003, 1.7374881769475, 5.11513672806795,
                                    -22.6087973137931, 1.19, -0.155228638517473, 0.813962100134017, 0.21,
                                    0.363489499192246, 0.153286337487229};
constexpr SStandardCurve kCurveB = {0.22938807570549388, 0.405, 0.00452, 2.10816079023728, 2.35435225477618,
                                    -13.4516995994706, 1.02, -0.0388972745734182, 0.829593831028144, 0.155,
                                    0.37375415282392, 0.11609462290645};

const SStandardCurve& CurveOfModel(std::uint16_t model)
{
    switch (model) {
    case 257:
    case 258:
    case 259:
    case 1025: return kCurveA;
    default: return kCurveB;
    }
}

struct SPresetCurve {
    double d[9];
};

constexpr SPresetCurve kPresets[3] = {
    {{3.0, 0.45, 1.09615532532878, 0.137641629137195, 0.977314883687563, 0.22605751018334, 0.297594299385155,
      0.037538665653641, 0.5}},
    {{3.0, 0.5, 1.09544411810287, 0.099999453971295, 1.13043071047529, 0.729738285485317, 0.104660855527884,
      0.033333272663505, 0.9}},
    {{2.0, 0.55, 1.2827133432363, 0.161525062578477, 1.14142616456557, 0.721918911528145, 0.062591738786639,
      0.098709892880672, 0.8}},
};

double PresetValue(const SPresetCurve& preset, std::uint32_t index, std::uint32_t i1, std::uint32_t i2, double x)
{
    const double* d = preset.d;
    if (index < i1)
        return kTlDevelopedWhite * d[0] * x;
    if (index < i2)
        return kTlDevelopedWhite * (d[2] * std::pow(x, d[1]) - d[3]);
    return kTlDevelopedWhite * d[4] * std::pow(x - d[5], d[6]);
}

} // namespace

std::uint32_t ToneTableEntries(int bits)
{
    return bits == 12 || bits == 16 ? (1u << bits) : 0;
}

std::uint32_t ToneTableRange(int bits)
{
    return static_cast<std::uint32_t>(ToneTableEntries(bits) * kRangeFraction);
}

void BuildGammaTable(std::uint16_t* table, int bits, std::uint16_t modelCode)
{
    const std::uint32_t count = ToneTableEntries(bits);
    if (table == nullptr || count == 0)
        return;
    const double range = ToneTableRange(bits);
    const SStandardCurve& c = CurveOfModel(modelCode);
    const std::uint32_t i1 = static_cast<std::uint32_t>(c.toeEnd * range);
    const std::uint32_t i2 = static_cast<std::uint32_t>(c.kneeEnd * range);
    for (std::uint32_t i = 0; i < count; ++i) {
        const double x = i / range;
        double value;
        if (i < i1)
            value = c.c0 + x * (c.c1 + x * (c.c2 + x * c.c3));
        else if (i < i2)
            value = c.a * std::sqrt(x) + c.b;
        else
            value = c.g * std::pow(x - c.offset, c.p) + c.q;
        table[i] = ToneTableEntry(kTlDevelopedWhite * value);
    }
}

void BuildPresetGammaTable(std::uint16_t* table, int bits, int preset)
{
    const std::uint32_t count = ToneTableEntries(bits);
    if (table == nullptr || count == 0 || preset < 0 || preset > 2)
        return;
    const double range = ToneTableRange(bits);
    const SPresetCurve& curve = kPresets[preset];
    const std::uint32_t i1 = static_cast<std::uint32_t>(range * curve.d[7]);
    const std::uint32_t i2 = static_cast<std::uint32_t>(range * curve.d[8]);
    for (std::uint32_t i = 0; i < count; ++i)
        table[i] = ToneTableEntry(PresetValue(curve, i, i1, i2, i / range));
}

const std::uint16_t* GetPresetGammaTable(int bits, int preset)
{
    if (ToneTableEntries(bits) == 0 || preset < 0 || preset > 2)
        return nullptr;
    static std::mutex lock;
    static std::array<std::vector<std::uint16_t>, 6> tables;
    std::vector<std::uint16_t>& table = tables[preset * 2 + (bits == 16 ? 1 : 0)];
    const std::lock_guard<std::mutex> guard(lock);
    if (table.empty()) {
        try {
            std::vector<std::uint16_t> built(ToneTableEntries(bits));
            BuildPresetGammaTable(built.data(), bits, preset);
            table.swap(built);
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
    return table.data();
}

namespace {

// The standard curve passed through the camera curve; false when anything
// is missing, leaving the table alone.
bool ApplyCameraCurve(const IKelvraTagControl& tags, std::uint16_t modelCode, std::uint16_t* table, int bits)
{
    std::vector<unsigned char> block(kTlCameraCurveBlockSize);
    IKelvraError* error =
        tags.GetTag(kTlCameraCurveTag, kKelvraTagTypeToneCurve, static_cast<std::uint32_t>(block.size()),
                    block.data(), 0);
    if (error != nullptr) {
        IKelvraError::Release(error);
        return false;
    }
    CTlLutGroup group;
    if (!ParseCameraCurve(group, block.data(), block.size()))
        return false;
    auto* element = dynamic_cast<CTlLut*>(group.Find(0));
    if (element == nullptr)
        return false;
    const std::uint32_t count = ToneTableEntries(bits);
    std::vector<std::uint16_t> standard(count);
    BuildGammaTable(standard.data(), bits, modelCode);
    if (element->SetSamples(standard.data(), 2, static_cast<int>(count), 65536, 0) != 0)
        return false;
    element->Evaluate(table, 2, static_cast<int>(count), 65536, 0.0, 1.0, 0xBC, 1.0);
    return true;
}

} // namespace

bool BuildToneTable(const IKelvraTagControl* tags, const STlRawDevelopment& development, std::uint16_t* table,
                    int bits)
{
    if (table == nullptr || ToneTableEntries(bits) == 0)
        return false;
    bool applied = false;
    try {
        applied = tags != nullptr && ApplyCameraCurve(*tags, development.modelCode, table, bits);
    } catch (const std::bad_alloc&) {
        applied = false;
    }
    if (!applied)
        BuildGammaTable(table, bits, development.modelCode);
    return true;
}
