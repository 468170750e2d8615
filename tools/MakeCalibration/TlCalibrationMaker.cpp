#include "MakeCalibration/TlCalibrationMaker.h"

#include "settings/curves/TlBumpListForm.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

// Hues are fractions of a turn (0.125 = 45 degrees). The table a filter
// samples from a curve maps offset + E onto its threshold; -1 is no threshold
// and 0 the middle of the range, so the offsets put a low threshold under
// every hue and the bumps raise it where colours should be held back.
std::vector<TlCalibrationCurve> MakeShippedCalibrations()
{
    return {
        // The LCH editor: hold back skin tones most, then sky blues, a little
        // the yellow-greens of foliage.
        {"TlLchCal.nlc", {{0.16, 0.36, 0.09}, {0.42, 0.08, 0.07}, {0.68, 0.16, 0.11}}, -0.76},
        // The chroma booster: a lower floor, a wider skin-tone bump with a
        // shoulder towards the reds, and sky blues.
        {"TlCBoost.nlc", {{0.05, 0.12, 0.06}, {0.15, 0.44, 0.10}, {0.70, 0.20, 0.12}}, -0.84},
    };
}

} // namespace

const std::vector<TlCalibrationCurve>& TlShippedCalibrations()
{
    static const std::vector<TlCalibrationCurve> curves = MakeShippedCalibrations();
    return curves;
}

const TlCalibrationCurve* TlFindCalibration(const char* fileName)
{
    for (const TlCalibrationCurve& curve : TlShippedCalibrations()) {
        if (fileName != nullptr && lstrcmpiA(curve.fileName, fileName) == 0)
            return &curve;
    }
    return nullptr;
}

TlCalibrationCurve TlNeutralCalibration()
{
    return {"neutral", {}, 0.0};
}

bool TlWriteCalibrationFile(const std::string& path, const TlCalibrationCurve& curve)
{
    const std::vector<unsigned char> bytes = ComposeCalibrationFile(curve.points, curve.offset);
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        if (file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())) && file.flush())
            return true;
    }
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return false;
}

bool TlWriteCalibrations(const std::string& folder)
{
    if (folder.empty())
        return false;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return false;
    const char last = folder.back();
    const std::string base = (last == '\\' || last == '/') ? folder : folder + "\\";
    for (const TlCalibrationCurve& curve : TlShippedCalibrations()) {
        if (!TlWriteCalibrationFile(base + curve.fileName, curve))
            return false;
    }
    return true;
}
