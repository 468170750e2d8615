// The tags that travel as real TIFF and Exif fields: for each, its field's
// directory and type and the tag-control type it reads as. A value goes into
// a field only when it comes back from the field bit for bit; otherwise the
// Qrf container keeps it in its tag block.
#pragma once

#include "TiffStructure.h"

#include <cstdint>
#include <vector>

enum class TiffValueForm {
    Text,         // ASCII <-> type 2
    Bytes,        // UNDEFINED <-> type 1 or 263
    Integer,      // SHORT or LONG <-> type 3
    Rational,     // RATIONAL <-> one double (type 4)
    SignedRatio,  // SRATIONAL <-> type 17 {0, numerator, denominator}
    RationalList, // RATIONAL[n] <-> type 1, the pairs little-endian
};

struct TiffTagRule {
    std::uint16_t tag;
    bool exif; // in the Exif directory, else in the first directory
    TiffValueForm form;
    std::uint16_t fieldType;
    std::uint32_t kelvraType;
};

// The rule of tag `id`, or null.
const TiffTagRule* TiffFindRule(std::uint32_t id);
// The field (little-endian) for a tag value of the rule's type; false when
// the value has no exact form as that field.
bool TiffEncodeTag(const TiffTagRule& rule, const std::vector<std::uint8_t>& value, TiffField* field);
// The tag value of `field`; false when the field does not have the rule's form.
bool TiffDecodeTag(const TiffTagRule& rule, const TiffField& field, TiffOrder order, std::vector<std::uint8_t>* value);
