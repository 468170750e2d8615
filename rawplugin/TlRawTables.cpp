#include "TlRawTables.h"

#include "filters/debayer/TlKeyedParams.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <new>

namespace {

struct CodeRange {
    long first;
    long last;
    int result;
};

const CodeRange kErrorTable[] = {
    {0, 1, kTlRawOk},
    {1000, 1002, kTlRawBadArgument},
    {1004, 1004, kTlRawBadArgument},
    {1005, 1005, kTlRawTooSmall},
    {1006, 1006, kTlRawCannotRead},
    {1008, 1009, kTlRawCannotRead},
    {1010, 1011, kTlRawUnknownFormat},
    {1012, 1012, kTlRawBadArgument},
    {1013, 1013, kTlRawUnknownFormat},
    {1014, 1014, kTlRawBadArgument},
    {1070, 1072, kTlRawUnknownFormat},
    {1073, 1073, kTlRawBadArgument},
    {1090, 1090, kTlRawCannotRead},
    {1092, 1092, kTlRawCannotRead},
    {1100, 1100, kTlRawCannotOpen},
    {1101, 1108, kTlRawCannotRead},
    {1300, 1300, kTlRawOk},
    {1302, 1302, kTlRawUnknownFormat},
    {1315, 1315, kTlRawUnknownFormat},
    {1400, 1401, kTlRawBadArgument},
    {1402, 1402, kTlRawUnknownFormat},
    {1403, 1408, kTlRawBadArgument},
    {1409, 1409, kTlRawUnknownFormat},
    {1412, 1412, kTlRawBadArgument},
    {1413, 1413, kTlRawUnknownFormat},
    {1501, 1503, kTlRawUnknownFormat},
    {1600, 1600, kTlRawBadArgument},
    {1602, 1602, kTlRawCannotRead},
    {1603, 1603, kTlRawCannotOpen},
    {1604, 1604, kTlRawCannotRead},
    {1605, 1605, kTlRawBadArgument},
    {1606, 1606, kTlRawCannotRead},
    {1607, 1609, kTlRawBadArgument},
    {11001, 11001, kTlRawCannotRead},
    {11007, 11007, kTlRawUnsupported},
};

constexpr long kModel259 = 259;
constexpr long kModelNtsc = 257;

// A gain for the curves: anything but a positive finite number is 1.0.
double UsableGain(double gain)
{
    return std::isfinite(gain) && gain > 0.0 ? gain : 1.0;
}

void FillCurve(double gain, std::vector<std::uint16_t>& curve)
{
    for (std::size_t i = 0; i < curve.size(); ++i) {
        const double value = std::floor(double(i) * gain);
        curve[i] = std::uint16_t(std::min(std::max(value, 0.0), 4095.0));
    }
}

} // namespace

int TlRawMapErrorCode(long code)
{
    for (const CodeRange& range : kErrorTable) {
        if (code >= range.first && code <= range.last)
            return range.result;
    }
    return kTlRawFailed;
}

int TlRawMapError(IKelvraError* error)
{
    if (!error)
        return kTlRawOk;
    const IKelvraError* cause = error->FindCause();
    const int result = cause ? TlRawMapErrorCode(cause->GetCode()) : kTlRawFailed;
    IKelvraError::Release(error);
    return result;
}

std::int32_t TlRawSensitivityKey(long model, std::uint16_t first, std::uint16_t second)
{
    if (first == 0)
        return second;
    const std::int32_t base = model == kModel259 ? 800 : 1600;
    if (second == 2 * base)
        return -1;
    if (second == 4 * base)
        return -2;
    return 0;
}

bool TlRawNoiseTuning(long model, std::int32_t key, std::int32_t (&values)[9])
{
    // The tables of the camera that starts at 125 and of every other one.
    CTlKeyedParams found;
    const bool missing = model == kModel259 ? found.SelectB(key) : found.SelectA(key);
    CTlKeyedParams fallback;
    fallback.SelectA(200);
    const CTlKeyedParams& chosen = missing ? fallback : found;
    std::copy(std::begin(chosen.Values()), std::end(chosen.Values()), std::begin(values));
    return !missing;
}

bool TlRawWhiteBalanceCurves(double redGain, double blueGain, TlRawCurves* curves)
{
    try {
        curves->red.assign(4096, 0);
        curves->green.assign(4096, 0);
        curves->blue.assign(4096, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    FillCurve(UsableGain(redGain), curves->red);
    FillCurve(1.0, curves->green);
    FillCurve(UsableGain(blueGain), curves->blue);
    return true;
}

bool TlRawPatternFits(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() < 4)
        return false;
    const std::size_t rows = std::size_t(bytes[0]) << 8 | bytes[1];
    const std::size_t columns = std::size_t(bytes[2]) << 8 | bytes[3];
    if (rows < 1 || rows > 16 || columns < 1 || columns > 16)
        return false;
    return bytes.size() == 4 + rows * columns;
}

long TlRawColorCode(long tagCode, bool chainAnswered, long chainSpace)
{
    if (!chainAnswered)
        return tagCode;
    switch (chainSpace) {
    case 1:
        return 1;
    case 2:
        return 2;
    case 3:
        return 16;
    case 4:
        return 3;
    case 5:
        return 4;
    case 6:
        return 5;
    default:
        return tagCode;
    }
}

const char* TlRawProfileName(long colorCode, long model)
{
    switch (colorCode) {
    case 2:
        return "TLAdobe.icm";
    case 16:
        return "TLNTSC.icm";
    case 1:
    case 3:
    case 4:
    case 5:
        return "TLsRGB.icm";
    default:
        return model == kModelNtsc ? "TLNTSC.icm" : "TLsRGB.icm";
    }
}

bool TlRawProfilePath(const char* name, std::string* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    char folder[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    DWORD type = 0;
    const LONG read = RegQueryValueExA(key, "CommonFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(folder), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    // The value need not end with its zero; the buffer has room for one.
    folder[std::min<DWORD>(size, MAX_PATH)] = '\0';
    try {
        *path = folder;
        if (path->empty() || path->back() != '\\')
            *path += '\\';
        *path += "Talvo\\Profiles\\";
        *path += name;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

TlnWhiteBalance TlRawWhiteBalanceOption(int index)
{
    static const TlnWhiteBalance kOptions[] = {{0x100, 3000}, {0x300, 4200}, {0x400, 4200}, {0x200, 5200},
                                               {0x201, 8000}, {0x202, 6000}, {0x500, 5400}};
    if (index >= 1 && index <= 7)
        return kOptions[index - 1];
    return {0, 0};
}
