#include "TiffTagFields.h"

#include "TiffTagRules.h"

namespace {

bool PlaceInField(const PellioTagValue& value, const TiffTagPlacement& placement)
{
    const TiffTagRule* rule = TiffFindRule(value.id);
    TiffField field;
    if (!rule || rule->kelvraType != value.type || !TiffEncodeTag(*rule, value.bytes, &field))
        return false;
    CTiffIfdBuilder* target = rule->exif ? placement.exif : placement.main;
    target->Add(field.tag, field.type, field.count, std::move(field.bytes));
    return true;
}

void CollectFrom(const TiffIfd& ifd, bool exif, TiffOrder order, std::vector<PellioTagValue>* values)
{
    for (const TiffField& field : ifd.fields) {
        const TiffTagRule* rule = TiffFindRule(field.tag);
        PellioTagValue value;
        if (!rule || rule->exif != exif || !TiffDecodeTag(*rule, field, order, &value.bytes))
            continue;
        value.id = rule->tag;
        value.type = rule->kelvraType;
        values->push_back(std::move(value));
    }
}

} // namespace

void TiffPlaceTags(const std::vector<PellioTagValue>& values, const TiffTagPlacement& placement)
{
    for (const PellioTagValue& value : values) {
        if (!PlaceInField(value, placement) && placement.rest)
            placement.rest->push_back(value);
    }
}

void TiffCollectTags(const TiffIfd& main, const TiffIfd* exif, TiffOrder order, std::vector<PellioTagValue>* values)
{
    CollectFrom(main, false, order, values);
    if (exif)
        CollectFrom(*exif, true, order, values);
}
