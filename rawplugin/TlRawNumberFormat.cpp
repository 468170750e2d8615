#include "TlRawNumberFormat.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

std::string ReadText(const char* key, const char* fallback)
{
    char text[5] = {};
    GetProfileStringA("intl", key, fallback, text, sizeof text);
    return text;
}

} // namespace

TlRawNumberFormat TlRawReadNumberFormat()
{
    TlRawNumberFormat format;
    format.decimal = ReadText("sDecimal", ".");
    format.thousand = ReadText("sThousand", ",");
    format.leadingZero = GetProfileIntA("intl", "iLeadZero", 1) != 0;
    format.digits = int(GetProfileIntA("intl", "iDigits", 2));
    return format;
}

const TlRawNumberFormat& TlRawProcessNumberFormat()
{
    static const TlRawNumberFormat format = TlRawReadNumberFormat();
    return format;
}

std::string TlRawFormatNumber(double value, int decimals, const TlRawNumberFormat& format)
{
    if (!std::isfinite(value))
        value = 0.0;
    decimals = decimals < 0 ? 0 : decimals > 9 ? 9 : decimals;
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.*f", decimals, std::fabs(value));
    const std::string text = digits;
    const std::size_t point = text.find('.');
    std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? std::string() : text.substr(point + 1);
    for (long at = long(whole.size()) - 3; at > 0; at -= 3)
        whole.insert(std::size_t(at), format.thousand);
    if (whole == "0" && !format.leadingZero && !fraction.empty())
        whole.clear();
    const bool negative = value < 0.0 && text.find_first_not_of("0.") != std::string::npos;
    return (negative ? "-" : "") + whole + (fraction.empty() ? "" : format.decimal + fraction);
}
