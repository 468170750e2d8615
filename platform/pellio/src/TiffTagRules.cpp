#include "TiffTagRules.h"

#include "kelvra/KelvraTagControl.h"

#include <cmath>
#include <cstring>

namespace {

using Bytes = std::vector<std::uint8_t>;

const TiffTagRule kRules[] = {
    {270, false, TiffValueForm::Text, kTiffAscii, kKelvraTagTypeText},   // ImageDescription
    {271, false, TiffValueForm::Text, kTiffAscii, kKelvraTagTypeText},   // Make
    {272, false, TiffValueForm::Text, kTiffAscii, kKelvraTagTypeText},   // Model
    {305, false, TiffValueForm::Text, kTiffAscii, kKelvraTagTypeText},   // Software
    {306, false, TiffValueForm::Text, kTiffAscii, kKelvraTagTypeText},   // DateTime
    {315, false, TiffValueForm::Text, kTiffAscii, kKelvraTagTypeText},   // Artist
    {318, false, TiffValueForm::RationalList, kTiffRational, kKelvraTagTypeBytes}, // WhitePoint
    {319, false, TiffValueForm::RationalList, kTiffRational, kKelvraTagTypeBytes}, // PrimaryChromaticities
    {529, false, TiffValueForm::RationalList, kTiffRational, kKelvraTagTypeBytes}, // YCbCrCoefficients
    {33432, false, TiffValueForm::Text, kTiffAscii, kKelvraTagTypeText}, // Copyright
    {33723, false, TiffValueForm::Bytes, kTiffUndefined, kKelvraTagTypeDataHeader}, // IPTC
    {34675, false, TiffValueForm::Bytes, kTiffUndefined, kKelvraTagTypeBytes},      // ICC profile
    {33434, true, TiffValueForm::Rational, kTiffRational, kKelvraTagTypeDoubles}, // ExposureTime
    {33437, true, TiffValueForm::Rational, kTiffRational, kKelvraTagTypeDoubles}, // FNumber
    {34855, true, TiffValueForm::Integer, kTiffShort, kKelvraTagTypeLong},        // ISOSpeedRatings
    {36864, true, TiffValueForm::Bytes, kTiffUndefined, kKelvraTagTypeBytes},     // ExifVersion
    {36867, true, TiffValueForm::Text, kTiffAscii, kKelvraTagTypeText},           // DateTimeOriginal
    {36868, true, TiffValueForm::Text, kTiffAscii, kKelvraTagTypeText},           // DateTimeDigitized
    {37380, true, TiffValueForm::SignedRatio, kTiffSRational, kKelvraTagTypeShorts3}, // ExposureBiasValue
    {37382, true, TiffValueForm::Rational, kTiffRational, kKelvraTagTypeDoubles}, // SubjectDistance
    {37385, true, TiffValueForm::Integer, kTiffShort, kKelvraTagTypeLong},        // Flash
    {37386, true, TiffValueForm::Rational, kTiffRational, kKelvraTagTypeDoubles}, // FocalLength
    {40961, true, TiffValueForm::Integer, kTiffShort, kKelvraTagTypeLong},        // ColorSpace
    {41730, true, TiffValueForm::Bytes, kTiffUndefined, kKelvraTagTypeBytes},     // CFAPattern
    {42240, true, TiffValueForm::Rational, kTiffRational, kKelvraTagTypeDoubles}, // Gamma
};

std::uint32_t LittleWord(const Bytes& bytes, std::size_t at)
{
    return TiffGet32(bytes.data() + at, TiffOrder::Little);
}

double DoubleOf(const Bytes& bytes)
{
    double value = 0;
    std::memcpy(&value, bytes.data(), sizeof value);
    return value;
}

Bytes BytesOf(double value)
{
    Bytes bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

Bytes Pair(std::uint32_t first, std::uint32_t second)
{
    Bytes bytes;
    TiffPut32(bytes, first);
    TiffPut32(bytes, second);
    return bytes;
}

// A ratio for `value`: a power-of-ten denominator, or one over a whole
// number; the exactness check decides whether it is good enough.
bool RatioFor(double value, std::uint32_t* numerator, std::uint32_t* denominator)
{
    if (!(value >= 0) || value > 4294967295.0)
        return false;
    for (std::uint32_t scale = 1; scale <= 1000000; scale *= 10) {
        const double scaled = value * scale;
        if (scaled <= 4294967295.0 && scaled == std::floor(scaled)) {
            *numerator = std::uint32_t(scaled);
            *denominator = scale;
            return true;
        }
    }
    const double inverse = std::round(1.0 / value);
    if (value > 0 && inverse >= 1 && inverse <= 4294967295.0) {
        *numerator = 1;
        *denominator = std::uint32_t(inverse);
        return true;
    }
    return false;
}

bool EncodeValue(const TiffTagRule& rule, const Bytes& value, TiffField* field)
{
    field->type = rule.fieldType;
    switch (rule.form) {
    case TiffValueForm::Text:
    case TiffValueForm::Bytes:
        field->count = std::uint32_t(value.size());
        field->bytes = value;
        return true;
    case TiffValueForm::Integer: {
        if (value.size() != 4)
            return false;
        const std::uint32_t number = LittleWord(value, 0);
        field->count = 1;
        field->bytes.clear();
        if (rule.fieldType == kTiffLong)
            TiffPut32(field->bytes, number);
        else
            TiffPut16(field->bytes, std::uint16_t(number));
        return true;
    }
    case TiffValueForm::Rational: {
        std::uint32_t numerator = 0, denominator = 0;
        if (value.size() != 8 || !RatioFor(DoubleOf(value), &numerator, &denominator))
            return false;
        field->count = 1;
        field->bytes = Pair(numerator, denominator);
        return true;
    }
    case TiffValueForm::SignedRatio: {
        if (value.size() != 6)
            return false;
        const std::int16_t numerator = std::int16_t(TiffGet16(value.data() + 2, TiffOrder::Little));
        const std::int16_t denominator = std::int16_t(TiffGet16(value.data() + 4, TiffOrder::Little));
        field->count = 1;
        field->bytes = Pair(std::uint32_t(std::int32_t(numerator)), std::uint32_t(std::int32_t(denominator)));
        return true;
    }
    case TiffValueForm::RationalList:
        field->count = std::uint32_t(value.size() / 8);
        field->bytes = value;
        return !value.empty() && value.size() % 8 == 0;
    }
    return false;
}

bool DecodeText(const TiffField& field, Bytes* value)
{
    if (field.type != kTiffAscii)
        return false;
    std::size_t length = 0;
    while (length < field.bytes.size() && field.bytes[length] != 0)
        ++length;
    value->assign(field.bytes.begin(), field.bytes.begin() + std::ptrdiff_t(length));
    value->push_back(0);
    return true;
}

bool DecodeBytes(const TiffField& field, Bytes* value)
{
    // IPTC data is often stored as LONG; its bytes are a byte stream all the same.
    if (field.type != kTiffUndefined && field.type != kTiffByte && field.type != kTiffLong)
        return false;
    *value = field.bytes;
    return true;
}

bool DecodeInteger(const TiffField& field, TiffOrder order, Bytes* value)
{
    std::uint32_t number = 0;
    if (!TiffUnsigned(field, order, 0, &number))
        return false;
    value->clear();
    TiffPut32(*value, number);
    return true;
}

bool DecodeRational(const TiffField& field, TiffOrder order, Bytes* value)
{
    double number = 0;
    if (!TiffRational(field, order, 0, &number))
        return false;
    *value = BytesOf(number);
    return true;
}

bool DecodeSignedRatio(const TiffField& field, TiffOrder order, Bytes* value)
{
    if (field.type != kTiffSRational || field.count < 1)
        return false;
    const std::int32_t numerator = std::int32_t(TiffGet32(field.bytes.data(), order));
    const std::int32_t denominator = std::int32_t(TiffGet32(field.bytes.data() + 4, order));
    if (denominator == 0 || numerator < -32768 || numerator > 32767 || denominator < -32768 || denominator > 32767)
        return false;
    value->clear();
    TiffPut16(*value, 0);
    TiffPut16(*value, std::uint16_t(numerator));
    TiffPut16(*value, std::uint16_t(denominator));
    return true;
}

bool DecodeRationalList(const TiffField& field, TiffOrder order, Bytes* value)
{
    if (field.type != kTiffRational || field.count < 1)
        return false;
    value->clear();
    for (std::size_t at = 0; at < field.bytes.size(); at += 4)
        TiffPut32(*value, TiffGet32(field.bytes.data() + at, order));
    return true;
}

} // namespace

const TiffTagRule* TiffFindRule(std::uint32_t id)
{
    for (const TiffTagRule& rule : kRules) {
        if (rule.tag == id)
            return &rule;
    }
    return nullptr;
}

bool TiffDecodeTag(const TiffTagRule& rule, const TiffField& field, TiffOrder order, std::vector<std::uint8_t>* value)
{
    switch (rule.form) {
    case TiffValueForm::Text:
        return DecodeText(field, value);
    case TiffValueForm::Bytes:
        return DecodeBytes(field, value);
    case TiffValueForm::Integer:
        return DecodeInteger(field, order, value);
    case TiffValueForm::Rational:
        return DecodeRational(field, order, value);
    case TiffValueForm::SignedRatio:
        return DecodeSignedRatio(field, order, value);
    case TiffValueForm::RationalList:
        return DecodeRationalList(field, order, value);
    }
    return false;
}

bool TiffEncodeTag(const TiffTagRule& rule, const std::vector<std::uint8_t>& value, TiffField* field)
{
    field->tag = rule.tag;
    Bytes back;
    return EncodeValue(rule, value, field) && TiffDecodeTag(rule, *field, TiffOrder::Little, &back) && back == value;
}
