// What a save writes, checked against its format: the images (main first)
// with their geometry and stored pixel format, and the extra blocks.
#pragma once

#include "PellioSaveFormats.h"
#include "pellio/KelvraSave.h"

#include <vector>

struct PellioSaveImage {
    IKelvraDataSource* source = nullptr;
    std::uint32_t kind = 0; // 0 for the main image
    KelvraPixelFormat sourceFormat = 0;
    KelvraPixelFormat storedFormat = 0;
    long width = 0;
    long height = 0;
    double resolution = 72.0;
};

struct PellioSavePlan {
    std::vector<PellioSaveImage> images; // [0] the main image
    std::vector<std::uint8_t> bitmap;    // the bitmap entry's bytes, for a Qrf file
    bool attached = false;               // a header record came with an attached block
    std::uint32_t attachedOption = 0;
    std::vector<std::uint8_t> attachedBlock;
};

// Builds the plan of a write setup. Error 1010 when the main image cannot be
// stored, kPellioListRefused when an entry or their number does not fit the
// format.
IKelvraError* PellioPlanSave(const PellioSaveFormat& rule, std::uint32_t option, IKelvraDataSource* main,
                             const KelvraSaveEntry* list, long count, PellioSavePlan* plan);
