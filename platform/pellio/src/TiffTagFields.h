// Tag values to and from the TIFF and Exif fields of a file.
#pragma once

#include "PellioTagValues.h"
#include "TiffIfdBuilder.h"
#include "TiffStructure.h"

struct TiffTagPlacement {
    CTiffIfdBuilder* main; // the first directory
    CTiffIfdBuilder* exif;
    std::vector<PellioTagValue>* rest; // values without a field; null: dropped
};

// Puts each value into its TIFF or Exif field when it has an exact one.
void TiffPlaceTags(const std::vector<PellioTagValue>& values, const TiffTagPlacement& placement);
// Appends the tag values of the fields of `main` and `exif` (may be null)
// that have a rule; fields not in the rule's form are passed over.
void TiffCollectTags(const TiffIfd& main, const TiffIfd* exif, TiffOrder order, std::vector<PellioTagValue>* values);
